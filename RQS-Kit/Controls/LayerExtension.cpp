#include "RQS-Kit/Controls/LayerExtension.h"

#include "RQS-Kit/Controls/QSCIImageLayer.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"

#include <QImage>
#include <QMetaObject>
#include <QPainter>

namespace rqs {

namespace {

platform::Layer *newLayerLike(const platform::Layer &layer)
{
    for (const QMetaObject *type = layer.metaObject(); type; type = type->superClass()) {
        if (auto *made = qobject_cast<platform::Layer *>(type->newInstance(Q_ARG(QObject *, nullptr))))
            return made;
    }
    return new platform::Layer;
}

} // namespace

platform::Layer *duplicate(const platform::Layer &layer)
{
    platform::Layer *copy = newLayerLike(layer);
    const auto *imageLayer = qobject_cast<const QSCIImageLayer *>(&layer);
    auto *imageCopy = qobject_cast<QSCIImageLayer *>(copy);
    if (imageLayer && imageCopy)
        imageCopy->setImage(imageLayer->image());
    else
        copy->setContents(layer.contents());
    copyGeometryAndAppearance(layer, *copy);
    return copy;
}

void copyGeometryAndAppearance(const platform::Layer &from, platform::Layer &to)
{
    to.setAnchorPoint(from.anchorPoint());
    to.setAnchorPointZ(from.anchorPointZ());
    to.setBounds(from.bounds());
    to.setPosition(from.position());
    to.setZPosition(from.zPosition());
    to.setContentsGravity(from.contentsGravity());
    to.setContentsRect(from.contentsRect());
    to.setShadowColor(from.shadowColor());
    to.setShadowOffset(from.shadowOffset());
    to.setShadowRadius(from.shadowRadius());
    to.setTransform(from.transform());
    to.setSublayerTransform(from.sublayerTransform());
    to.setOpacity(from.opacity());
    to.setBorderColor(from.borderColor());
    to.setBorderWidth(from.borderWidth());
    to.setCornerRadius(from.cornerRadius());
}

double transparencyAt(platform::Layer &layer, const QPointF &point)
{
    QImage pixel(1, 1, QImage::Format_ARGB32_Premultiplied);
    pixel.fill(Qt::transparent);
    {
        QPainter painter(&pixel);
        platform::PainterGraphicsContext context(&painter, 1);
        context.translate(-point.x(), -point.y());
        platform::LayerRenderer::renderContent(layer, context);
    }
    return qAlpha(pixel.pixel(0, 0)) / 255.0;
}

QString fullDescription(const platform::Layer &layer)
{
    const QRectF frame = layer.frame();
    const QRectF contents = layer.contentsRect();
    return QStringLiteral("%1(%2)").arg(QLatin1String(layer.metaObject()->className())).arg(quintptr(&layer), 0, 16)
        + QString::asprintf("\n Frame: (%f, %f, %f, %f)", frame.x(), frame.y(), frame.width(), frame.height())
        + QString::asprintf("\n Contents Rect: (%f, %f, %f, %f)", contents.x(), contents.y(), contents.width(), contents.height());
}

} // namespace rqs
