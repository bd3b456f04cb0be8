#pragma once

#include "platform/graphics/AttributedString.h"

#include <QRectF>
#include <QSizeF>

// Measuring, centring and shortening text with formats. Runs without a font of their own take the
// default font; everything is measured as GraphicsContext sets it, one unit per point.
namespace rqs {

// The lines wrapped at word boundaries to the width, each with its ascent, descent and leading,
// rounded up; an empty string measures one empty line.
double heightForWidth(const platform::AttributedString &string, double width);
// The lines that fit a box of that size: the widest one's width and their height. Zero for an
// empty string. A width beyond what any line reaches sets each line whole.
QSizeF sizeForWidth(const platform::AttributedString &string, double width, double height);
// The width of the widest line set whole, counting the lines that fit the height.
double widthForHeight(const platform::AttributedString &string, double height);

// Draws into the current graphics context, the wrapped text centred on the rectangle's middle.
void drawCenteredVerticallyInRect(const platform::AttributedString &string, const QRectF &rect);

// The string when it fits the width; otherwise as many whole characters as fit followed by "…"
// (which takes the format of the first character it replaces), down to the "…" alone. A
// character here is what the reader sees as one: emoji and accented letters are never split.
platform::AttributedString truncatedStringWithWidth(const platform::AttributedString &string, int width);

} // namespace rqs
