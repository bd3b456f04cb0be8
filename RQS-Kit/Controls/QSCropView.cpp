#include "RQS-Kit/Controls/QSCropView.h"

#include "RQS-Kit/Helper/QSCursorStack.h"
#include "platform/graphics/GraphicsContext.h"

#include <QApplication>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

QVariant keyOf(const QSCropView *view) { return QVariant::fromValue(static_cast<QObject *>(const_cast<QSCropView *>(view))); }

bool usable(double ratio) { return std::isfinite(ratio) && ratio > 0; }

} // namespace

QSCropView::QSCropView(QWidget *parent)
    : platform::View(parent)
{
}

QSCropView::~QSCropView() { QSCursorStack::popCursorForKey(keyOf(this), window()); }

double QSCropView::activeAreaRatio() const { return m_activeAreaRatio; }

void QSCropView::setActiveAreaRatio(double ratio)
{
    m_activeAreaRatio = ratio;
    updateActiveArea();
}

double QSCropView::cropRatio() const { return m_cropRatio; }

void QSCropView::setCropRatio(double ratio)
{
    if (!usable(ratio))
        return;
    m_cropRatio = ratio;
    updateCropRectForCenter(m_cropRect.center());
    setNeedsDisplay(true);
}

QRectF QSCropView::cropRect() const { return m_cropRect; }

void QSCropView::setCropRect(const QRectF &rect)
{
    m_cropRect = rect;
    setNeedsDisplay(true);
}

QRectF QSCropView::activeArea() const { return m_activeArea; }

QRectF QSCropView::cropRectInView() const
{
    const QRectF &a = m_activeArea;
    return QRectF(a.x() + m_cropRect.x() * a.width(), a.y() + m_cropRect.y() * a.height(), m_cropRect.width() * a.width(),
                  m_cropRect.height() * a.height());
}

bool QSCropView::flexibleSize() const { return m_flexibleSize; }
void QSCropView::setFlexibleSize(bool flexible) { m_flexibleSize = flexible; }

bool QSCropView::hasGeometry() const { return usable(m_activeAreaRatio) && !m_activeArea.isEmpty(); }

void QSCropView::updateActiveArea()
{
    m_activeArea = QRectF();
    // Without a ratio or a size every division below would give 0/0.
    if (!usable(m_activeAreaRatio) || bounds().isEmpty())
        return;
    QRectF area = bounds();
    if (area.width() / area.height() > m_activeAreaRatio) {
        area.setWidth(area.height() * m_activeAreaRatio);
        area.moveLeft((bounds().width() - area.width()) / 2);
    } else {
        area.setHeight(area.width() / m_activeAreaRatio);
        area.moveTop((bounds().height() - area.height()) / 2);
    }
    m_activeArea = area;
    updateCropRectForCenter(m_cropRect.center());
}

void QSCropView::updateCropRectForCenter(const QPointF &centre)
{
    if (!hasGeometry())
        return;
    const double k = m_activeArea.width() / m_activeArea.height();
    QSizeF size = m_cropRect.size();
    if (m_cropRatio > 1.0)
        size.setHeight(size.width() * k / m_cropRatio);
    else
        size.setWidth(m_cropRatio * size.height() / k);
    const auto place = [](double at, double half) {
        // A NaN centre takes the first bound, as a failed comparison would.
        const double kept = std::isnan(at) ? 1 - half : std::min(at, 1 - half);
        return std::max(kept, half) - half;
    };
    setCropRect(QRectF(place(centre.x(), size.width() / 2), place(centre.y(), size.height() / 2), size.width(), size.height()));
}

void QSCropView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context || !hasGeometry())
        return;
    QPainterPath dimmed;
    dimmed.addRect(m_activeArea);
    dimmed.addRect(cropRectInView());
    dimmed.setFillRule(Qt::OddEvenFill);
    context->setFill(QColor::fromRgbF(0, 0, 0, 0.75));
    context->fillPath(dimmed);
}

void QSCropView::updateTrackingAreas()
{
    if (m_trackingArea)
        removeTrackingArea(m_trackingArea);
    m_trackingArea = 0;
    if (QApplication::mouseButtons() != Qt::NoButton || !superview())
        return;
    platform::TrackingArea area;
    area.rect = cropRectInView();
    area.options = platform::TrackingArea::MouseEnteredAndExited;
    bool inside = false;
    m_trackingArea = addTrackingAreaAtPointer(area, &inside);
    if (inside)
        mouseEntered({});
    else
        mouseExited({});
}

void QSCropView::mouseDown(const platform::MouseEvent &event)
{
    m_isDragging = hasGeometry() && m_activeArea.contains(event.location);
    if (!m_isDragging)
        return;
    m_dragLocation = event.location;
    m_dragCenter = m_cropRect.center();
    QSCursorStack::pushCursor(Qt::ClosedHandCursor, keyOf(this), window());
    updateTrackingAreas();
}

void QSCropView::mouseDragged(const platform::MouseEvent &event)
{
    if (!m_isDragging)
        return;
    const QPointF moved = event.location - m_dragLocation;
    updateCropRectForCenter(m_dragCenter + QPointF(moved.x() / m_activeArea.width(), moved.y() / m_activeArea.height()));
}

void QSCropView::mouseUp(const platform::MouseEvent &)
{
    if (m_isDragging)
        updateTrackingAreas();
}

void QSCropView::mouseEntered(const platform::MouseEvent &) { QSCursorStack::pushCursor(Qt::OpenHandCursor, keyOf(this), window()); }
void QSCropView::mouseExited(const platform::MouseEvent &) { QSCursorStack::popCursorForKey(keyOf(this), window()); }

bool QSCropView::event(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange)
        QSCursorStack::popCursorForKey(keyOf(this), window());
    return platform::View::event(event);
}

void QSCropView::resizeEvent(QResizeEvent *event)
{
    // The tracking area made again for the new size takes the crop as it is now.
    updateActiveArea();
    platform::View::resizeEvent(event);
}
