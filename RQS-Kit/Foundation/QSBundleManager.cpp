#include "RQS-Kit/Foundation/QSBundleManager.h"

#include "RQS-Kit/Foundation/FileManagerExtension.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "RQS-Kit/Foundation/ProcessInfoExtension.h"
#include "RQS-Kit/Foundation/QSCachedImage.h"
#include "RQS-Kit/Foundation/QSImageMetadata.h"
#include "RQS-Kit/Foundation/QSTempCleaner.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Foundation/WindowExtension.h"
#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/TempFolder.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

const QString SupportMailAddress = QStringLiteral("support@foldwise.example.org");

// A failed write also reaches the user: a log line alone would go unseen.
void showSaveAlert(const QString &path)
{
    const QString kitTable = QStringLiteral("RQS-Localizable");
    platform::Alert alert;
    alert.setMessageText(rqs::localizedForTable(QStringLiteral("Could not save File"), kitTable));
    alert.setAlertStyle(platform::Alert::Style::Critical);
    alert.setInformativeText(
        rqs::localizedForTable(QStringLiteral("Failed writing the image '%1'. Please send us a screenshot (cmd+shift+3 to %2) we want hunt this bug."),
                               kitTable)
            .arg(path, SupportMailAddress));
    alert.addButtonWithTitle(rqs::localizedForTable(QStringLiteral("OK"), kitTable));
    alert.beginSheetModalForWindow(qobject_cast<platform::Window *>(rqs::windowForSheetWithView(nullptr)), platform::Alert::Completion());
}

const QString DescriptionFile = QStringLiteral("Description.plist");
const QString QuickLookFolder = QStringLiteral("QuickLook");

QString join(const QString &folder, const QString &name) { return folder + QLatin1Char('/') + name; }

void fail(QString &failure, const QString &message)
{
    platform::logWarning(message);
    failure = message;
}

bool removeItem(const QString &path, QString *error)
{
    const QFileInfo info(path);
    const bool removed = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
    if (!removed && error)
        *error = info.exists() || info.isSymLink() ? QStringLiteral("it could not be removed")
                                                   : QStringLiteral("it does not exist");
    return removed;
}

void linkThumbnail(const QString &bundlePath, const QString &extension)
{
    const QString folder = join(bundlePath, QuickLookFolder);
    if (!rqs::createDirectoryAtURL(QUrl::fromLocalFile(folder), true))
        return;
    const QString preview = join(folder, QStringLiteral("Preview.") + extension);
    const QString thumbnail = join(folder, QStringLiteral("Thumbnail.") + extension);
    QFile::remove(thumbnail);
    if (::link(QFile::encodeName(preview).constData(), QFile::encodeName(thumbnail).constData()) == 0)
        return;
    QString error;
    if (!rqs::copyFileExclusively(preview, thumbnail, &error))
        platform::logWarning(QStringLiteral("Could not link/copy QuickLook-Thumbnail (%1->%2), because %3")
                                 .arg(preview, thumbnail, error));
}

bool saveFiles(const QStringList &files, const QUrl &url, QString &failure)
{
    const QString folder = url.toLocalFile();
    if (!rqs::createDirectoryAtURL(url, true)) {
        fail(failure, QStringLiteral("Could not create resource folder: %1").arg(folder));
        return false;
    }
    const QString root = platform::TempFolder::path();
    bool saved = true;
    for (const QString &file : files) {
        if (!rqs::isContainedRelativePath(file)) {
            fail(failure, QStringLiteral("Refusing to copy '%1': it names the temporary folder itself or leads out of it").arg(file));
            saved = false;
            continue;
        }
        const QString destination = join(folder, QFileInfo(file).fileName());
        if (QFileInfo::exists(destination))
            continue;
        QString error;
        if (!rqs::copyFileExclusively(join(root, file), destination, &error)) {
            fail(failure, QStringLiteral("Could not copy URL %1 to %2 because %3")
                              .arg(QUrl::fromLocalFile(join(root, file)).toString(), destination, error));
            saved = false;
        }
    }
    return saved;
}

// The file type by name, and the name it is written under.
QByteArray imageFormatFor(const QImage &image, QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName().toLower();
    if (name.contains(QStringLiteral(".jpg")) || name.contains(QStringLiteral(".jpeg")))
        return "jpeg";
    if (name.contains(QStringLiteral("png")))
        return "png";
    const bool alpha = image.hasAlphaChannel();
    const QString stem = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    path = join(info.path(), stem + (alpha ? QStringLiteral(".png") : QStringLiteral(".jpg")));
    return alpha ? "png" : "jpeg";
}

} // namespace

QSBundleManager::QSBundleManager(const QString &dictionaryPath)
    : m_shadowDictionary(platform::PropertyList::read(dictionaryPath).toMap()), m_savePath(dictionaryPath)
{
}

QSBundleManager::QSBundleManager(const QString &type, const QString &directory, const platform::Bundle &bundle)
    : m_savePath(directory)
{
    const QDir folder(directory.isEmpty() ? bundle.bundlePath() : join(bundle.bundlePath(), directory));
    for (const QFileInfo &entry : folder.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (entry.suffix() == type)
            m_shadowDictionary.insert(entry.completeBaseName(), QUrl::fromLocalFile(entry.absoluteFilePath()));
    }
    m_names = m_shadowDictionary.keys();
}

const QVariantMap &QSBundleManager::shadowDictionary() const { return m_shadowDictionary; }

QString QSBundleManager::savePath() const { return m_savePath; }

QString QSBundleManager::directoryPath(QStandardPaths::StandardLocation location, const QString &component,
                                       QString *error)
{
    QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty())
        return {};
    if (!component.isEmpty())
        path = join(path, component);
    if (!rqs::createDirectoryAtURL(QUrl::fromLocalFile(path), true, error))
        return {};
    if (error)
        error->clear();
    return path;
}

QString QSBundleManager::applicationSupportDirectory()
{
    QString error = QStringLiteral("there is no data folder");
    // Named after the application, as its data folder is on every desktop.
    const QString path = directoryPath(QStandardPaths::GenericDataLocation, rqs::appName(), &error);
    if (path.isEmpty())
        platform::logWarning(QStringLiteral("Unable to find or create application support directory:\n%1").arg(error));
    return path;
}

QString QSBundleManager::applicationSupportDirectoryFor(const QString &name)
{
    if (!rqs::isContainedRelativePath(name)) {
        platform::logWarning(QStringLiteral("Refusing the folder name '%1': it names the data folder itself or leads out of it").arg(name));
        return {};
    }
    const QString base = applicationSupportDirectory();
    if (base.isEmpty())
        return {};
    const QString path = join(base, name);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        platform::logWarning(QStringLiteral("'%1' already exists, but is not a directory").arg(path));
        return {};
    }
    QString error;
    if (!rqs::createDirectoryAtURL(QUrl::fromLocalFile(path), true, &error)) {
        platform::logWarning(QStringLiteral("Cannot create folder '%1', because %2").arg(path, error));
        return {};
    }
    return path;
}

QSBundleManager &QSBundleManager::sharedBundleManager()
{
    static QSBundleManager manager([] {
        const QString folder = applicationSupportDirectory();
        return folder.isEmpty() ? QString() : join(folder, QStringLiteral("BundleManager.plist"));
    }());
    return manager;
}

QSBundleManager &QSBundleManager::bundleManagerForType(const QString &type, const QString &directory,
                                                       const platform::BundlePtr &bundle)
{
    static QHash<QString, std::shared_ptr<QSBundleManager>> catalogs;
    std::shared_ptr<QSBundleManager> &catalog = catalogs[type];
    if (!catalog)
        catalog = std::make_shared<QSBundleManager>(type, directory, *bundle);
    return *catalog;
}

QUrl QSBundleManager::URLForName(const QString &name) const { return m_shadowDictionary.value(name).toUrl(); }

platform::BundlePtr QSBundleManager::bundleForName(const QString &name) const
{
    const QUrl url = URLForName(name);
    platform::BundlePtr bundle = url.isLocalFile() ? platform::Bundle::bundleWithPath(url.toLocalFile()) : nullptr;
    if (!bundle)
        platform::logWarning(QStringLiteral("Requested bundle does not exist: %1").arg(name));
    return bundle;
}

QImage QSBundleManager::previewForName(const QString &name) const
{
    const platform::BundlePtr bundle = bundleForName(name);
    return bundle ? previewForBundle(*bundle) : QImage();
}

std::optional<QVariantMap> QSBundleManager::decriptionForName(const QString &name) const
{
    const platform::BundlePtr bundle = bundleForName(name);
    return bundle ? decriptionForBundle(*bundle) : std::nullopt;
}

QStringList QSBundleManager::names() const
{
    if (m_names)
        return *m_names;
    QStringList names = m_shadowDictionary.keys();
    std::sort(names.begin(), names.end());
    return names;
}

void QSBundleManager::setMarked(bool marked, const QString &name)
{
    if (!m_shadowDictionary.contains(name))
        return;
    QVariantMap entry = m_shadowDictionary.value(name).toMap();
    entry.insert(QStringLiteral("modification_time"), QDateTime::currentDateTimeUtc());
    entry.insert(QStringLiteral("marked"), marked);
    m_shadowDictionary.insert(name, entry);
    saveShadowDictionary();
}

void QSBundleManager::removeShadowWithName(const QString &name)
{
    if (m_shadowDictionary.contains(name)) {
        const QString file = m_shadowDictionary.value(name).toMap().value(QStringLiteral("filename")).toString();
        const QString folder = applicationSupportDirectory();
        QString reason;
        const QString entry = folder.isEmpty() ? QString() : rqs::entryInsideFolder(folder, file, &reason);
        if (!entry.isEmpty())
            removeItem(entry, nullptr);
        else if (!reason.isEmpty())
            platform::logWarning(QStringLiteral("Not deleting '%1' of '%2': %3").arg(file, name, reason));
    }
    m_shadowDictionary.remove(name);
    saveShadowDictionary();
}

bool QSBundleManager::saveShadowDictionary() const
{
    QString error = QStringLiteral("there is no data folder");
    if (m_savePath.isEmpty() || !platform::PropertyList::write(m_shadowDictionary, m_savePath, &error)) {
        platform::logWarning(QStringLiteral("Could not save %1, because %2").arg(m_savePath, error));
        return false;
    }
    return true;
}

QVariantMap QSBundleManager::shadowCopyDictionary()
{
    const QString folder = applicationSupportDirectory();
    return folder.isEmpty() ? QVariantMap() : platform::PropertyList::read(join(folder, QStringLiteral("files"))).toMap();
}

QImage QSBundleManager::previewForBundle(const platform::Bundle &bundle)
{
    QImage preview = bundle.imageNamed(QStringLiteral("Preview"));
    if (preview.isNull()) {
        if (const platform::BundlePtr quickLook = platform::Bundle::bundleWithPath(join(bundle.bundlePath(), QuickLookFolder)))
            preview = quickLook->imageNamed(QStringLiteral("Preview"));
    }
    return preview.isNull() ? platform::Bundle::mainBundle()->imageNamed(QStringLiteral("NoPreview.jpg")) : preview;
}

std::optional<QVariantMap> QSBundleManager::decriptionForBundle(const platform::Bundle &bundle)
{
    const QString plist = QStringLiteral("plist");
    for (const QString &name : {QStringLiteral("Info"), QStringLiteral("Description"), QFileInfo(bundle.bundlePath()).suffix()}) {
        const QString path = bundle.pathForResource(name, plist);
        if (!path.isEmpty())
            return platform::PropertyList::read(path).toMap();
    }
    platform::logWarning(QStringLiteral("Bundle %1 is missing description Description.plist file.").arg(bundle.bundlePath()));
    return std::nullopt;
}

bool QSBundleManager::writeBundleToURL(const QUrl &url, const QVariantMap &description, const Resources &resources,
                                       QString *error)
{
    const QString path = url.toLocalFile();
    QString failure;
    if (!rqs::createDirectoryAtURL(url, true, &failure) || !QFileInfo(path).isDir()) {
        fail(failure, QStringLiteral("Could not create the bundle %1, because %2").arg(path, failure));
        if (error)
            *error = failure;
        return false;
    }

    QStringList keys;
    for (auto it = resources.cbegin(); it != resources.cend(); ++it) {
        if (rqs::isContainedRelativePath(it.key()))
            keys.append(it.key());
        else
            fail(failure, QStringLiteral("Refusing the resource path '%1': it names the bundle itself or leads out of it").arg(it.key()));
    }

    // A folder that holds files but no description is no bundle: its files are not the bundle's to
    // delete, and nothing is written there.
    const QStringList entries =
        QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    if (!entries.isEmpty() && !entries.contains(DescriptionFile)) {
        failure = QStringLiteral("Refusing to write a bundle into %1: it holds files but no %2").arg(path, DescriptionFile);
        platform::logError(failure);
        if (error)
            *error = failure;
        return false;
    }
    // The description is replaced in the next step; every other entry that no resource names goes.
    for (const QString &entry : entries) {
        if (keys.contains(entry) || entry == DescriptionFile)
            continue;
        QString reason;
        if (!removeItem(join(path, entry), &reason))
            fail(failure, QStringLiteral("Could not delete file '%1' (%2)").arg(entry, reason));
    }

    QString reason;
    if (!platform::PropertyList::write(description, join(path, DescriptionFile), &reason))
        fail(failure, QStringLiteral("Could not write %1, because %2").arg(join(path, DescriptionFile), reason));

    if (!rqs::createDirectoryAtURL(QUrl::fromLocalFile(join(path, QuickLookFolder)), true))
        fail(failure, QStringLiteral("Could not create QuickLook folder: %1").arg(join(path, QuickLookFolder)));

    for (const QString &key : std::as_const(keys)) {
        const QString target = join(path, key);
        if (!QFileInfo::exists(target) && !saveResource(resources.value(key), QUrl::fromLocalFile(target), &reason))
            failure = reason;
    }

    for (const QString &extension : {QStringLiteral("png"), QStringLiteral("jpg")}) {
        if (keys.contains(QStringLiteral("QuickLook/Preview.") + extension)) {
            linkThumbnail(path, extension);
            break;
        }
    }

    if (error)
        *error = failure;
    return failure.isEmpty();
}

bool QSBundleManager::saveResource(const Resource &resource, const QUrl &url, QString *error)
{
    QString failure;
    bool saved = false;
    if (const auto *files = std::get_if<QStringList>(&resource)) {
        saved = saveFiles(*files, url, failure);
    } else if (const auto *cached = std::get_if<std::shared_ptr<QSCachedImage>>(&resource)) {
        saved = *cached && ((*cached)->writeToURL(url, &failure) || saveImage((*cached)->nsImage(), url));
    } else if (const auto *engineImage = std::get_if<platform::fx::Image>(&resource)) {
        saved = saveCIImage(*engineImage, url);
    } else {
        saved = saveImage(std::get<QImage>(resource), url);
    }
    if (!saved && failure.isEmpty())
        failure = QStringLiteral("Could not save the resource %1").arg(url.toLocalFile());
    if (error && !saved)
        *error = failure;
    return saved;
}

QUrl QSBundleManager::uniqueFileURL(const QString &name, const QUrl &directory)
{
    const QString fileName = name.isEmpty() ? QStringLiteral("Image.jpg") : name;
    const QString folder = directory.toLocalFile();
    QString candidate = join(folder, fileName);
    const QFileInfo info(fileName);
    const QString stem = info.suffix().isEmpty() ? fileName : info.completeBaseName();
    for (quint64 counter = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++counter) {
        const QString numbered = QStringLiteral("%1 %2").arg(stem).arg(counter);
        candidate = join(folder, info.suffix().isEmpty() ? numbered : numbered + QLatin1Char('.') + info.suffix());
    }
    return QUrl::fromLocalFile(candidate);
}

QUrl QSBundleManager::tempFileURLWithExtension(const QString &extension)
{
    QString folder = platform::TempFolder::path();
    if (folder.isEmpty())
        return {};
    const QString displayName =
        platform::Bundle::mainBundle()->objectForInfoDictionaryKey(QStringLiteral("CFBundleDisplayName")).toString();
    if (rqs::isPlainFileName(displayName)) {
        folder = join(folder, displayName);
        rqs::createDirectoryAtURL(QUrl::fromLocalFile(folder), false);
    }
    QString error;
    const QString path = rqs::createUniqueFile(folder, extension, &error);
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("Could not create a temporary file in %1, because %2").arg(folder, error));
        return {};
    }
    const QUrl url = QUrl::fromLocalFile(path);
    QSTempCleaner::sharedTempCleaner().addURL(url);
    return url;
}

QUrl QSBundleManager::tempFileForImage(const QImage &image, const QString &name)
{
    const QString root = platform::TempFolder::path();
    if (root.isEmpty())
        return {};
    if (!name.isEmpty() && !rqs::isPlainFileName(name)) {
        platform::logWarning(QStringLiteral("Refusing the temporary file name '%1'").arg(name));
        return {};
    }
    QString error;
    QString path;
    QString folder;
    if (name.isEmpty()) {
        // The name is taken by creating the file before the picture is written over it.
        path = rqs::createUniqueFile(root, QStringLiteral("jpg"), &error);
    } else {
        folder = rqs::createUniqueFolder(root, &error);
        const QString suffix = QFileInfo(name).suffix();
        if (!folder.isEmpty())
            path = join(folder, suffix == QLatin1String("jpg") || suffix == QLatin1String("png") ? name : name + QStringLiteral(".jpg"));
    }
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("Could not create a temporary file in %1, because %2").arg(root, error));
        return {};
    }
    const QUrl url = QUrl::fromLocalFile(path);
    if (!saveImage(image, url)) {
        QFile::remove(path);
        if (!folder.isEmpty())
            QDir().rmdir(folder);
        return {};
    }
    QSTempCleaner::sharedTempCleaner().addURL(url);
    return url;
}

bool QSBundleManager::createPathIfMissing(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    QString error;
    if (rqs::createDirectoryAtURL(QUrl::fromLocalFile(path), true, &error))
        return true;
    platform::logWarning(QStringLiteral("Could not create intermediare directories for %1, because %2").arg(path, error));
    return false;
}

bool QSBundleManager::saveImage(const QImage &image, const QUrl &url) { return saveCGImage(image, url, {}); }

bool QSBundleManager::saveCGImage(const QImage &image, const QUrl &url, const QVariantMap &metadata)
{
    QString path = url.toLocalFile();
    if (image.isNull()) {
        platform::logError(QStringLiteral("There is no image to save to %1").arg(path));
        return false;
    }
    const QByteArray format = imageFormatFor(image, path);
    createPathIfMissing(QFileInfo(path).path());

    // Encoded in memory first: a picture that cannot be encoded never touches the file.
    QString reason;
    const QByteArray bytes = QSImageMetadata::encode(image, format, metadata, &reason);
    if (bytes.isEmpty()) {
        platform::logError(QStringLiteral("Could not encode the image '%1' as %2, because %3")
                               .arg(path, QString::fromLatin1(format), reason));
        return false;
    }
    if (!platform::AtomicFileWriter::write(path, bytes, &reason)) {
        platform::logError(QStringLiteral("Failed writing the image '%1', because %2").arg(path, reason));
        showSaveAlert(path);
        return false;
    }
    return true;
}

bool QSBundleManager::saveCIImage(const platform::fx::Image &image, const QUrl &url)
{
    const QImage bitmap = rqs::newCGImage(image);
    if (bitmap.isNull()) {
        platform::logError(QStringLiteral("Could not render the image to save to %1").arg(url.toLocalFile()));
        return false;
    }
    return saveImage(bitmap, url);
}
