#include "platform/foundation/RegularFile.h"

#include "platform/foundation/SystemReason.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::RegularFile {

namespace {

QString kindRefusal(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder, no regular file");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe, no regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, no regular file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, no regular file");
    return QStringLiteral("it is no regular file");
}

int refuse(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return -1;
}

} // namespace

int openDescriptor(const QString &path, QString *reason)
{
    const QByteArray name = QFile::encodeName(path);
    // A look at the name first leaves a device unopened: opening some has effects of its own.
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0)
        return refuse(reason, systemReason(errno));
    if (const QString refused = kindRefusal(status.st_mode); !refused.isEmpty())
        return refuse(reason, refused);
    int descriptor;
    do {
        descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        return refuse(reason, systemReason(errno));
    if (::fstat(descriptor, &status) != 0) {
        const int error = errno;
        ::close(descriptor);
        return refuse(reason, systemReason(error));
    }
    if (const QString refused = kindRefusal(status.st_mode); !refused.isEmpty()) {
        ::close(descriptor);
        return refuse(reason, refused);
    }
    return descriptor;
}

bool open(QFile &file, const QString &path, QString *reason)
{
    const int descriptor = openDescriptor(path, reason);
    if (descriptor < 0)
        return false;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        refuse(reason, file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> read(const QString &path, qint64 maxBytes, QString *reason)
{
    QFile file;
    if (!open(file, path, reason))
        return std::nullopt;
    const QString tooLarge = QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
    if (file.size() > maxBytes) {
        refuse(reason, tooLarge);
        return std::nullopt;
    }
    // The file may grow while it is read: it is read to its end, but never past the bound.
    QByteArray bytes;
    bytes.reserve(qsizetype(file.size()));
    char block[1 << 16];
    for (;;) {
        const qint64 count = file.read(block, sizeof block);
        if (count < 0) {
            refuse(reason, file.errorString());
            return std::nullopt;
        }
        if (count == 0)
            return bytes;
        if (bytes.size() + count > maxBytes) {
            refuse(reason, tooLarge);
            return std::nullopt;
        }
        bytes.append(block, qsizetype(count));
    }
}

} // namespace platform::RegularFile
