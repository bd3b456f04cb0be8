#include "platform/layers/LayerRenderer.h"

#include "platform/graphics/AlphaBlur.h"
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

// The layer drawn apart over the area, cut by its mask layer.
QImage alone(Layer &layer, const QRectF &area)
{
    QImage image = apart(layer, area, &LayerRenderer::renderContent);
    if (Layer *mask = layer.mask()) {
        const QImage alpha = apart(*mask, area, &LayerRenderer::render);
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(0, 0, alpha);
    }
    return image;
}

// The alpha of what the layer shows, moved by the shadow offset and blurred as the graphics
// contexts blur shadows (a deviation of half the radius), so both kinds of shadow look alike.
void drawShadow(Layer &layer, const QRectF &bounds, double alpha, GraphicsContext &context)
{
    const double sigma = std::max(0.0, layer.shadowRadius()) / 2;
    const double reach = std::ceil(3 * sigma);
    const QRectF area = bounds.adjusted(-reach, -reach, reach, reach);
    QImage mask = alone(layer, area).convertToFormat(QImage::Format_Alpha8);
    AlphaBlur::blur(mask, sigma);
    QColor colour = layer.shadowColor();
    colour.setAlphaF(float(colour.alphaF() * alpha));
    QImage cast(mask.size(), QImage::Format_ARGB32_Premultiplied);
    cast.fill(colour);
    {
        QPainter painter(&cast);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(0, 0, mask);
    }
    context.drawImage(cast, QRectF(area.topLeft() + layer.shadowOffset(), QSizeF(cast.size())));
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
    if (shadowOpacity > 0 && !bounds.isEmpty())
        drawShadow(layer, bounds, shadowOpacity * opacity, context);
    if (opacity < 1 || layer.mask()) {
        const QImage image = alone(layer, bounds);
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
