#include "RQS-Kit/Foundation/BundleExtension.h"

#include "RQS-Kit/Foundation/ProcessInfoExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PictureFileReader.h"
#include "platform/foundation/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QScreen>
#include <QSet>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace rqs {

namespace {

QHash<QString, QString> &resourceDirectories()
{
    static QHash<QString, QString> table{
        {QStringLiteral("RQS-B"), QStringLiteral("Backgrounds")},
        {QStringLiteral("RQS-O"), QStringLiteral("Objects")},
        {QStringLiteral("RQS-T"), QStringLiteral("Textures")},
        {QStringLiteral("RQS-F"), QStringLiteral("Frames")},
        {QStringLiteral("RQS-S"), QStringLiteral("Shadows")},
        {QStringLiteral("RQS-M"), QStringLiteral("Masks")},
        {QStringLiteral("FRM-M"), QStringLiteral("Masks")},
        {QStringLiteral("FRM-E"), QStringLiteral("ExternalMasks")},
        {QStringLiteral("FRM-I"), QStringLiteral("InternalMasks")},
        {QStringLiteral("FRM-S"), QStringLiteral("Shades")},
    };
    return table;
}

const QStringList &imageExtensions()
{
    static const QStringList extensions{QStringLiteral("tiff"), QStringLiteral("png"), QStringLiteral("jpg"),
                                        QStringLiteral("pdf")};
    return extensions;
}

const QString &twoX()
{
    static const QString suffix = QStringLiteral("@2x");
    return suffix;
}

qreal keyWindowScaleFactor()
{
    const QWindow *window = QGuiApplication::focusWindow();
    return window && window->screen() ? window->screen()->devicePixelRatio() : 0.0;
}

// Above 1.5 the double-resolution picture comes first; at 1.5 the plain one serves.
bool prefersDoubleResolution() { return keyWindowScaleFactor() > 1.5; }

// The name without the first "~iPad", "~iPhone" and "@2x", wherever they stand.
QString nameWithoutDeviceSuffixes(QString name)
{
    for (const QString &suffix : {QStringLiteral("~iPad"), QStringLiteral("~iPhone"), twoX()}) {
        const qsizetype at = name.indexOf(suffix);
        if (at >= 0)
            name.remove(at, suffix.size());
    }
    return name;
}

QString errorText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// An entry of the application's temporary folder carries the extension in any letter case.
bool hasExtension(const QString &entry, const QString &extension)
{
    return QFileInfo(entry).suffix().toLower() == extension.toLower();
}

QStringList temporaryEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool isWantedImage(const QString &entry, const QString &prefix, const QString &avoiding)
{
    const QFileInfo info(entry);
    if (!imageExtensions().contains(info.suffix()))
        return false;
    const QString stem = info.completeBaseName();
    if (!prefix.isEmpty() && !stem.startsWith(prefix))
        return false;
    return avoiding.isEmpty() || avoiding.size() > stem.size() || !stem.endsWith(avoiding);
}

} // namespace

void registerResourceDirectory(const QString &folder, const QString &type) { resourceDirectories().insert(type, folder); }

QString directoryForResourceType(const QString &type) { return resourceDirectories().value(type); }

namespace {

struct GraphicsFolder
{
    QMutex lock;
    platform::BundlePtr bundle;
};

GraphicsFolder &graphicsFolder()
{
    static GraphicsFolder folder;
    return folder;
}

} // namespace

platform::BundlePtr graphicsBundle()
{
    GraphicsFolder &folder = graphicsFolder();
    const QMutexLocker locker(&folder.lock);
    return folder.bundle ? folder.bundle : platform::Bundle::mainBundle();
}

bool setGraphicsBundlePath(const QString &path)
{
    platform::BundlePtr bundle;
    if (!path.isEmpty()) {
        bundle = platform::Bundle::bundleWithPath(QFileInfo(path).absoluteFilePath());
        if (!bundle) {
            platform::logWarning(QStringLiteral("There is no picture folder %1").arg(path));
            return false;
        }
    }
    GraphicsFolder &folder = graphicsFolder();
    const QMutexLocker locker(&folder.lock);
    folder.bundle = std::move(bundle);
    return true;
}

QString randomStringWithLength(int length, const QStringList &compareArray)
{
    static const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    if (length <= 0)
        return QStringLiteral("");
    const QSet<QString> taken(compareArray.cbegin(), compareArray.cend());
    const auto drawable = [&](const QString &name) {
        return name.size() == length && std::all_of(name.cbegin(), name.cend(), [](QChar c) { return alphabet.contains(c); });
    };
    const qsizetype takenNames = std::count_if(taken.cbegin(), taken.cend(), drawable);
    // The names there are, counted only as far as it takes to tell whether one is left.
    qsizetype names = 1;
    for (int i = 0; i < length && names <= takenNames; ++i)
        names *= alphabet.size();
    if (names <= takenNames) {
        platform::logWarning(QStringLiteral("No random name of %1 characters is left: every one of the %2 is taken").arg(length).arg(names));
        return {};
    }
    QString result(length, Qt::Uninitialized);
    do {
        for (QChar &c : result)
            c = alphabet.at(QRandomGenerator::system()->bounded(int(alphabet.size())));
    } while (taken.contains(result));
    return result;
}

QUrl tempDocumentFolder()
{
    const QString root = platform::TempFolder::path();
    if (root.isEmpty())
        return {};
    const QString path = root + QLatin1Char('/') + appName();
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && !(errno == EEXIST && QFileInfo(path).isDir())) {
        platform::logWarning(QStringLiteral("Could not create Temp Folder at %1 because %2").arg(path, errorText()));
        return {};
    }
    return QUrl::fromLocalFile(path);
}

QUrl tempDocumentFolderFor(const QString &extension)
{
    const QString folder = tempDocumentFolder().toLocalFile();
    if (folder.isEmpty())
        return {};
    QStringList taken;
    for (const QString &entry : temporaryEntries(folder)) {
        if (hasExtension(entry, extension))
            taken.append(QFileInfo(entry).completeBaseName());
    }
    // mkdir fails on an existing name, so a folder that appeared since the listing is never reused.
    for (;;) {
        const QString name = randomStringWithLength(10, taken);
        const QString path = folder + QLatin1Char('/') + name + QLatin1Char('.') + extension;
        if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0)
            return QUrl::fromLocalFile(path);
        if (errno != EEXIST) {
            platform::logWarning(QStringLiteral("Could not create Temp Folder at %1 because %2").arg(path, errorText()));
            return {};
        }
        taken.append(name);
    }
}

QList<QUrl> tempDocumentsFor(const QString &extension)
{
    const QString folder = tempDocumentFolder().toLocalFile();
    QList<QUrl> documents;
    if (folder.isEmpty())
        return documents;
    for (const QString &entry : temporaryEntries(folder)) {
        if (hasExtension(entry, extension))
            documents.append(QUrl::fromLocalFile(folder + QLatin1Char('/') + entry));
    }
    return documents;
}

QUrl URLForImageResourceIn(const QString &basePath, const QString &prefix, const QString &directory,
                           const QString &avoiding)
{
    QStringList visited;
    QString base = basePath;
    for (;;) {
        const QString folder = directory.isEmpty() ? base : base + QLatin1Char('/') + directory;
        const QFileInfo folderInfo(folder);
        QString failure;
        if (folderInfo.isDir() && folderInfo.isReadable()) {
            const QStringList entries = QDir(folder).entryList(QDir::Files, QDir::Name);
            for (const QString &entry : entries) {
                if (isWantedImage(entry, prefix, avoiding))
                    return QUrl::fromLocalFile(folder + QLatin1Char('/') + entry);
            }
        } else {
            failure = QStringLiteral("the folder %1 cannot be listed").arg(folder);
        }
        visited.append(QFileInfo(base).canonicalFilePath());

        const QFileInfo link(base + QStringLiteral("/Base.lnk"));
        if (link.isSymLink()) {
            const QString target = link.symLinkTarget();
            if (!visited.contains(QFileInfo(target).canonicalFilePath())) {
                base = target;
                continue;
            }
            failure = QStringLiteral("the Base.lnk links lead back to %1").arg(target);
        } else if (link.exists()) {
            failure = QStringLiteral("%1 is not a symbolic link").arg(link.filePath());
        }
        if (!failure.isEmpty())
            platform::logError(QStringLiteral("Looking for '%1' in '%2' avoiding '%3' failed, because %4")
                                   .arg(prefix, base, avoiding, failure));
        return {};
    }
}

QString fileExistsAtPath(const platform::Bundle &bundle, const QString &name, const QString &extension)
{
    const QString candidate = bundle.bundlePath() + QLatin1Char('/') + name + QLatin1Char('.') + extension;
    return QFileInfo::exists(candidate) ? candidate : QString();
}

QString imagePath(const platform::Bundle &bundle, const QString &name, const QString &type, bool prefer2X)
{
    if (name.isEmpty())
        return {};
    if (prefer2X) {
        const QString path = fileExistsAtPath(bundle, name + twoX(), type);
        if (!path.isNull())
            return path;
    }
    const QString path = fileExistsAtPath(bundle, name, type);
    // Up to a scale of 1.5 a picture that exists only at double resolution is still found.
    if (!path.isNull() || prefer2X || prefersDoubleResolution())
        return path;
    return fileExistsAtPath(bundle, name + twoX(), type);
}

QString imagePath(const platform::Bundle &bundle, const QString &name, bool prefer2X)
{
    for (const QString &type : {QStringLiteral("tiff"), QStringLiteral("png"), QStringLiteral("jpg")}) {
        const QString path = imagePath(bundle, name, type, prefer2X);
        if (!path.isNull())
            return path;
    }
    return {};
}

QImage imageNamed(const platform::Bundle &bundle, const QString &name, const QString &type, bool prefer2X)
{
    const QString path = imagePath(bundle, name, type, prefer2X);
    return path.isNull() ? QImage() : platform::PictureFileReader::read(path);
}

QImage imageNamed(const platform::Bundle &bundle, const QString &name, bool prefer2X)
{
    const QString path = imagePath(bundle, name, prefer2X);
    return path.isNull() ? QImage() : platform::PictureFileReader::read(path);
}

QImage imageNamed(const platform::Bundle &bundle, const QString &name, const QString &type)
{
    return imageNamed(bundle, name, type, false);
}

QImage imageNamed(const platform::Bundle &bundle, const QString &name)
{
    return imageNamed(bundle, name, prefersDoubleResolution());
}

QString pathForImageNamed(const platform::Bundle &bundle, const QString &name)
{
    return imagePath(bundle, name, prefersDoubleResolution());
}

QString pathForImageWithPrefix(const platform::Bundle &bundle, const QString &prefix)
{
    if (prefix.isEmpty())
        return {};
    const QStringList paths = bundle.pathsForResourcesOfType(QStringLiteral("tiff"));
    for (const QString &path : paths) {
        if (path.contains(prefix))
            return pathForImageNamed(bundle, nameWithoutDeviceSuffixes(QFileInfo(path).completeBaseName()));
    }
    return {};
}

QImage imageWithPrefix(const platform::Bundle &bundle, const QString &prefix)
{
    const QString path = pathForImageWithPrefix(bundle, prefix);
    return path.isNull() ? QImage() : platform::PictureFileReader::read(path);
}

QString pathForImageResourceWithPrefix(const platform::Bundle &bundle, const QString &prefix, const QString &directory,
                                       const QString &avoiding)
{
    if (prefix.isEmpty())
        return {};
    for (const QString &path : pathsForImageResourcesAvoding(bundle, avoiding, directory)) {
        if (path.contains(prefix))
            return path;
    }
    return {};
}

QStringList pathsForImageResourcesAvoding(const platform::Bundle &bundle, const QString &avoiding,
                                          const QString &directory)
{
    QStringList paths;
    for (const QString &extension : imageExtensions()) {
        for (const QString &path : bundle.pathsForResourcesOfType(extension, directory)) {
            if (avoiding.isEmpty() || !path.contains(avoiding))
                paths.append(path);
        }
    }
    return paths;
}

QStringList resourceIDNamesForImageResourcesAvoding(const platform::Bundle &bundle, const QString &avoiding,
                                                    const QString &directory)
{
    QStringList names;
    for (const QString &path : pathsForImageResourcesAvoding(bundle, avoiding, directory))
        names.append(resourceIDName(path));
    return names;
}

QStringList imagePathsInDirectory(const platform::Bundle &bundle, const QString &directory)
{
    const QDir folder(directory.isEmpty() ? bundle.bundlePath() : bundle.bundlePath() + QLatin1Char('/') + directory);
    QStringList pictures;
    for (const QString &entry : folder.entryList(QDir::Files, QDir::Name)) {
        const QFileInfo info(entry);
        if (info.suffix() != QLatin1String("tiff"))
            continue;
        const QString plainFile = nameWithoutDeviceSuffixes(info.completeBaseName()) + QStringLiteral(".tiff");
        if (entry == plainFile || !folder.exists(plainFile))
            pictures.append(folder.filePath(entry));
    }
    return pictures;
}

} // namespace rqs
