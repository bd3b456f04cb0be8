#pragma once

#include "platform/foundation/Bundle.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

// Where the kit finds the pictures that filters take by name: masks ("RQS-M"), picture frames
// ("RQS-F") and shadow pictures ("RQS-S"), each type in its folder below one root. Safe from any
// thread.
namespace rqs {

// The root of the named pictures: the application's resources unless another folder was set.
platform::BundlePtr namedPicturesBundle();
// An empty path goes back to the application's resources; a folder that does not exist is refused
// with a "Warning: " line.
bool setNamedPicturesFolder(const QString &path);

// The resource names of the pictures of the type, leaving out paths that contain avoiding.
QStringList namedPictureNames(const QString &type, const QString &avoiding = {});
// The first picture of the type whose path contains text and not avoiding; empty when none.
QString namedPicturePath(const QString &type, const QString &text, const QString &avoiding = {});
// A picture the user placed in the kit's temporary folder, by plain file name only, so that a
// name can never reach a file elsewhere; empty when there is none.
QString temporaryPicturePath(const QString &fileName);

// Exactly count numbers separated by "-" in a resource identifier's options; nullopt otherwise.
std::optional<QList<double>> layoutNumbers(const QString &options, int count);

} // namespace rqs
