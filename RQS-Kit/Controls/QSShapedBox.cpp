#include "RQS-Kit/Controls/QSShapedBox.h"

#include "platform/graphics/Arc.h"
#include "platform/graphics/GraphicsContext.h"

#include <QEvent>

namespace {

// Positive intensities lighten, negative ones darken, 0 shows nothing.
QColor intensityColor(const QWidget &view, double intensity)
{
    QColor color = intensity > 0 ? view.palette().color(QPalette::Base) : view.palette().color(QPalette::WindowText);
    color.setAlphaF(float(std::min(std::abs(intensity), 1.0)));
    return color;
}

} // namespace

QSShapedBox::QSShapedBox(QWidget *parent)
    : platform::View(parent)
{
}

QWidget *QSShapedBox::titleView() const { return m_titleView; }

void QSShapedBox::setTitleView(QWidget *titleView)
{
    if (m_titleView)
        m_titleView->removeEventFilter(this);
    m_titleView = titleView;
    if (titleView)
        titleView->installEventFilter(this);
    updateEdge();
}

int QSShapedBox::edge() const { return m_edge; }

QRectF QSShapedBox::titleFrame() const
{
    if (!m_titleView)
        return {};
    // Through the screen: the title view need not lie inside the box, nor in its window yet.
    const QRect inBox(mapFromGlobal(m_titleView->mapToGlobal(QPoint(0, 0))), m_titleView->size());
    return QRectF(inBox.x(), height() - inBox.y() - inBox.height(), inBox.width(), inBox.height());
}

void QSShapedBox::updateEdge()
{
    const QRectF title = titleFrame();
    m_edge = height() - title.y() - title.height() > title.y() ? 1 : 0;
}

bool QSShapedBox::event(QEvent *event)
{
    // The title's place in the box changes when the box moves too.
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        updateEdge();
    return platform::View::event(event);
}

bool QSShapedBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_titleView && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        updateEdge();
    return platform::View::eventFilter(watched, event);
}

QPainterPath QSShapedBox::boxWithDistance(double d) const
{
    using platform::appendArc;
    const double W = width(), H = height(), R = m_cornerRadius, r = R - d;
    const QRectF t = titleFrame();
    const double top = m_edge == 1 ? H : t.y();
    const double bottom = m_edge == 1 ? t.y() + t.height() : 0;
    QPainterPath path;
    path.moveTo(W - R, top - R + r);
    appendArc(path, {W - R, top - R}, r, 90, 0, true);
    appendArc(path, {W - R, bottom + R}, r, 0, -90, true);
    if (m_edge == 1) {
        appendArc(path, {t.right() + R, bottom - R}, R + d, 90, 180, false);
        appendArc(path, {t.right() - R, t.y() + R}, r, 0, -90, true);
        appendArc(path, {t.x() + R, t.y() + R}, r, 270, 180, true);
        appendArc(path, {t.x() - R, bottom - R}, R + d, 0, 90, false);
    }
    appendArc(path, {R, bottom + R}, r, 270, 180, true);
    appendArc(path, {R, top - R}, r, 180, 90, true);
    if (m_edge == 0) {
        appendArc(path, {t.x() - R, top + R}, R + d, -90, 0, false);
        appendArc(path, {t.x() + R, top + t.height() - R}, r, 180, 90, true);
        appendArc(path, {t.right() - R, top + t.height() - R}, r, 90, 0, true);
        appendArc(path, {t.right() + R, top + R}, R + d, 180, 270, false);
    }
    path.closeSubpath();
    return path;
}

void QSShapedBox::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QPainterPath outline = boxWithDistance(0.5);
    context->setStroke(intensityColor(*this, m_outlineIntensity));
    context->setLineWidth(1);
    context->strokePath(outline);
    const QPainterPath inner = boxWithDistance(1.0);
    context->setFill(intensityColor(*this, m_backgroundIntensity));
    context->fillPath(inner);

    context->saveGState();
    context->setShadow(platform::Shadow{Qt::black, QSizeF(0, -1), 2});
    context->clipToPath(inner);
    QPainterPath ring = outline;
    ring.setFillRule(Qt::OddEvenFill);
    context->strokePath(ring);
    context->restoreGState();
}
