#pragma once

#include <QRectF>

class QScrollArea;

// Scroll views are scroll areas; the document is their widget.
namespace rqs {

// Scrolls as little as it takes to show the frame (in the document, y up from its bottom left
// corner). A frame larger than the visible area shows its top and, when topLeftVisible is set or
// it is wider, its left edge; otherwise the edge nearest to where the area was. Animated when asked.
void scrollShowingFrame(QScrollArea *scrollView, const QRectF &frame, bool topLeftVisible, bool useAnimator);

// The visible area's new origin (y up) for a frame; both rectangles in the document's coordinates.
QPointF originShowingFrame(const QRectF &frame, const QRectF &visible, bool topLeftVisible);

} // namespace rqs
