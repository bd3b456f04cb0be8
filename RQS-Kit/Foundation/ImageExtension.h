#pragma once

#include <QImage>
#include <QString>

// Pictures found by name. A QImage is already the pixel picture that drawing and image effects
// take, so it needs no conversion for them.
namespace rqs {

// The first readable picture in the folder whose file name without extension is name; a null
// image when there is none.
QImage imageNamed(const QString &name, const QString &folder);

} // namespace rqs
