#include "app/window/VXTableRowView.h"

#include "app/booklet/VXStyleKit.h"
#include "platform/graphics/GraphicsContext.h"

#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int horizontalInset = 20;
constexpr int verticalInset = 10;
constexpr double ringWidth = 5.0;
constexpr double ringRadius = 3.0;

} // namespace

VXTableRowView::VXTableRowView(QWidget *parent)
    : platform::View(parent)
{
}

void VXTableRowView::addSubview(QWidget *view)
{
    View::addSubview(view);
    centerSubview(view);
}

void VXTableRowView::centerSubview(QWidget *view)
{
    if (!view)
        return;
    if (!m_centered.contains(view))
        m_centered.append(view);
    place(view);
}

// Inset the same on both sides, so the rectangle is the same y-up and y-down.
QRect VXTableRowView::pageFrameInRow(const QSize &rowSize)
{
    return QRect(horizontalInset, verticalInset, std::max(0, rowSize.width() - 2 * horizontalInset),
                 std::max(0, rowSize.height() - 2 * verticalInset));
}

void VXTableRowView::place(QWidget *view) { view->setGeometry(pageFrameInRow(size())); }

void VXTableRowView::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    m_centered.removeAll(nullptr);
    for (QWidget *view : std::as_const(m_centered)) {
        if (view->parentWidget() == this)
            place(view);
    }
}

bool VXTableRowView::isSelected() const { return m_selected; }

void VXTableRowView::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

QList<QRectF> VXTableRowView::subviewFrames() const
{
    QList<QRectF> frames;
    for (const QWidget *view : subviews()) {
        const QRect g = view->geometry();
        frames.append(QRectF(g.x(), height() - g.y() - g.height(), g.width(), g.height()));
    }
    return frames;
}

void VXTableRowView::drawRect(const QRectF &dirtyRect)
{
    drawPages(subviewFrames());
    if (m_selected)
        drawSelectionInRect(dirtyRect);
}

void VXTableRowView::drawSelectionInRect(const QRectF &) { drawSelection(subviewFrames()); }

void VXTableRowView::drawPages(const QList<QRectF> &frames)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainterPath pages;
    for (const QRectF &frame : frames)
        pages.addRect(frame);
    if (pages.isEmpty())
        return;
    context->saveGState();
    context->setShadow(VXStyleKit::shadowForPagePreview());
    context->setFill(Qt::white);
    context->fillPath(pages);
    context->restoreGState();
}

void VXTableRowView::drawPlaceholderOutline(const QRectF &frame)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainterPath outline;
    outline.addRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
    context->setStroke(QColor::fromRgbF(0, 0, 0, 0.35f));
    context->setLineWidth(1.0);
    context->strokePath(outline);
}

void VXTableRowView::drawSelection(const QList<QRectF> &frames)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    for (const QRectF &frame : frames) {
        QPainterPath ring;
        ring.setFillRule(Qt::OddEvenFill);
        ring.addRoundedRect(frame.adjusted(-ringWidth, -ringWidth, ringWidth, ringWidth), ringRadius, ringRadius);
        ring.addRect(frame);
        context->setFill(QColor::fromRgbF(0, 0, 0, 0.2f));
        context->fillPath(ring);
        context->setStroke(QColor::fromRgbF(1, 1, 1, 0.95f));
        context->setLineWidth(1.0);
        context->strokePath(ring);
    }
}
