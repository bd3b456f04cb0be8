#include "RQS-Kit/Controls/QSPointingView.h"

#include "platform/graphics/Arc.h"
#include "platform/graphics/GraphicsContext.h"


#include <algorithm>

QSPointingView::QSPointingView(QWidget *parent)
    : platform::View(parent)
{
    createContainerView();
}

QWidget *QSPointingView::containerView() const { return m_containerView; }

void QSPointingView::createContainerView()
{
    m_containerView = new platform::View(this);
    adoptSubviews();
    updateContainerFrame();
}

void QSPointingView::addSubview(QWidget *view)
{
    if (view == m_containerView || !m_containerView)
        platform::View::addSubview(view);
    else
        m_containerView->addSubview(view);
}

void QSPointingView::showEvent(QShowEvent *event)
{
    adoptSubviews();
    platform::View::showEvent(event);
}

void QSPointingView::resizeEvent(QResizeEvent *event)
{
    platform::View::resizeEvent(event);
    updateContainerFrame();
}

void QSPointingView::adoptSubviews()
{
    for (QWidget *child : subviews()) {
        if (child != m_containerView)
            m_containerView->addSubview(child);
    }
}

int QSPointingView::pointingSide() const { return m_pointingSide; }

void QSPointingView::setPointingSide(int side)
{
    m_pointingSide = side;
    updateContainerFrame();
}

double QSPointingView::distance() const { return m_distance; }

void QSPointingView::setDistance(double distance)
{
    m_distance = distance;
    setNeedsDisplay(true);
}

void QSPointingView::updateContainerFrame()
{
    if (!m_containerView) {
        createContainerView();
        return;
    }
    m_containerView->setFrame(containerFrame());
    setNeedsDisplay(true);
}

QRectF QSPointingView::containerFrame() const
{
    const QRectF inset = bounds().adjusted(1, 1, -1, -1);
    double x = inset.x(), y = inset.y(), w = inset.width(), h = inset.height();
    if (m_pointingSide == Left || m_pointingSide == Right)
        w -= 10;
    if (m_pointingSide == Left)
        x = 10;
    if (m_pointingSide == Top || m_pointingSide == Bottom)
        h -= 10;
    if (m_pointingSide == Bottom)
        y = 10;
    return QRectF(x, y, w, h);
}

double QSPointingView::arrowPosition() const
{
    const QRectF r = containerFrame().adjusted(-1, -1, 1, 1);
    const bool vertical = m_pointingSide == Left || m_pointingSide == Right;
    const double length = vertical ? r.height() : r.width();
    // A side shorter than 28 points has no room between the clamps: the arrow sits in its middle.
    if (length < 28)
        return (vertical ? r.y() : r.x()) + length / 2;
    return std::clamp(m_distance, 14.0, length - 14);
}

void QSPointingView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QRectF r = containerFrame().adjusted(-1, -1, 1, 1);
    const double x0 = r.x(), y0 = r.y(), w = r.width(), h = r.height();
    const double p = arrowPosition();
    using platform::appendArc;
    QPainterPath path;
    path.moveTo(x0, y0 + 4);
    if (m_pointingSide == Left) {
        path.lineTo(x0, p - 10);
        path.lineTo(x0 - 10, p);
        path.lineTo(x0, p + 10);
    }
    appendArc(path, {x0 + 4, y0 + h - 4}, 4, 180, 90, true);
    if (m_pointingSide == Top) {
        path.lineTo(p - 10, y0 + h);
        path.lineTo(p, y0 + h + 10);
        path.lineTo(p + 10, y0 + h);
    }
    appendArc(path, {x0 + w - 4, y0 + h - 4}, 4, 90, 0, true);
    if (m_pointingSide == Right) {
        path.lineTo(x0 + w, p + 10);
        path.lineTo(x0 + w + 10, p);
        path.lineTo(x0 + w, p - 10);
    }
    appendArc(path, {x0 + w - 4, y0 + 4}, 4, 0, -90, true);
    if (m_pointingSide == Bottom) {
        path.lineTo(p + 10, y0);
        path.lineTo(p, y0 - 10);
        path.lineTo(p - 10, y0);
    }
    appendArc(path, {x0 + 4, y0 + 4}, 4, -90, -180, true);
    context->setFill(QColor::fromRgbF(0, 0, 0, 0.8f));
    context->fillPath(path);
    context->setStroke(QColor(71, 71, 71));
    context->setLineWidth(1);
    context->strokePath(path);
}
