#pragma once

#include <QColor>
#include <QFont>
#include <QtGlobal>

namespace platform {

// How a string is drawn: its font (a point size counts as that many user-space units), its colour
// and, for text set in a rectangle, its alignment there.
struct TextAttributes
{
    QFont font;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
};

} // namespace platform
