#include "platform/graphics/PainterRenderer.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/AlphaBlur.h"
#include "platform/graphics/TextLayout.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPathStroker>

#include <cmath>

namespace platform {

namespace {

// A shadow raster larger than this is made coarser rather than exhausting memory.
constexpr double maximumShadowPixels = 16.0 * 1024 * 1024;

QPen penOf(const GraphicsState &state)
{
    QPen pen(state.stroke, state.lineWidth, Qt::SolidLine, state.lineCap, state.lineJoin);
    pen.setMiterLimit(10);
    double total = 0;
    for (double length : state.dashLengths)
        total += std::max(0.0, length);
    if (total > 0) {
        // Qt counts dashes in line widths, the user space in units.
        const double unit = state.lineWidth > 0 ? state.lineWidth : 1;
        QList<qreal> pattern;
        for (double length : state.dashLengths)
            pattern.append(std::max(length, 0.0) / unit);
        if (pattern.size() % 2 == 1)
            pattern += pattern;
        pen.setDashPattern(pattern);
        pen.setDashOffset(state.dashPhase / unit);
    }
    return pen;
}

// The image's y-up pixel rectangle as Qt's y-down one.
QRectF sourceInImage(const QImage &image, const QRectF &source)
{
    if (source.isEmpty())
        return QRectF(image.rect());
    return QRectF(source.x(), image.height() - source.y() - source.height(), source.width(), source.height());
}

// Maps the image's y-down pixels upright onto the y-up rectangle of that many units.
QTransform upright(const QRectF &rect) { return QTransform(1, 0, 0, -1, rect.left(), rect.top() + rect.height()); }

// Pattern images tile in points: their pixel ratio sets the tile size, drawn upright from the phase.
QBrush anchoredPattern(const QBrush &fill, const QPointF &phase)
{
    if (fill.style() != Qt::TexturePattern)
        return fill;
    QImage tile = fill.textureImage();
    const double unit = 1 / tile.devicePixelRatio();
    const double height = tile.height() * unit;
    tile.setDevicePixelRatio(1);
    QBrush brush(tile);
    brush.setTransform(fill.transform() * QTransform(unit, 0, 0, -unit, phase.x(), phase.y() + height));
    return brush;
}

} // namespace

PainterRenderer::PainterRenderer(QPainter *painter, const QTransform &base, double shadowResolution)
    : m_painter(painter)
    , m_base(base)
    , m_shadowResolution(shadowResolution)
    , m_painterClips(painter->hasClipping())
    , m_painterClip(painter->clipPath())
    , m_painterTransform(painter->transform())
    , m_appliedGeometry(0)
{
}

QPainter *PainterRenderer::painter() const { return m_painter; }

void PainterRenderer::applyGeometry(const GraphicsState &state)
{
    if (m_applied && state.geometryId == m_appliedGeometry)
        return;
    m_painter->setTransform(m_painterTransform);
    if (m_painterClips)
        m_painter->setClipPath(m_painterClip);
    else
        m_painter->setClipping(false);
    bool first = !m_painterClips;
    for (const GraphicsState::Clip &clip : state.clips) {
        m_painter->setTransform(clip.transform * m_base);
        m_painter->setClipPath(clip.path, first ? Qt::ReplaceClip : Qt::IntersectClip);
        first = false;
    }
    m_painter->setTransform(state.transform * m_base);
    m_applied = true;
    m_appliedGeometry = state.geometryId;
}

void PainterRenderer::fillPath(const GraphicsState &state, const QPainterPath &path)
{
    paint(state, [&] { return path.boundingRect(); },
          [&](QPainter &painter) {
              painter.setPen(Qt::NoPen);
              painter.setBrush(anchoredPattern(state.fill, state.patternPhase));
              painter.drawPath(path);
          });
}

void PainterRenderer::strokePath(const GraphicsState &state, const QPainterPath &path)
{
    const QPen pen = penOf(state);
    paint(state,
          [&] {
              if (pen.widthF() <= 0)
                  return path.boundingRect().adjusted(-1, -1, 1, 1);
              return QPainterPathStroker(pen).createStroke(path).boundingRect();
          },
          [&](QPainter &painter) {
              painter.setPen(pen);
              painter.setBrush(Qt::NoBrush);
              painter.drawPath(path);
          });
}

void PainterRenderer::drawText(const GraphicsState &state, const TextLayout &layout, const QTransform &placement,
                               const QPointF &topLeft, const QRectF &clip)
{
    paint(state,
          [&] {
              const QRectF reach = layout.bounds().translated(topLeft);
              return placement.mapRect(clip.isEmpty() ? reach : reach.intersected(clip));
          },
          [&](QPainter &painter) {
              painter.save();
              painter.setTransform(placement, true);
              if (!clip.isEmpty())
                  painter.setClipRect(clip, Qt::IntersectClip);
              layout.draw(painter, topLeft);
              painter.restore();
          });
}

void PainterRenderer::drawImage(const GraphicsState &state, const QImage &image, const QRectF &rect,
                                const QRectF &source, double opacity)
{
    if (image.isNull() || rect.isEmpty() || opacity <= 0)
        return;
    const QRectF from = sourceInImage(image, source);
    paint(state, [&] { return rect; },
          [&](QPainter &painter) {
              painter.save();
              painter.translate(rect.left(), rect.top() + rect.height());
              painter.scale(1, -1);
              painter.setOpacity(painter.opacity() * std::min(opacity, 1.0));
              painter.setRenderHint(QPainter::SmoothPixmapTransform);
              painter.drawImage(QRectF(QPointF(0, 0), rect.size()), image, from);
              painter.restore();
          });
}

void PainterRenderer::drawTiledImage(const GraphicsState &state, const QImage &image, const QRectF &tile)
{
    QImage pixels = image;
    pixels.setDevicePixelRatio(1);
    QBrush brush(pixels);
    brush.setTransform(QTransform::fromScale(tile.width() / pixels.width(), tile.height() / pixels.height()) * upright(tile));
    const auto reach = [](const QPainter &painter) {
        const QRectF device(0, 0, painter.device()->width(), painter.device()->height());
        return painter.transform().inverted().map(QPolygonF(device));
    };
    paint(state, [&] { return reach(*m_painter).boundingRect(); },
          [&](QPainter &painter) {
              painter.setPen(Qt::NoPen);
              painter.setBrush(brush);
              painter.drawPolygon(reach(painter));
          });
}

void PainterRenderer::paint(const GraphicsState &state, const std::function<QRectF()> &bounds,
                            const Painting &painting)
{
    if (!state.masks.isEmpty()) {
        paintMasked(state, bounds, painting);
        return;
    }
    applyGeometry(state);
    m_painter->setCompositionMode(blendMode(state));
    if (state.shadow && state.shadow->color.alpha() > 0)
        paintShadow(state, bounds(), painting);
    painting(*m_painter);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

bool PainterRenderer::drawsPdf() const
{
    return m_painter->paintEngine() && m_painter->paintEngine()->type() == QPaintEngine::Pdf;
}

QPainter::CompositionMode PainterRenderer::blendMode(const GraphicsState &state)
{
    if (state.blendMode == QPainter::CompositionMode_SourceOver || !drawsPdf())
        return state.blendMode;
    if (!m_warnedBlend)
        logWarning(QStringLiteral("PDF output cannot blend drawings; they are drawn normally"));
    m_warnedBlend = true;
    return QPainter::CompositionMode_SourceOver;
}

QRectF PainterRenderer::visibleArea() const
{
    const QPaintDevice *device = m_painter->device();
    QRectF visible(0, 0, device->width(), device->height());
    if (m_painter->hasClipping()) {
        m_painter->save();
        m_painter->setWorldTransform(QTransform());
        visible = visible.intersected(m_painter->clipBoundingRect());
        m_painter->restore();
    }
    return visible;
}

void PainterRenderer::paintMasked(const GraphicsState &state, const std::function<QRectF()> &bounds,
                                  const Painting &painting)
{
    if (drawsPdf() && !m_warnedMask)
        logWarning(QStringLiteral("PDF output gets drawing clipped to an image's mask as a picture"));
    m_warnedMask = m_warnedMask || drawsPdf();
    applyGeometry(state);
    QRectF area = visibleArea();
    for (const GraphicsState::MaskClip &mask : state.masks)
        area = area.intersected((mask.transform * m_base).mapRect(mask.rect));
    area = QRectF(QPointF(std::floor(area.left()), std::floor(area.top())),
                  QPointF(std::ceil(area.right()), std::ceil(area.bottom())));
    if (area.isEmpty())
        return;
    double resolution = m_shadowResolution;
    const double pixels = area.width() * area.height() * resolution * resolution;
    if (pixels > maximumShadowPixels)
        resolution *= std::sqrt(maximumShadowPixels / pixels);
    const QSize size(std::max(1, int(std::ceil(area.width() * resolution))),
                     std::max(1, int(std::ceil(area.height() * resolution))));
    const QTransform layerBase =
        m_base * QTransform::fromTranslate(-area.left(), -area.top()) * QTransform::fromScale(resolution, resolution);

    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter painter(&layer);
        painter.setRenderHints(m_painter->renderHints());
        GraphicsState unmasked = state;
        unmasked.masks.clear();
        unmasked.blendMode = QPainter::CompositionMode_SourceOver;
        PainterRenderer(&painter, layerBase, 1).paint(unmasked, bounds, painting);
    }
    QImage alpha(size, QImage::Format_ARGB32_Premultiplied);
    for (const GraphicsState::MaskClip &mask : state.masks) {
        alpha.fill(Qt::transparent);
        {
            QPainter painter(&alpha);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setTransform(upright(mask.rect) * mask.transform * layerBase);
            painter.drawImage(QRectF(QPointF(0, 0), mask.rect.size()), mask.mask);
        }
        QPainter painter(&layer);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(0, 0, alpha);
    }
    m_painter->save();
    m_painter->setWorldTransform(QTransform());
    m_painter->setCompositionMode(blendMode(state));
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform);
    m_painter->drawImage(area, layer);
    m_painter->restore();
}

void PainterRenderer::paintShadow(const GraphicsState &state, const QRectF &userBounds, const Painting &painting)
{
    const Shadow &shadow = *state.shadow;
    // Offset and blur are measured in the base space, whatever the user space is.
    const double baseScale = std::sqrt(std::abs(m_base.determinant()));
    const double sigma = std::max(0.0, shadow.blurRadius) / 2 * baseScale;
    const double reach = std::ceil(3 * sigma);
    const QPointF offset = m_base.map(QPointF(shadow.offset.width(), shadow.offset.height())) - m_base.map(QPointF(0, 0));
    const QTransform toPainter = state.transform * m_base;

    // Only the part of the shadow that can show is made: its shape moved back from what the
    // device and the clip let through, with the blur's reach around it.
    const QRectF visible = visibleArea();
    QRectF area = toPainter.mapRect(userBounds).adjusted(-reach, -reach, reach, reach);
    area = area.intersected(visible.translated(-offset).adjusted(-reach, -reach, reach, reach));
    if (area.isEmpty())
        return;
    double resolution = m_shadowResolution;
    const double pixels = area.width() * area.height() * resolution * resolution;
    if (pixels > maximumShadowPixels)
        resolution *= std::sqrt(maximumShadowPixels / pixels);
    area = QRectF(QPointF(std::floor(area.left()), std::floor(area.top())),
                  QPointF(std::ceil(area.right()), std::ceil(area.bottom())));
    const QSize size(std::max(1, int(std::ceil(area.width() * resolution))),
                     std::max(1, int(std::ceil(area.height() * resolution))));

    QImage shape(size, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setRenderHints(m_painter->renderHints());
        painter.scale(resolution, resolution);
        painter.translate(-area.topLeft());
        painter.setTransform(toPainter, true);
        painting(painter);
    }
    QImage mask = shape.convertToFormat(QImage::Format_Alpha8);
    AlphaBlur::blur(mask, sigma * resolution);

    QImage cast(size, QImage::Format_ARGB32_Premultiplied);
    cast.fill(shadow.color);
    {
        QPainter painter(&cast);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(0, 0, mask);
    }
    m_painter->save();
    m_painter->setWorldTransform(QTransform());
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform);
    m_painter->drawImage(area.translated(offset), cast);
    m_painter->restore();
}

} // namespace platform
