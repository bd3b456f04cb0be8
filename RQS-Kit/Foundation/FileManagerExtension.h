#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QUrl>

// Folder creation and lookups, and the exclusive file creation that every temporary file of the
// kit goes through: a name is taken only by creating it, so nothing can be waiting at that name.
namespace rqs {

// Creates the folder (and, when asked, every missing parent); an existing folder counts as made.
bool createDirectoryAtURL(const QUrl &url, bool withIntermediateDirectories, QString *error = nullptr);
// Full paths of the folder's entries whose name without extension is exactly name; empty when the
// folder cannot be listed.
QStringList filesWithName(const QString &name, const QString &folder);

// True for a relative path that names something inside its folder: not empty, not absolute, no
// ".." part, and not the folder itself ("." or "./.").
bool isContainedRelativePath(const QString &path);
// The same for one plain name without any "/".
bool isPlainFileName(const QString &name);
// The path of what the relative path names inside the folder, once links are followed; empty
// with the reason when it names the folder itself or leads out of it (isContainedRelativePath, a
// folder on its way that is a link leading elsewhere, or a link that leads to the folder or out
// of it), empty without one when a folder on its way does not exist. A link inside the folder
// that leads inside it, or nowhere, is itself the entry.
QString entryInsideFolder(const QString &folder, const QString &path, QString *reason = nullptr);

// Creates "<10 random characters>.<extension>" (no dot without extension) in folder with O_EXCL
// and mode 0600, and leaves it open for writing; false (with the reason) on failure.
bool openUniqueFile(QFile &file, const QString &folder, const QString &extension, QString *error = nullptr);
// The same, closed again; the path, or empty on failure.
QString createUniqueFile(const QString &folder, const QString &extension, QString *error = nullptr);
// A folder "<10 random characters>" in folder, created exclusively with mode 0700; empty on failure.
QString createUniqueFolder(const QString &folder, QString *error = nullptr);

// Copies a file into an open file; false (with the reason) when reading or writing fails, or when
// the source is no regular file (platform::RegularFile).
bool copyContents(const QString &source, QFile &destination, QString *error = nullptr);
// Copies a regular file to a name that must not exist yet (mode 0666 less the umask); a partial
// copy is removed, and nothing is made for a source that cannot be read.
bool copyFileExclusively(const QString &source, const QString &destination, QString *error = nullptr);

} // namespace rqs
