#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <optional>

namespace platform {

// Writes a user's file in full or not at all: the bytes go to a temporary file in the same folder, which replaces the
// file only once every write, the flush and the sync to disk succeeded. Any failure removes the temporary file and
// leaves the old one as it was; errorString() then gives the system's reason for the caller's "Error: " line.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &path);
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    // Refuses anything but a regular file or a new name, and a file whose permissions let no one write it (even when
    // run as root). A replaced file keeps its permissions.
    bool open();
    // Where the bytes go between open() and commit().
    QIODevice &device();
    // Puts the file in place; false when any write, the flush or the sync failed, or when cancelled.
    bool commit();
    // Drops what was written; the old file stays.
    void cancel();
    QString errorString() const;

    // Opens, writes the bytes and commits; the reason for a failure goes to error.
    static bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);
    // Writes every byte to the device; false with the system's reason for a failure, which Qt's
    // own lacks when a file on a nearly full disk fails a buffered write ("Unknown error").
    static bool writeAll(QIODevice &device, const char *data, qint64 size, QString *error);
    // Hands the buffered bytes to the system; false with the system's reason, which Qt's own lacks
    // when the disk takes only part of them.
    static bool flushAll(QFileDevice &file, QString *error);

private:
    bool fail(const QString &reason);

    QSaveFile m_file;
    std::optional<uint> m_mode;
    QString m_errorString;
};

} // namespace platform
