#pragma once

#include "platform/foundation/Bundle.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// Picture resources in bundle folders, the resource type table, random names and the per-application
// temporary folders. An empty prefix or text to avoid counts as not given.
namespace rqs {

// The folder that holds the pictures of a resource type ("RQS-T" → "Textures"); null when unknown.
void registerResourceDirectory(const QString &folder, const QString &type);
QString directoryForResourceType(const QString &type);

// The bundle that holds the kit's pictures, those its filters read by name: there is no enclosing
// application bundle on Linux, so the main bundle unless a folder was set.
platform::BundlePtr graphicsBundle();
// Points graphicsBundle() at another folder (tools use it); empty goes back to the main bundle.
// False, with a "Warning: " line, for a folder that does not exist.
bool setGraphicsBundlePath(const QString &path);

// Letters and digits drawn from the system's unpredictable generator, redrawn until the result is
// none of compareArray; empty for a length of 0 or less, and (with a warning) when compareArray
// holds every name of that length.
QString randomStringWithLength(int length, const QStringList &compareArray = {});

// The application's folder in the private temporary folder, created when missing; empty on failure.
QUrl tempDocumentFolder();
// A new folder "<10 random characters>.<extension>" in it, created exclusively; empty on failure.
QUrl tempDocumentFolderFor(const QString &extension);
// The entries of the application's temporary folder with that extension, in any letter case.
QList<QUrl> tempDocumentsFor(const QString &extension);

// The first image in directory under basePath whose name starts with prefix and does not end with
// avoiding; when there is none, the search goes on where a "Base.lnk" link in basePath points.
QUrl URLForImageResourceIn(const QString &basePath, const QString &prefix, const QString &directory,
                           const QString &avoiding);

// "name.extension" in the bundle's folder when it exists; null otherwise.
QString fileExistsAtPath(const platform::Bundle &bundle, const QString &name, const QString &extension);

// The "@2x" file first when prefer2X, then the plain one; without prefer2X the "@2x" file is the
// last resort on screens below 1.5 device pixels per point.
QString imagePath(const platform::Bundle &bundle, const QString &name, const QString &type, bool prefer2X);
// The first of "tiff", "png" and "jpg".
QString imagePath(const platform::Bundle &bundle, const QString &name, bool prefer2X);
QImage imageNamed(const platform::Bundle &bundle, const QString &name, const QString &type, bool prefer2X);
QImage imageNamed(const platform::Bundle &bundle, const QString &name, bool prefer2X);
QImage imageNamed(const platform::Bundle &bundle, const QString &name, const QString &type);
// A literal type would otherwise turn into the prefer2X flag.
QString imagePath(const platform::Bundle &bundle, const QString &name, const char *type) = delete;
QImage imageNamed(const platform::Bundle &bundle, const QString &name, const char *type) = delete;

// prefer2X exactly when the active window's screen has more than 1.5 device pixels per point.
QImage imageNamed(const platform::Bundle &bundle, const QString &name);
QString pathForImageNamed(const platform::Bundle &bundle, const QString &name);

// The first "tiff" resource whose path contains prefix, by its name without device suffixes.
QString pathForImageWithPrefix(const platform::Bundle &bundle, const QString &prefix);
QImage imageWithPrefix(const platform::Bundle &bundle, const QString &prefix);

// Image resources of the subfolder, "tiff", "png", "jpg" then "pdf", whose paths contain prefix and
// not avoiding.
QString pathForImageResourceWithPrefix(const platform::Bundle &bundle, const QString &prefix, const QString &directory,
                                       const QString &avoiding);
QStringList pathsForImageResourcesAvoding(const platform::Bundle &bundle, const QString &avoiding,
                                          const QString &directory);
QStringList resourceIDNamesForImageResourcesAvoding(const platform::Bundle &bundle, const QString &avoiding,
                                                    const QString &directory);

// The "tiff" files of the folder, one per picture: the plain file when there is one, else every
// device variant of it.
QStringList imagePathsInDirectory(const platform::Bundle &bundle, const QString &directory = {});

} // namespace rqs
