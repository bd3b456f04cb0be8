#include "platform/ui/AspectRatioLayout.h"

#include "platform/foundation/Log.h"

#include <cmath>

namespace platform {

AspectRatioLayout::AspectRatioLayout(QWidget *parent)
    : QLayout(parent)
{
}

AspectRatioLayout::~AspectRatioLayout() { delete m_item; }

double AspectRatioLayout::ratio() const { return m_ratio; }

void AspectRatioLayout::setRatio(double ratio)
{
    if (!(ratio > 0) || !std::isfinite(ratio)) {
        logWarning(QStringLiteral("Aspect ratio %1 ignored").arg(ratio));
        return;
    }
    m_ratio = ratio;
    invalidate();
}

void AspectRatioLayout::addItem(QLayoutItem *item)
{
    if (m_item) {
        logWarning(QStringLiteral("An aspect-ratio layout holds one item; the new one replaces the old"));
        delete m_item;
    }
    m_item = item;
}

int AspectRatioLayout::count() const { return m_item ? 1 : 0; }

QLayoutItem *AspectRatioLayout::itemAt(int index) const { return index == 0 ? m_item : nullptr; }

QLayoutItem *AspectRatioLayout::takeAt(int index)
{
    if (index != 0 || !m_item)
        return nullptr;
    QLayoutItem *taken = m_item;
    m_item = nullptr;
    return taken;
}

QSize AspectRatioLayout::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const int height = m_item ? m_item->sizeHint().height() : 0;
    return QSize(qRound(height * m_ratio), height).grownBy(margins);
}

QSize AspectRatioLayout::minimumSize() const { return QSize(0, 0).grownBy(contentsMargins()); }

Qt::Orientations AspectRatioLayout::expandingDirections() const { return Qt::Horizontal | Qt::Vertical; }

void AspectRatioLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    if (!m_item)
        return;
    const QRectF space = QRectF(rect).marginsRemoved(QMarginsF(contentsMargins()));
    QSizeF fitted(space.width(), space.width() / m_ratio);
    if (space.height() > 0 && space.width() / space.height() > m_ratio)
        fitted = QSizeF(space.height() * m_ratio, space.height());
    const QPointF origin = space.topLeft() + QPointF(space.width() - fitted.width(), space.height() - fitted.height()) / 2;
    m_item->setGeometry(QRectF(origin, fitted).toRect());
}

} // namespace platform
