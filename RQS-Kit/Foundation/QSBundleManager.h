#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/fx/Image.h"

#include <QImage>
#include <QMap>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <variant>

class QSCachedImage;

// The kit's resource bundles (folders with a description, resources and a preview) and the files
// around them: catalogs of the bundles of one type in a folder of an application bundle, the
// persistent record "BundleManager.plist" of items kept in the application's data folder, writing
// and reading bundles, and saving images to files whose type follows from their names.
// Main thread only.
class QSBundleManager
{
public:
    // What a bundle can hold under a relative path: a list of files copied by
    // QSTempCleaner::tempCopyFor (paths relative to the private temporary folder), a picture, or an
    // image-engine image (rendered over its extent).
    using Resource = std::variant<QStringList, std::shared_ptr<QSCachedImage>, QImage, platform::fx::Image>;
    using Resources = QMap<QString, Resource>;

    // The record kept in the property-list file at the path (empty when it cannot be read).
    explicit QSBundleManager(const QString &dictionaryPath);
    // The catalog of the bundle's resources of the type (file extension) in the folder, or in its
    // top folder without one: name (without extension) to URL.
    QSBundleManager(const QString &type, const QString &directory, const platform::Bundle &bundle);

    const QVariantMap &shadowDictionary() const;
    QString savePath() const;

    // The writable location with the component appended, created with its parents. Empty when the
    // platform names none or creation fails (the reason goes to error).
    static QString directoryPath(QStandardPaths::StandardLocation location, const QString &component,
                                 QString *error = nullptr);
    // The application's data folder, created when missing; empty (and a warning) on failure.
    static QString applicationSupportDirectory();
    // Its subfolder of the name, created when missing; empty (and a warning) on failure, and for a
    // name that would lead outside it.
    static QString applicationSupportDirectoryFor(const QString &name);

    static QSBundleManager &sharedBundleManager();
    // The first call for a type makes its catalog; later calls answer that one whatever folder and
    // bundle they pass.
    static QSBundleManager &bundleManagerForType(const QString &type, const QString &directory,
                                                 const platform::BundlePtr &bundle = platform::Bundle::mainBundle());

    QUrl URLForName(const QString &name) const;
    // Null (and a warning) when the catalog has no such bundle or its folder is gone.
    platform::BundlePtr bundleForName(const QString &name) const;
    QImage previewForName(const QString &name) const;
    std::optional<QVariantMap> decriptionForName(const QString &name) const;
    // Sorted by plain comparison.
    QStringList names() const;

    // Record entries: "filename" (a file in the data folder), "marked", "modification_time".
    // An unknown name changes nothing.
    void setMarked(bool marked, const QString &name);
    // Deletes the entry's file, unless its name is the data folder itself or leads out of it, by
    // ".." or through a linked folder (refused with a warning); the entry goes in every case.
    void removeShadowWithName(const QString &name);
    bool saveShadowDictionary() const;
    // The dictionary in the data folder's file "files"; empty when there is none.
    static QVariantMap shadowCopyDictionary();

    // The bundle's "Preview" picture, else its "QuickLook" folder's, else the application's
    // "NoPreview.jpg".
    static QImage previewForBundle(const platform::Bundle &bundle);
    // "Info.plist", "Description.plist", else the plist named like the bundle's extension; none
    // (and a warning) when there is no such file.
    static std::optional<QVariantMap> decriptionForBundle(const platform::Bundle &bundle);

    // Writes "Description.plist", every resource whose path does not exist yet, and a thumbnail
    // linked to "QuickLook/Preview.png" or ".jpg". First every top-level entry that no resource
    // names exactly is removed (a key "QuickLook/Preview.png" keeps no "QuickLook" folder), so a
    // bundle holds what it was last written with. A folder that holds files but no
    // "Description.plist" is no bundle and is refused untouched (an error). Paths that would lead
    // outside the bundle are refused with a warning. False when any step failed; the last failure
    // goes to error.
    static bool writeBundleToURL(const QUrl &url, const QVariantMap &description, const Resources &resources,
                                 QString *error = nullptr);
    // False when anything of the resource could not be saved; the last failure goes to error.
    static bool saveResource(const Resource &resource, const QUrl &url, QString *error = nullptr);

    // The folder's URL of the name ("Image.jpg" without one) when nothing is there, else the first
    // free "stem 1.ext", "stem 2.ext"… ("stem 1" without extension).
    static QUrl uniqueFileURL(const QString &name, const QUrl &directory);
    // A new empty file "<random>.<extension>" in the temporary folder named by the main bundle's
    // "CFBundleDisplayName" (in the private temporary folder without one), registered with the
    // temporary-file cleaner. Empty on failure (logged).
    static QUrl tempFileURLWithExtension(const QString &extension);
    // A new file holding the image: "<random>.jpg" in the private temporary folder, or the name
    // (with ".jpg" appended unless it ends in "jpg" or "png") in a new folder of its own.
    // Registered with the cleaner. Empty when it could not be written (logged).
    static QUrl tempFileForImage(const QImage &image, const QString &name = {});
    static bool createPathIfMissing(const QString &path);

    // The lower-case file name decides: ".jpg"/".jpeg" JPEG, "png" anywhere PNG; with neither, a
    // picture with alpha is written as PNG and any other as JPEG, the extension becoming "png" or
    // "jpg". The file is replaced only by a complete encoding. False on failure (logged).
    static bool saveImage(const QImage &image, const QUrl &url);
    // The same, with the metadata (in the form QSImageMetadata::read gives it: orientation,
    // resolution, description) written into the file.
    static bool saveCGImage(const QImage &image, const QUrl &url, const QVariantMap &metadata);
    // Renders the image's extent (see newCGImage), then saveImage.
    static bool saveCIImage(const platform::fx::Image &image, const QUrl &url);

private:
    QVariantMap m_shadowDictionary;
    std::optional<QStringList> m_names;
    QString m_savePath;
};
