#include "app/window/VXNoScrollView.h"

VXNoScrollView::VXNoScrollView(QWidget *parent)
    : platform::View(parent)
{
}

QWidget *VXNoScrollView::hitTest(const QPointF &point)
{
    QWidget *hit = View::hitTest(point);
    return hit == this ? nullptr : hit;
}

void VXNoScrollView::scrollWheel(const platform::MouseEvent &) {}
