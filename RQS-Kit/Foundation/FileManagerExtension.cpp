#include "RQS-Kit/Foundation/FileManagerExtension.h"

#include "RQS-Kit/Foundation/BundleExtension.h"
#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace rqs {

namespace {

constexpr int RandomNameLength = 10;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

bool copyOpenFile(QFile &input, QFile &destination, QString *error)
{
    char buffer[64 * 1024];
    for (;;) {
        const qint64 count = input.read(buffer, sizeof buffer);
        if (count < 0) {
            setError(error, input.errorString());
            return false;
        }
        if (count == 0)
            break;
        if (!platform::AtomicFileWriter::writeAll(destination, buffer, count, error))
            return false;
    }
    return platform::AtomicFileWriter::flushAll(destination, error);
}

} // namespace

bool createDirectoryAtURL(const QUrl &url, bool withIntermediateDirectories, QString *error)
{
    const std::filesystem::path path(QFile::encodeName(url.toLocalFile()).toStdString());
    std::error_code code;
    if (withIntermediateDirectories)
        std::filesystem::create_directories(path, code);
    else
        std::filesystem::create_directory(path, code);
    if (!code && std::filesystem::is_directory(path, code))
        return true;
    setError(error, code ? QString::fromStdString(code.message()) : QStringLiteral("it exists and is no folder"));
    return false;
}

QStringList filesWithName(const QString &name, const QString &folder)
{
    const QDir dir(folder);
    QStringList paths;
    for (const QString &entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(entry).completeBaseName() == name)
            paths.append(dir.filePath(entry));
    }
    return paths;
}

bool isContainedRelativePath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    return !parts.contains(QStringLiteral("..")) && QDir::cleanPath(path) != QStringLiteral(".");
}

QString entryInsideFolder(const QString &folder, const QString &path, QString *reason)
{
    if (!isContainedRelativePath(path)) {
        setError(reason, QStringLiteral("it names the folder itself or leads out of it"));
        return {};
    }
    const QFileInfo entry(folder + QLatin1Char('/') + QDir::cleanPath(path));
    const QString inside = QFileInfo(folder).canonicalFilePath();
    const QString parent = QFileInfo(entry.path()).canonicalFilePath();
    if (inside.isEmpty() || parent.isEmpty()) {
        setError(reason, QString());
        return {};
    }
    const auto below = [&inside](const QString &canonical) { return canonical.startsWith(inside + QLatin1Char('/')); };
    if (parent != inside && !below(parent)) {
        setError(reason, QStringLiteral("a folder on its way is a link that leads out of the folder"));
        return {};
    }
    const QFileInfo placed(parent + QLatin1Char('/') + entry.fileName());
    if (const QString target = placed.canonicalFilePath(); placed.isSymLink() && !target.isEmpty() && !below(target)) {
        setError(reason, QStringLiteral("it is a link that leads to the folder itself or out of it"));
        return {};
    }
    return placed.filePath();
}

bool isPlainFileName(const QString &name)
{
    return isContainedRelativePath(name) && !name.contains(QLatin1Char('/')) && name != QStringLiteral(".");
}

bool openUniqueFile(QFile &file, const QString &folder, const QString &extension, QString *error)
{
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    for (;;) {
        file.setFileName(folder + QLatin1Char('/') + randomStringWithLength(RandomNameLength) + suffix);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner))
            return true;
        // Only a name that is already taken is worth another draw.
        if (!QFileInfo::exists(file.fileName())) {
            setError(error, file.errorString());
            return false;
        }
    }
}

QString createUniqueFile(const QString &folder, const QString &extension, QString *error)
{
    QFile file;
    if (!openUniqueFile(file, folder, extension, error))
        return {};
    file.close();
    return file.fileName();
}

QString createUniqueFolder(const QString &folder, QString *error)
{
    for (;;) {
        const QString path = folder + QLatin1Char('/') + randomStringWithLength(RandomNameLength);
        if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0)
            return path;
        if (errno != EEXIST) {
            setError(error, QString::fromLocal8Bit(std::strerror(errno)));
            return {};
        }
    }
}

bool copyContents(const QString &source, QFile &destination, QString *error)
{
    QFile input;
    return platform::RegularFile::open(input, source, error) && copyOpenFile(input, destination, error);
}

bool copyFileExclusively(const QString &source, const QString &destination, QString *error)
{
    QFile input;
    if (!platform::RegularFile::open(input, source, error))
        return false;
    QFile output(destination);
    if (!output.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        setError(error, output.errorString());
        return false;
    }
    if (copyOpenFile(input, output, error))
        return true;
    output.remove();
    return false;
}

} // namespace rqs
