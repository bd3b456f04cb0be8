#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

// Where the kit finds the pictures that filters take by name: masks ("RQS-M"), picture frames
// ("RQS-F") and shadow pictures ("RQS-S"), each type in its folder of the kit's graphics bundle
// (`setGraphicsBundlePath` points it elsewhere). Safe from any thread.
namespace rqs {

// The resource names of the pictures of the type, leaving out paths that contain avoiding.
QStringList namedPictureNames(const QString &type, const QString &avoiding = {});
// The first picture of the type whose path contains text and not avoiding; empty when none.
QString namedPicturePath(const QString &type, const QString &text, const QString &avoiding = {});
// A picture the user chose, by plain file name only, so that a stored name can never reach a file
// elsewhere: the copy kept in the folder of chosen pictures (QSEffectResourceStore), else a file
// placed in the kit's temporary folder; empty when there is none.
QString userPicturePath(const QString &fileName);

// Exactly count numbers separated by "-" in a resource identifier's options; nullopt otherwise.
std::optional<QList<double>> layoutNumbers(const QString &options, int count);

} // namespace rqs
