#include "app/shell/VXTaskStateBackgroundView.h"

#include "app/booklet/VXStyleKit.h"

VXTaskStateBackgroundView::VXTaskStateBackgroundView(QWidget *parent)
    : platform::View(parent)
{
}

QGradientStops VXTaskStateBackgroundView::gradient() const { return m_gradient; }

void VXTaskStateBackgroundView::setGradient(const QGradientStops &gradient)
{
    m_gradient = gradient;
    setNeedsDisplay(true);
}

void VXTaskStateBackgroundView::drawRect(const QRectF &)
{
    VXStyleKit::drawFactoryRowStateBkgWithFrame(bounds(), m_gradient);
}
