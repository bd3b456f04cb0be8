#include "platform/foundation/AtomicFileWriter.h"

#include "platform/foundation/SystemReason.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

AtomicFileWriter::AtomicFileWriter(const QString &path)
    : m_file(path)
{
}

bool AtomicFileWriter::open()
{
    // stat() opens nothing, so a FIFO is refused without blocking.
    struct stat status {};
    if (::stat(QFile::encodeName(m_file.fileName()).constData(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            return fail(QStringLiteral("it is not a regular file"));
        if ((status.st_mode & 0222) == 0)
            return fail(QStringLiteral("its permissions let no one write it"));
        m_mode = uint(status.st_mode & 07777);
    } else if (errno != ENOENT) {
        return fail(systemReason(errno));
    }
    // The new file is made beside the old one. Qt's words for a folder that takes none name the
    // file again ("Existing file … is not writable"); the system's say why (a read-only disk).
    if (::access(QFile::encodeName(QFileInfo(m_file.fileName()).absolutePath()).constData(), W_OK | X_OK) != 0)
        return fail(systemReason(errno));
    if (!m_file.open(QIODevice::WriteOnly))
        return fail(m_file.errorString());
    // The replaced file's mode is kept as it was, special bits included.
    if (m_mode && ::fchmod(m_file.handle(), mode_t(*m_mode)) != 0)
        return fail(systemReason(errno));
    return true;
}

QIODevice &AtomicFileWriter::device() { return m_file; }

bool AtomicFileWriter::commit()
{
    if (!m_file.isOpen())
        return fail(m_errorString.isEmpty() ? QStringLiteral("the file is not open for writing") : m_errorString);
    // QSaveFile::commit() reports success when only the last buffered write fails, so every error is checked first.
    QString reason;
    if (!flushAll(m_file, &reason))
        return fail(reason);
    if (::fsync(m_file.handle()) != 0)
        return fail(systemReason(errno));
    errno = 0;
    if (!m_file.commit())
        return fail(errno ? systemReason(errno) : m_file.errorString());
    return true;
}

void AtomicFileWriter::cancel()
{
    if (m_file.isOpen()) {
        m_file.cancelWriting();
        m_file.commit();
    }
}

QString AtomicFileWriter::errorString() const { return m_errorString; }

bool AtomicFileWriter::write(const QString &path, const QByteArray &bytes, QString *error)
{
    AtomicFileWriter file(path);
    QString reason;
    const bool written = file.open()
        && (writeAll(file.m_file, bytes.constData(), bytes.size(), &reason) || file.fail(reason)) && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

bool AtomicFileWriter::writeAll(QIODevice &device, const char *data, qint64 size, QString *error)
{
    while (size > 0) {
        errno = 0;
        const qint64 written = device.write(data, size);
        if (written <= 0) {
            if (error)
                *error = errno ? systemReason(errno) : device.errorString();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool AtomicFileWriter::flushAll(QFileDevice &file, QString *error)
{
    errno = 0;
    if (file.flush() && file.error() == QFileDevice::NoError)
        return true;
    if (error)
        *error = errno ? systemReason(errno) : file.errorString();
    return false;
}

bool AtomicFileWriter::fail(const QString &reason)
{
    m_errorString = reason;
    cancel();
    return false;
}

} // namespace platform
