#include "app/window/VXCenterShadow.h"

#include "app/booklet/VXStyleKit.h"

VXCenterShadow::VXCenterShadow(QWidget *parent)
    : platform::View(parent)
{
}

double VXCenterShadow::leftWidth() const { return m_leftWidth; }

void VXCenterShadow::setLeftWidth(double leftWidth)
{
    m_leftWidth = leftWidth;
    setNeedsDisplay(true);
}

double VXCenterShadow::rightWidth() const { return m_rightWidth; }

void VXCenterShadow::setRightWidth(double rightWidth)
{
    m_rightWidth = rightWidth;
    setNeedsDisplay(true);
}

QWidget *VXCenterShadow::hitTest(const QPointF &) { return nullptr; }

void VXCenterShadow::drawRect(const QRectF &)
{
    VXStyleKit::drawPageSelfShadowsWithSize(bounds().size(), m_leftWidth, m_rightWidth);
}
