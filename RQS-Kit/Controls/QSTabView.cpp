#include "RQS-Kit/Controls/QSTabView.h"

#include "platform/graphics/GraphicsContext.h"

QSTabView::QSTabView(QWidget *parent)
    : platform::View(parent)
{
}

QColor QSTabView::tabColor() const { return m_tabColor; }

void QSTabView::setTabColor(const QColor &color)
{
    m_tabColor = color;
    setNeedsDisplay(true);
}

QColor QSTabView::shadowColor() const { return m_shadowColor; }

void QSTabView::setShadowColor(const QColor &color)
{
    m_shadowColor = color;
    setNeedsDisplay(true);
}

uint QSTabView::position() const { return m_position; }

void QSTabView::setPosition(uint position)
{
    m_position = position;
    setNeedsDisplay(true);
}

QRectF QSTabView::tabRect() const
{
    const auto reach = [this](uint edge) { return (m_position & edge) ? 3.0 : -3.0; };
    const QRectF box = bounds();
    return QRectF(-reach(Left), -reach(Bottom), box.width() + reach(Left) + reach(Right),
                  box.height() + reach(Top) + reach(Bottom));
}

void QSTabView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->setShadow(platform::Shadow{m_shadowColor, QSizeF(0, 0), 3});
    context->setFill(m_tabColor);
    QPainterPath tab;
    tab.addRoundedRect(tabRect(), 2, 2);
    // The second fill deepens the glow.
    context->fillPath(tab);
    context->fillPath(tab);
}
