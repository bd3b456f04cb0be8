#include "RQS-Kit/Controls/QSGlassView.h"

#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"

QSGlassView::QSGlassView(QWidget *parent)
    : platform::View(parent)
{
}

QBrush QSGlassView::color() const { return m_color; }

void QSGlassView::setColor(const QBrush &color)
{
    m_color = color;
    setNeedsDisplay(true);
}

QString QSGlassView::colorName() const { return m_colorName; }

void QSGlassView::setColorName(const QString &name)
{
    m_colorName = name;
    setColor(QSColor::colorFromDescription(name));
}

void QSGlassView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->setFill(m_color);
    context->fillRect(bounds());
    const auto white = [](double alpha) { return QColor::fromRgbF(1, 1, 1, float(alpha)); };
    // The step from 0.59 to 0.6 is the glass edge.
    const platform::Gradient sheen(
        QGradientStops{{0.0, white(0.15)}, {0.25, white(0.15)}, {0.59, white(0)}, {0.6, white(0.15)}, {1.0, white(0.15)}});
    QPainterPath all;
    all.addRect(bounds());
    sheen.drawInPath(all, 90);
}
