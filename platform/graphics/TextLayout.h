#pragma once

#include "platform/graphics/AttributedString.h"
#include "platform/graphics/TextAttributes.h"

#include <QList>
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
    // The runs' formats over the attributes (what a run sets wins); lines are spaced with their
    // font's leading, as attributed text is set.
    TextLayout(const AttributedString &text, const TextAttributes &attributes, double width = 0);
    TextLayout(const TextLayout &) = delete;
    TextLayout &operator=(const TextLayout &) = delete;

    // Distance from the top of the first line to its baseline.
    double ascent() const;
    // The lines' extent: width of the widest line, height of all lines.
    QSizeF size() const;
    // Where the lines' ink may reach, in the layout's y-down space.
    QRectF bounds() const;
    // Each line's extent in the layout's space: its natural width and its height.
    QList<QRectF> lineRects() const;
    void draw(QPainter &painter, const QPointF &topLeft) const;

private:
    void layOut(const TextAttributes &attributes, double width, bool withLeading);

    QTextLayout m_layout;
    QColor m_color;
    QSizeF m_size;
};

} // namespace platform
