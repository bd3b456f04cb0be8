#include "platform/graphics/BitmapGraphicsContext.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"

#include <QPainter>

#include <cmath>

namespace platform {

QImage BitmapGraphicsContext::drawnImage(const QSizeF &pointSize, double scale,
                                         const std::function<void(GraphicsContext &)> &drawing)
{
    const QSize pixels(int(std::ceil(pointSize.width() * scale)), int(std::ceil(pointSize.height() * scale)));
    if (pointSize.isEmpty() || !(scale > 0) || pixels.isEmpty()) {
        logWarning(QStringLiteral("No picture drawn at %1 x %2 points, scale %3")
                       .arg(pointSize.width()).arg(pointSize.height()).arg(scale));
        return {};
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        logError(QStringLiteral("Could not make a picture of %1 x %2 pixels").arg(pixels.width()).arg(pixels.height()));
        return {};
    }
    image.fill(Qt::transparent);
    const int dotsPerMeter = int(std::lround(scale * 72 / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    painter.scale(scale, scale);
    {
        PainterGraphicsContext context(&painter, pixels.height() / scale);
        GraphicsContextScope scope(&context);
        drawing(context);
    }
    painter.end();
    return image;
}

} // namespace platform
