#pragma once

#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/fx/Color.h"

// Hue models of engine colours. HSL travels in QSColor::Hsv too, with the lightness as its value.
namespace rqs {

QSColor::Hsv hsv(const platform::fx::Color &color);
QSColor::Hsv hsl(const platform::fx::Color &color);
// Opaque.
platform::fx::Color colorForHSV(const QSColor::Hsv &hsv);
platform::fx::Color colorForHSL(const QSColor::Hsv &hsl);

} // namespace rqs
