#include "app/window/VXPageView.h"

#include "app/booklet/VXBookletSettings.h"
#include "app/window/VXPageViewDelegate.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "platform/graphics/GraphicsContext.h"

#include <QCursor>
#include <QGuiApplication>
#include <QNativeGestureEvent>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

// How near the pointer must be to an edge of the page, or of the view while resizing, to take it.
constexpr double edgeTolerance = 5.0;
// How near a moved page must come to the centre or a view edge to snap to it.
constexpr double snapDistance = 3.0;
// Long side in pixels of the largest image a page view asks its page for.
constexpr double highResolution = 1000.0;
// The long side asked for grows in these steps, so that a window resized a little keeps its images.
constexpr double resolutionStep = 128.0;
// Zoom added per wheel step with Ctrl held; pixel deltas count 20 pixels as a step.
constexpr double wheelStepMagnification = 0.1;
constexpr double pixelsPerWheelStep = 20.0;

double minY(const QRectF &rect) { return rect.y(); }
double maxY(const QRectF &rect) { return rect.y() + rect.height(); }

// One coordinate of a moved page's centre, snapped to the far edge, the near edge or the middle;
// the last test that holds wins.
double snapped(double center, double extent, double margin)
{
    if (std::abs(extent * center - margin) < snapDistance)
        center = margin / extent;
    if (std::abs(extent * center + margin) < snapDistance)
        center = -margin / extent;
    if (std::abs(extent * center) < snapDistance)
        center = 0;
    return center;
}

bool roundsToZero(double value) { return std::lround(value) == 0; }

// The zooms a document keeps: a page zoomed to nothing, or beyond into a mirrored page, could not
// be taken hold of again.
double limitedZoom(double zoom)
{
    const VXBookletSettings::Range range = *VXBookletSettings::rangeOf(QStringLiteral("zoom"));
    return std::clamp(zoom, range.minimum, range.maximum);
}

QRectF aspectFitted(const QSizeF &size, const QRectF &into)
{
    if (size.isEmpty() || into.isEmpty())
        return {};
    const double scale = std::min(into.width() / size.width(), into.height() / size.height());
    const QSizeF fitted = size * scale;
    return QRectF(into.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
}

} // namespace

VXPageView::VXPageView(QWidget *parent)
    : platform::View(parent)
{
}

VXPageView::~VXPageView()
{
    if (m_mouseArea != Outside || m_mouseDown)
        QSCursorStack::popCursorForKey(cursorKey(), window());
}

VXPagePtr VXPageView::page() const { return m_page; }

void VXPageView::setPage(const VXPagePtr &page)
{
    m_page = page;
    updatePage();
}

bool VXPageView::allowAdjusting() const { return m_allowAdjusting; }

void VXPageView::setAllowAdjusting(bool allowAdjusting)
{
    m_allowAdjusting = allowAdjusting;
    if (!allowAdjusting && !m_mouseDown)
        setMouseArea(Outside);
    update();
    updateTrackingAreas();
}

int VXPageView::mouseArea() const { return m_mouseArea; }

void VXPageView::setMouseArea(int mouseArea)
{
    m_mouseArea = mouseArea;
    switch (mouseArea) {
    case Outside:
        QSCursorStack::popCursorForKey(cursorKey(), window());
        break;
    case TopEdge:
    case BottomEdge:
        QSCursorStack::pushCursor(Qt::SizeVerCursor, cursorKey(), window());
        break;
    case LeftEdge:
    case RightEdge:
        QSCursorStack::pushCursor(Qt::SizeHorCursor, cursorKey(), window());
        break;
    case Inside:
        QSCursorStack::pushCursor(Qt::OpenHandCursor, cursorKey(), window());
        break;
    case TopEdge | LeftEdge:
    case LeftEdge | BottomEdge:
    case TopEdge | RightEdge:
    case BottomEdge | RightEdge:
        QSCursorStack::pushCursor(Qt::ArrowCursor, cursorKey(), window());
        break;
    default:
        break;
    }
}

int VXPageView::orientationForLandscape() const { return m_orientationForLandscape; }

void VXPageView::setOrientationForLandscape(int orientationForLandscape)
{
    m_orientationForLandscape = orientationForLandscape;
    if (m_page && m_page->isLandscape())
        updatePage();
}

VXPageViewDelegate *VXPageView::delegate() const
{
    if (m_delegateIsObject && !m_delegateObject)
        return nullptr;
    return m_delegate;
}

void VXPageView::setDelegate(VXPageViewDelegate *delegate)
{
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject *>(delegate);
    m_delegateIsObject = !m_delegateObject.isNull();
}

double VXPageView::zoom() const { return m_zoom; }

void VXPageView::setZoom(double zoom)
{
    m_zoom = zoom;
    layoutPageLayer();
    if (!mouseButtonPressed())
        updateTrackingAreas();
}

QPointF VXPageView::center() const { return m_center; }

void VXPageView::setCenter(const QPointF &center)
{
    m_center = center;
    layoutPageLayer();
    if (!mouseButtonPressed())
        updateTrackingAreas();
}

QPointF VXPageView::offset() const { return m_offset; }

void VXPageView::setOffset(const QPointF &offset)
{
    m_offset = offset;
    layoutPageLayer();
}

double VXPageView::ratio() const { return m_ratio; }

QSizeF VXPageView::fittedSize() const
{
    const double w = width();
    const double h = height();
    if (w <= 0 || h <= 0)
        return {};
    return w / h > m_ratio ? QSizeF(m_ratio * h, h) : QSizeF(w, w / m_ratio);
}

QRectF VXPageView::pageFrame() const
{
    const QSizeF size = fittedSize() * m_zoom;
    if (size.isEmpty())
        return {};
    const QPointF middle(width() * (m_center.x() + 0.5 + m_offset.x()), height() * (m_center.y() + 0.5 + m_offset.y()));
    return QRectF(middle - QPointF(size.width() / 2, size.height() / 2), size);
}

void VXPageView::updatePage()
{
    // A render still waiting for the page shown before is not wanted any more.
    m_wantedRender = std::make_shared<int>();
    if (!m_page) {
        m_image = QImage();
        // Nothing shown, nothing to take hold of.
        if (!m_mouseDown)
            setMouseArea(Outside);
        layoutPageLayer();
        return;
    }
    const double r = m_page->ratio();
    const int orientation = m_page->isLandscape() ? m_orientationForLandscape : 0;
    m_ratio = orientation % 2 != 0 ? 1.0 / r : r;
    m_imageOrientation = orientation;

    const std::weak_ptr<VXPage> asked = m_page;
    QPointer<VXPageView> self(this);
    m_askedResolution = shownResolution();
    bool cached = false;
    // Until the view has its size, the preview stands in; the sharp image is asked for then.
    m_image = m_askedResolution <= 0 ? m_page->preview()
                                     : m_page->imageForResolution(m_askedResolution, orientation,
                                                                  [self, asked, orientation](const QImage &image) {
                                                                      if (!self || self->m_page != asked.lock()
                                                                          || self->m_imageOrientation != orientation)
                                                                          return;
                                                                      self->m_image = image;
                                                                      self->m_sharp = true;
                                                                      // On screen now, not after whatever else waits for
                                                                      // the event loop (rows being laid out, say).
                                                                      self->repaint();
                                                                  },
                                                                  m_wantedRender, &cached);
    // An image at hand at that size is the sharp one already.
    m_sharpDrawn = false;
    m_sharp = cached;
    // The preview is drawn upright; until the turned image comes it is turned here.
    if (orientation % 4 != 0 && m_image.cacheKey() == m_page->preview().cacheKey())
        m_image = m_image.transformed(QTransform().rotate(-90.0 * orientation));
    layoutPageLayer();
}

bool VXPageView::showsSharpImage() const
{
    if (!m_page || m_page->isEmpty())
        return true;
    return m_sharpDrawn;
}

double VXPageView::shownResolution() const
{
    // Nothing before the view has its size, nor while it is hidden: a window being laid out
    // passes its views through sizes it never shows.
    const QSizeF shown = pageFrame().size() * devicePixelRatioF();
    if (shown.isEmpty() || !isVisible())
        return 0;
    const double longSide = std::max(shown.width(), shown.height());
    return std::min(highResolution, std::ceil(longSide / resolutionStep) * resolutionStep);
}

void VXPageView::layoutPageLayer()
{
    // A page shown larger than its image asks for a sharper one.
    if (m_page && shownResolution() > m_askedResolution)
        updatePage();
    update();
}

void VXPageView::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    layoutPageLayer();
}

void VXPageView::updateCenter(const QPointF &center, double zoom)
{
    m_center = center;
    m_zoom = limitedZoom(zoom);
    layoutPageLayer();
    tellDelegate();
}

void VXPageView::tellDelegate()
{
    if (VXPageViewDelegate *target = delegate())
        target->pageViewDidChangeLayout(this);
}

bool VXPageView::mouseButtonPressed() const
{
    return m_mouseDown || QGuiApplication::mouseButtons() != Qt::NoButton;
}

QVariant VXPageView::cursorKey() const
{
    return QVariant::fromValue(static_cast<QObject *>(const_cast<VXPageView *>(this)));
}

void VXPageView::updateTrackingAreas()
{
    if (m_hoverArea != 0) {
        removeTrackingArea(m_hoverArea);
        m_hoverArea = 0;
    }
    if (!superview() || !m_allowAdjusting)
        return;
    const QPointF inQt = mapFromGlobal(QPointF(QCursor::pos()));
    const QPointF pointer(inQt.x(), height() - inQt.y());
    platform::TrackingArea area;
    area.rect = pageFrame().adjusted(-edgeTolerance, -edgeTolerance, edgeTolerance, edgeTolerance);
    area.options = platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::MouseMoved;
    if (bounds().contains(pointer))
        area.options |= platform::TrackingArea::AssumeInside;
    m_hoverArea = addTrackingArea(area);
}

void VXPageView::updateMouseArea(const QPointF &point)
{
    const QRectF frame = pageFrame();
    int area = Outside;
    if (m_page && !frame.isEmpty()) {
        if (std::abs(point.x() - frame.left()) <= edgeTolerance)
            area = LeftEdge;
        else if (std::abs(point.x() - frame.right()) <= edgeTolerance)
            area = RightEdge;
        else if (std::abs(point.y() - minY(frame)) <= edgeTolerance)
            area = BottomEdge;
        else if (std::abs(point.y() - maxY(frame)) <= edgeTolerance)
            area = TopEdge;
        else if (frame.contains(point))
            area = Inside;
    }
    setMouseArea(area);
}

void VXPageView::mouseEntered(const platform::MouseEvent &event)
{
    View::mouseEntered(event);
    if (event.buttons == Qt::NoButton)
        updateMouseArea(event.location);
}

void VXPageView::mouseMoved(const platform::MouseEvent &event)
{
    View::mouseMoved(event);
    if (event.buttons == Qt::NoButton)
        updateMouseArea(event.location);
}

void VXPageView::mouseExited(const platform::MouseEvent &event)
{
    View::mouseExited(event);
    if (event.buttons == Qt::NoButton)
        setMouseArea(Outside);
}

// An edge moved by the difference keeps the opposite edge where it is, so the page's centre moves
// by half of it.
QPointF VXPageView::offsetForDiff(const QPointF &diff) const
{
    const double w = width();
    const double h = height();
    if (w <= 0 || h <= 0)
        return {};
    switch (m_mouseArea) {
    case LeftEdge:
    case RightEdge:
        return QPointF(diff.x() / w * 0.5, 0);
    case TopEdge:
    case BottomEdge:
        return QPointF(0, diff.y() / h * 0.5);
    default:
        return QPointF(diff.x() / w, diff.y() / h);
    }
}

double VXPageView::magifyForDiff(const QPointF &diff) const
{
    const QSizeF fitted = fittedSize();
    if (fitted.isEmpty())
        return 0;
    switch (m_mouseArea) {
    case LeftEdge:
        return -diff.x() / fitted.width();
    case RightEdge:
        return diff.x() / fitted.width();
    case TopEdge:
        return diff.y() / fitted.height();
    case BottomEdge:
        return -diff.y() / fitted.height();
    default:
        return 0;
    }
}

void VXPageView::mouseDown(const platform::MouseEvent &event)
{
    // A double click stands in for the smart zoom of a touchpad.
    if (event.clickCount == 2) {
        m_magnifiedByClick = true;
        smartMagnifyWithEvent();
        return;
    }
    if (m_mouseArea == Outside) {
        View::mouseDown(event);
        return;
    }
    m_mouseDown = true;
    m_orgCenter = m_center;
    m_orgZoom = m_zoom;
    m_mouseDownPos = event.location;
    if (m_mouseArea == Inside) {
        QSCursorStack::pushCursor(Qt::ClosedHandCursor, cursorKey(), window());
        return;
    }
    // The edge taken jumps to the pointer.
    const QRectF frame = pageFrame();
    const QPointF p = m_mouseDownPos;
    QPointF diff;
    switch (m_mouseArea) {
    case LeftEdge:
        diff = QPointF(p.x() - frame.left(), 0);
        break;
    case RightEdge:
        diff = QPointF(p.x() - frame.right(), 0);
        break;
    case TopEdge:
        diff = QPointF(0, p.y() - maxY(frame));
        break;
    case BottomEdge:
        diff = QPointF(0, p.y() - minY(frame));
        break;
    default:
        return;
    }
    updateCenter(m_center + offsetForDiff(diff), m_zoom + magifyForDiff(diff));
    m_orgCenter = m_center;
    m_orgZoom = m_zoom;
}

void VXPageView::mouseDragged(const platform::MouseEvent &event)
{
    if (!m_mouseDown) {
        View::mouseDragged(event);
        return;
    }
    if (m_mouseArea == Inside)
        moveTo(event.location);
    else
        resizeTo(event.location);
}

void VXPageView::moveTo(const QPointF &point)
{
    const double w = width();
    const double h = height();
    if (w <= 0 || h <= 0)
        return;
    const QPointF d = point - m_mouseDownPos;
    const QRectF frame = pageFrame();
    const double cx = snapped(m_orgCenter.x() + d.x() / w, w, (w - frame.width()) * 0.5);
    const double cy = snapped(m_orgCenter.y() + d.y() / h, h, (h - frame.height()) * 0.5);
    updateCenter(QPointF(cx, cy), m_zoom);
    updateSnap();
}

void VXPageView::resizeTo(QPointF point)
{
    // The view's edges draw the pointer in.
    const QRectF b = bounds();
    if (std::abs(point.x() - b.left()) <= edgeTolerance)
        point.setX(b.left());
    else if (std::abs(point.x() - b.right()) <= edgeTolerance)
        point.setX(b.right());
    else if (std::abs(point.y() - minY(b)) <= edgeTolerance)
        point.setY(minY(b));
    else if (std::abs(point.y() - maxY(b)) <= edgeTolerance)
        point.setY(maxY(b));
    const QPointF d = point - m_mouseDownPos;
    updateCenter(m_orgCenter + offsetForDiff(d), m_orgZoom + magifyForDiff(d));
    updateSnap();
}

void VXPageView::mouseUp(const platform::MouseEvent &event)
{
    if (m_magnifiedByClick) {
        m_magnifiedByClick = false;
        settleUnderPointer(event.location);
        return;
    }
    if (!m_mouseDown) {
        View::mouseUp(event);
        return;
    }
    m_mouseDown = false;
    removeSnap();
    if (m_mouseArea == Inside)
        QSCursorStack::pushCursor(Qt::OpenHandCursor, cursorKey(), window());
    settleUnderPointer(event.location);
}

// The page moved under a pressed button, so the hover area and the part under the pointer follow
// only now.
void VXPageView::settleUnderPointer(const QPointF &point)
{
    updateTrackingAreas();
    if (m_allowAdjusting && pageFrame().contains(point))
        updateMouseArea(point);
    else
        setMouseArea(Outside);
}

void VXPageView::updateSnap()
{
    const double w = width();
    const double h = height();
    const QRectF frame = pageFrame();
    QPainterPath path;
    const auto line = [&path](QPointF from, QPointF to) {
        path.moveTo(from);
        path.lineTo(to);
    };
    if (roundsToZero(m_center.x() * 10000))
        line({w / 2, 0}, {w / 2, h});
    if (roundsToZero(m_center.y() * 10000))
        line({0, h / 2}, {w, h / 2});
    if (roundsToZero(frame.left()))
        line({0, 0}, {0, h});
    if (roundsToZero(minY(frame)))
        line({0, 0}, {w, 0});
    if (roundsToZero(frame.right() - w))
        line({w, 0}, {w, h});
    if (roundsToZero(maxY(frame) - h))
        line({0, h}, {w, h});
    m_snapPath = path;
    update();
}

void VXPageView::removeSnap()
{
    m_snapPath = QPainterPath();
    update();
}

void VXPageView::scrollWheel(const platform::MouseEvent &event)
{
    if (!event.modifiers.testFlag(Qt::ControlModifier)) {
        View::scrollWheel(event);
        return;
    }
    const double steps = event.hasPreciseScrollingDeltas ? event.scrollingDelta.y() / pixelsPerWheelStep
                                                         : event.scrollingDelta.y();
    if (steps != 0)
        zoomAbout(event.location, steps * wheelStepMagnification);
}

// The point of the page under the pointer stays under it.
void VXPageView::zoomAbout(const QPointF &point, double magnification)
{
    const double w = width();
    const double h = height();
    if (w <= 0 || h <= 0 || m_zoom <= 0)
        return;
    const double zoom = limitedZoom(m_zoom + magnification);
    const QPointF middle(w * (m_center.x() + 0.5 + m_offset.x()), h * (m_center.y() + 0.5 + m_offset.y()));
    const QPointF moved = point + (middle - point) * (zoom / m_zoom);
    setCenter(QPointF(moved.x() / w - 0.5 - m_offset.x(), moved.y() / h - 0.5 - m_offset.y()));
    setZoom(zoom);
    tellDelegate();
}

void VXPageView::magnifyWithEvent(double magnification)
{
    setZoom(limitedZoom(m_zoom + magnification));
    layoutPageLayer();
    tellDelegate();
}

void VXPageView::smartMagnifyWithEvent()
{
    const double w = width();
    const double h = height();
    if (w <= 0 || h <= 0)
        return;
    const double other = m_ratio < w / h ? w / h : h / w;
    setZoom(std::abs(m_zoom - other) < std::abs(m_zoom - 1.0) ? 1.0 : limitedZoom(other));
    layoutPageLayer();
    tellDelegate();
}

bool VXPageView::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture) {
        const auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            magnifyWithEvent(gesture->value());
            return true;
        }
        if (gesture->gestureType() == Qt::SmartZoomNativeGesture) {
            smartMagnifyWithEvent();
            return true;
        }
    }
    const bool handled = View::event(event);
    if (event->type() == QEvent::Show)
        layoutPageLayer();
    return handled;
}

void VXPageView::drawRect(const QRectF &dirtyRect)
{
    if (!m_page)
        return;
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->setFill(Qt::white);
    context->fillRect(dirtyRect);
    const QRectF frame = pageFrame();
    if (!m_image.isNull())
        context->drawImage(m_image, aspectFitted(QSizeF(m_image.size()), frame));
    if (m_sharp && !m_sharpDrawn) {
        m_sharpDrawn = true;
        emit sharpImageShown();
    }
    if (m_allowAdjusting && !frame.isEmpty()) {
        context->setStroke(QColor::fromRgbF(0, 0, 0, 0.3f));
        context->setLineWidth(1.0);
        context->strokeRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    if (!m_snapPath.isEmpty()) {
        context->setStroke(QColor(0, 0, 255));
        context->setLineWidth(1.0);
        context->setLineDash({4, 2});
        context->strokePath(m_snapPath);
    }
}
