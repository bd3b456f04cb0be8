#pragma once

#include "platform/TextAttributes.h"

#include <QRectF>
#include <QString>
#include <QTextLayout>

class QPainter;

namespace platform {

// A string set in lines at one point per unit, whatever device it is drawn on later, so that what
// is measured is what is drawn. Lines run y-down from the top of the first line.
class TextLayout
{
public:
    // Without a positive width each line of the text (split at line breaks) stays whole and is
    // set flush left; with one, lines wrap at word boundaries and follow the alignment.
    TextLayout(const QString &text, const TextAttributes &attributes, double width = 0);
    TextLayout(const TextLayout &) = delete;
    TextLayout &operator=(const TextLayout &) = delete;

    // Distance from the top of the first line to its baseline.
    double ascent() const;
    // The lines' extent: width of the widest line, height of all lines.
    QSizeF size() const;
    // Where the lines' ink may reach, in the layout's y-down space.
    QRectF bounds() const;
    void draw(QPainter &painter, const QPointF &topLeft) const;

private:
    QTextLayout m_layout;
    QColor m_color;
    QSizeF m_size;
};

} // namespace platform
