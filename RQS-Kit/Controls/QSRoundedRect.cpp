#include "RQS-Kit/Controls/QSRoundedRect.h"

#include "platform/graphics/Gradient.h"

#include <QPainterPath>

QSRoundedRect::QSRoundedRect(QWidget *parent)
    : platform::View(parent)
{
}

void QSRoundedRect::drawRect(const QRectF &)
{
    // 270 degrees: the top colour at the top.
    const QRectF outer = bounds();
    QPainterPath inner;
    inner.addRoundedRect(outer.adjusted(1, 1, -1, -1), m_cornerRadius - 1, m_cornerRadius - 1);
    platform::Gradient({m_topFillColor, m_bottomFillColor}).drawInPath(inner, 270);

    QPainterPath ring = inner;
    ring.addRoundedRect(outer, m_cornerRadius, m_cornerRadius);
    ring.setFillRule(Qt::OddEvenFill);
    platform::Gradient({m_topStrokeColor, m_bottomStrokeColor}).drawInPath(ring, 270);
}
