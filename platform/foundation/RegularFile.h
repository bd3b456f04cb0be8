#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace platform {

// How every file a caller names is opened for reading: without waiting, and only when what is
// opened is a regular file. A pipe holds open() or read() for ever, a device such as /dev/zero
// never ends, and a folder reads as nothing; the check is made on the opened descriptor, so that
// nothing put in the file's place after a look at its name is read. A refusal comes with its
// reason, told as the end of a sentence ("it is a pipe, no regular file") for the caller's
// "Warning: " or "Error: " line, which names the file.
namespace RegularFile {

// What a file read whole at once may hold, unless its reader bounds it more narrowly.
inline constexpr qint64 MaxWholeBytes = 64 * 1024 * 1024;

// A descriptor open for reading (close-on-exec), or -1 with the reason.
int openDescriptor(const QString &path, QString *reason = nullptr);
// The file open for reading through the QFile, which closes it; false with the reason. The QFile
// keeps no name: the caller names the file in its messages.
bool open(QFile &file, const QString &path, QString *reason = nullptr);
// The whole file when it holds at most maxBytes; none with the reason.
std::optional<QByteArray> read(const QString &path, qint64 maxBytes = MaxWholeBytes, QString *reason = nullptr);

} // namespace RegularFile

} // namespace platform
