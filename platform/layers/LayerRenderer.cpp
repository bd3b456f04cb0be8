#include "platform/layers/LayerRenderer.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/layers/Layer.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

QPainterPath outline(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QRectF contentsPlace(const Layer &layer, const QRectF &bounds, const QSizeF &shown)
{
    switch (layer.contentsGravity()) {
    case Layer::Gravity::Resize:
        return bounds;
    case Layer::Gravity::ResizeAspect: {
        const double scale = std::min(bounds.width() / shown.width(), bounds.height() / shown.height());
        const QSizeF size = shown * scale;
        return QRectF(bounds.center() - QPointF(size.width() / 2, size.height() / 2), size);
    }
    case Layer::Gravity::Center:
        break;
    }
    return QRectF(bounds.center() - QPointF(shown.width() / 2, shown.height() / 2), shown);
}

void drawContents(const Layer &layer, const QRectF &bounds, GraphicsContext &context)
{
    const QImage contents = layer.contents();
    if (contents.isNull() || bounds.isEmpty())
        return;
    const QRectF unit = layer.contentsRect();
    // The unit rectangle is y-up like the layer; the picture's source is given y-up too.
    const QRectF source(unit.x() * contents.width(), unit.y() * contents.height(), unit.width() * contents.width(),
                        unit.height() * contents.height());
    if (source.isEmpty())
        return;
    context.drawImage(contents, contentsPlace(layer, bounds, source.size() / contents.devicePixelRatio()), source);
}

QImage apart(Layer &layer, const QRectF &bounds, void (*draw)(Layer &, GraphicsContext &))
{
    QImage image(std::max(1, int(std::ceil(bounds.width()))), std::max(1, int(std::ceil(bounds.height()))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PainterGraphicsContext context(&painter, image.height());
    context.translate(-bounds.x(), -bounds.y());
    draw(layer, context);
    return image;
}

} // namespace

void LayerRenderer::render(Layer &layer, GraphicsContext &context)
{
    const double opacity = layer.presentedOpacity();
    if (layer.isHidden() || opacity <= 0)
        return;
    context.saveGState();
    context.concat(layer.transformToSuperlayer(true));
    const QRectF bounds = layer.presentedBounds();
    const double shadowOpacity = layer.presentedShadowOpacity();
    if (shadowOpacity > 0 && !bounds.isEmpty()) {
        QColor shadow = layer.shadowColor();
        shadow.setAlphaF(float(shadow.alphaF() * shadowOpacity * opacity));
        context.setFill(shadow);
        context.fillPath(outline(bounds.translated(layer.shadowOffset()), layer.cornerRadius()));
    }
    if (opacity < 1 || layer.mask()) {
        QImage image = apart(layer, bounds, &LayerRenderer::renderContent);
        if (Layer *mask = layer.mask()) {
            const QImage alpha = apart(*mask, bounds, &LayerRenderer::render);
            QPainter painter(&image);
            painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            painter.drawImage(0, 0, alpha);
        }
        context.drawImage(image, QRectF(bounds.topLeft(), QSizeF(image.size())), opacity);
    } else {
        renderContent(layer, context);
    }
    context.restoreGState();
}

void LayerRenderer::renderContent(Layer &layer, GraphicsContext &context)
{
    const QRectF bounds = layer.presentedBounds();
    context.saveGState();
    if (layer.backgroundColor().alpha() > 0) {
        context.setFill(layer.backgroundColor());
        context.fillPath(outline(bounds, layer.cornerRadius()));
    }
    drawContents(layer, bounds, context);
    context.saveGState();
    layer.drawInContext(context);
    context.restoreGState();
    if (layer.masksToBounds())
        context.clipToPath(outline(bounds, layer.cornerRadius()));
    QList<Layer *> sublayers = layer.sublayers();
    std::stable_sort(sublayers.begin(), sublayers.end(),
                     [](Layer *a, Layer *b) { return a->zPosition() < b->zPosition(); });
    for (Layer *sublayer : std::as_const(sublayers))
        render(*sublayer, context);
    context.restoreGState();
    if (layer.borderWidth() > 0) {
        const double inset = layer.borderWidth() / 2;
        context.saveGState();
        context.setStroke(layer.borderColor());
        context.setLineWidth(layer.borderWidth());
        context.strokePath(outline(bounds.adjusted(inset, inset, -inset, -inset), layer.cornerRadius()));
        context.restoreGState();
    }
}

QImage LayerRenderer::picture(Layer &layer) { return apart(layer, layer.bounds(), &LayerRenderer::renderContent); }

} // namespace platform
