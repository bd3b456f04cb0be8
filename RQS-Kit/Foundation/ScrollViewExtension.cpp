#include "RQS-Kit/Foundation/ScrollViewExtension.h"

#include "RQS-Kit/Foundation/ViewExtension.h"

#include <QScrollArea>
#include <QScrollBar>

namespace rqs {

namespace {

// One axis: position and length of the frame (f, fl) and of the visible area (b, bl). A frame
// beyond the area's lower edge meets it with its own lower edge when lowerEdgeLeads.
double axisOrigin(double f, double fl, double b, double bl, bool lowerEdgeLeads)
{
    const bool fits = fl <= bl;
    if ((fits && f >= b && b + bl >= f + fl) || (!fits && b >= f && f + fl >= b + bl))
        return b;
    if (lowerEdgeLeads && f > b)
        return f;
    if (fits && f < b)
        return f;
    return f + fl - bl;
}

void moveTo(QScrollBar *bar, int value, bool animated)
{
    if (bar->value() != value)
        viewAnimator(bar, animated).setValue("value", value);
}

} // namespace

QPointF originShowingFrame(const QRectF &frame, const QRectF &visible, bool topLeftVisible)
{
    // Vertically the bottom edge leads only for a taller frame whose top need not show; horizontally
    // the left edge leads when asked for or when the frame is wider.
    const bool taller = frame.height() > visible.height();
    const double y = axisOrigin(frame.y(), frame.height(), visible.y(), visible.height(), taller && !topLeftVisible);
    const bool wider = frame.width() > visible.width();
    const double x = axisOrigin(frame.x(), frame.width(), visible.x(), visible.width(), topLeftVisible || wider);
    return {x, y};
}

void scrollShowingFrame(QScrollArea *scrollView, const QRectF &frame, bool topLeftVisible, bool useAnimator)
{
    if (!scrollView || !scrollView->widget())
        return;
    QScrollBar *horizontal = scrollView->horizontalScrollBar();
    QScrollBar *vertical = scrollView->verticalScrollBar();
    const double documentHeight = scrollView->widget()->height();
    const QSize viewport = scrollView->viewport()->size();
    // The scroll bars count y down from the document's top.
    const QRectF visible(horizontal->value(), documentHeight - vertical->value() - viewport.height(), viewport.width(),
                         viewport.height());
    const QPointF origin = originShowingFrame(frame, visible, topLeftVisible);
    moveTo(horizontal, qRound(origin.x()), useAnimator);
    moveTo(vertical, qRound(documentHeight - origin.y() - viewport.height()), useAnimator);
}

} // namespace rqs
