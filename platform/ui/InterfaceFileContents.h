#pragma once

#include "platform/ui/InterfaceFilePlaces.h"

#include <QByteArray>
#include <QString>

namespace platform {

// Reads what an interface file's values ask Qt to read and lay out, before Qt's loader sees the
// file: the pictures and icons it names, its URLs, the files its style sheets and rich texts name
// (every text is taken for rich text, as a label, tool tip or text view may take it), and the
// tables of its rich texts (RichTextCheck).
namespace InterfaceFileContents {

// The rich texts of one file lay out no more table cells than this, counted as RichTextCheck counts
// them. Qt took 0.3 s for a label of 1,000 cells in one table.
inline constexpr qint64 MaxTableCells = 1024;

// A length of its rich texts in points, or in percent, lies within the bounds of a window's
// geometry (InterfaceLimits::MaxExtent).
inline constexpr double MaxRichTextLength = 8192;

// Whether Qt's loader takes the text of the element (its name in lower case) for a picture file: a
// pixmap, an icon's file for one of its states, or the whole icon's in files of older versions.
bool namesPicture(QStringView element);

// Why the file must not be loaded; empty when it may. A file that is not well-formed XML is left
// to Qt's loader, which refuses it before it makes anything.
QString refusal(const QByteArray &file, const InterfaceFilePlaces &places);

} // namespace InterfaceFileContents

} // namespace platform
