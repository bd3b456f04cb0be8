#include "platform/graphics/GraphicsContext.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/PainterRenderer.h"
#include "platform/graphics/TextLayout.h"

#include <cmath>

namespace platform {

namespace {

thread_local QList<GraphicsContext *> contexts;

// Exact for quarter turns, so that rotated drawing lands on whole pixels and page placements.
double snapped(double value)
{
    for (double exact : {-1.0, 0.0, 1.0}) {
        if (std::abs(value - exact) < 1e-12)
            return exact;
    }
    return value;
}

} // namespace

GraphicsContext::GraphicsContext()
    : m_states{GraphicsState()}
{
}

GraphicsContext::~GraphicsContext() = default;

void GraphicsContext::saveGState() { m_states.append(m_states.last()); }

void GraphicsContext::restoreGState()
{
    if (m_states.size() == 1) {
        logWarning(QStringLiteral("Graphics state restored more often than saved"));
        return;
    }
    m_states.removeLast();
}

void GraphicsContext::translate(double tx, double ty) { concat(QTransform::fromTranslate(tx, ty)); }

void GraphicsContext::scale(double sx, double sy) { concat(QTransform::fromScale(sx, sy)); }

void GraphicsContext::rotate(double radians)
{
    const double c = snapped(std::cos(radians));
    const double s = snapped(std::sin(radians));
    concat(QTransform(c, s, -s, c, 0, 0));
}

void GraphicsContext::concat(const QTransform &transform)
{
    GraphicsState &state = changingGeometry();
    state.transform = transform * state.transform;
}

QTransform GraphicsContext::transform() const { return state().transform; }

void GraphicsContext::clipToRect(const QRectF &rect)
{
    QPainterPath path;
    path.addRect(rect.normalized());
    clipToPath(path);
}

void GraphicsContext::clipToPath(const QPainterPath &path)
{
    GraphicsState &state = changingGeometry();
    state.clips.append({path, state.transform});
}

void GraphicsContext::clipToMask(const QImage &mask, const QRectF &rect)
{
    if (mask.isNull() || rect.isEmpty()) {
        logWarning(QStringLiteral("Clipped to an empty mask: nothing will show"));
        clipToRect(QRectF());
        return;
    }
    GraphicsState &state = changingGeometry();
    state.masks.append({mask, rect.normalized(), state.transform});
}

void GraphicsContext::setFill(const QBrush &brush) { m_states.last().fill = brush; }

void GraphicsContext::setStroke(const QBrush &brush) { m_states.last().stroke = brush; }

void GraphicsContext::setLineWidth(double width) { m_states.last().lineWidth = std::max(0.0, width); }

void GraphicsContext::setLineCap(Qt::PenCapStyle cap) { m_states.last().lineCap = cap; }

void GraphicsContext::setLineJoin(Qt::PenJoinStyle join) { m_states.last().lineJoin = join; }

void GraphicsContext::setLineDash(const QList<double> &lengths, double phase)
{
    m_states.last().dashLengths = lengths;
    m_states.last().dashPhase = phase;
}

void GraphicsContext::setShadow(const std::optional<Shadow> &shadow) { m_states.last().shadow = shadow; }

void GraphicsContext::setBlendMode(QPainter::CompositionMode mode) { m_states.last().blendMode = mode; }

void GraphicsContext::setPatternPhase(const QPointF &phase) { m_states.last().patternPhase = phase; }

void GraphicsContext::fillPath(const QPainterPath &path)
{
    if (PainterRenderer *target = renderer())
        target->fillPath(state(), path);
}

void GraphicsContext::strokePath(const QPainterPath &path)
{
    if (PainterRenderer *target = renderer())
        target->strokePath(state(), path);
}

void GraphicsContext::fillRect(const QRectF &rect)
{
    QPainterPath path;
    path.addRect(rect.normalized());
    fillPath(path);
}

void GraphicsContext::strokeRect(const QRectF &rect)
{
    QPainterPath path;
    path.addRect(rect.normalized());
    strokePath(path);
}

void GraphicsContext::drawText(const QString &text, const QPointF &point, const TextAttributes &attributes)
{
    if (text.isEmpty())
        return;
    const TextLayout layout(text, attributes);
    // The layout runs y-down from its top; its first baseline goes to the point.
    const QTransform placement(1, 0, 0, -1, point.x(), point.y());
    if (PainterRenderer *target = renderer())
        target->drawText(state(), layout, placement, QPointF(0, -layout.ascent()), QRectF());
}

void GraphicsContext::drawText(const QString &text, const QRectF &rect, const TextAttributes &attributes)
{
    const QRectF box = rect.normalized();
    if (text.isEmpty() || box.isEmpty())
        return;
    drawLayout(TextLayout(text, attributes, box.width()), box, attributes.alignment);
}

void GraphicsContext::drawText(const AttributedString &text, const QRectF &rect, const TextAttributes &attributes)
{
    const QRectF box = rect.normalized();
    if (text.text.isEmpty() || box.isEmpty())
        return;
    drawLayout(TextLayout(text, attributes, box.width()), box, attributes.alignment);
}

void GraphicsContext::drawLayout(const TextLayout &layout, const QRectF &box, Qt::Alignment alignment)
{
    double top = 0;
    if (alignment & Qt::AlignBottom)
        top = box.height() - layout.size().height();
    else if (alignment & Qt::AlignVCenter)
        top = (box.height() - layout.size().height()) / 2;
    const QTransform placement(1, 0, 0, -1, box.left(), box.top() + box.height());
    if (PainterRenderer *target = renderer())
        target->drawText(state(), layout, placement, QPointF(0, top), QRectF(QPointF(0, 0), box.size()));
}

QRectF GraphicsContext::boundingRect(const QString &text, const TextAttributes &attributes)
{
    if (text.isEmpty())
        return {};
    const TextLayout layout(text, attributes);
    const QSizeF size = layout.size();
    return QRectF(0, layout.ascent() - size.height(), size.width(), size.height());
}

void GraphicsContext::drawImage(const QImage &image, const QRectF &rect, double opacity)
{
    drawImage(image, rect, QRectF(), opacity);
}

void GraphicsContext::drawImage(const QImage &image, const QRectF &rect, const QRectF &source, double opacity)
{
    if (PainterRenderer *target = renderer())
        target->drawImage(state(), image, rect, source, opacity);
}

void GraphicsContext::drawJpegImage(const JpegImage &image, const QRectF &rect)
{
    const QImage pixels = image.decoded();
    if (pixels.isNull()) {
        logWarning(QStringLiteral("A JPEG picture that cannot be decoded was not drawn"));
        return;
    }
    drawImage(pixels, rect);
}

void GraphicsContext::drawTiledImage(const QImage &image, const QRectF &tile)
{
    if (image.isNull() || tile.isEmpty()) {
        logWarning(QStringLiteral("An image was tiled without pixels or with an empty tile"));
        return;
    }
    if (PainterRenderer *target = renderer())
        target->drawTiledImage(state(), image, tile.normalized());
}

const GraphicsState &GraphicsContext::state() const { return m_states.last(); }

void GraphicsContext::resetGraphicsState()
{
    m_states = {GraphicsState()};
    changingGeometry();
}

GraphicsState &GraphicsContext::changingGeometry()
{
    GraphicsState &state = m_states.last();
    state.geometryId = ++m_geometryIds;
    return state;
}

GraphicsContext *GraphicsContext::current() { return contexts.isEmpty() ? nullptr : contexts.last(); }

void GraphicsContext::push(GraphicsContext *context) { contexts.append(context); }

void GraphicsContext::pop()
{
    if (!contexts.isEmpty())
        contexts.removeLast();
}

} // namespace platform
