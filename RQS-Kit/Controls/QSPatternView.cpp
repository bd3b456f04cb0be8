#include "RQS-Kit/Controls/QSPatternView.h"

#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <numbers>

QSPatternView::QSPatternView(QWidget *parent)
    : platform::View(parent)
{
}

QImage QSPatternView::image() const { return m_image; }
void QSPatternView::setImage(const QImage &image) { m_image = image; }
QBrush QSPatternView::color() const { return m_color; }
void QSPatternView::setColor(const QBrush &color) { m_color = color; }
double QSPatternView::rotation() const { return m_rotation; }
void QSPatternView::setRotation(double degrees) { m_rotation = degrees; }
QString QSPatternView::imageName() const { return m_imageName; }

void QSPatternView::setImageName(const QString &name)
{
    m_imageName = name;
    m_image = platform::Bundle::mainBundle()->imageNamed(name);
    if (m_image.isNull())
        platform::logWarning(QStringLiteral("No image \"%1\" for a pattern view").arg(name));
}

QString QSPatternView::colorName() const { return m_colorName; }

void QSPatternView::setColorName(const QString &name)
{
    m_colorName = name;
    m_color = QSColor::colorFromDescription(name);
}

void QSPatternView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    if (!m_image.isNull()) {
        const QSizeF tile = m_image.deviceIndependentSize();
        context->saveGState();
        if (m_rotation != 0)
            context->rotate(m_rotation * std::numbers::pi / 180);
        context->drawTiledImage(m_image, QRectF(QPointF(0, bounds().height() - tile.height()), tile));
        context->restoreGState();
    }
    if (m_color.style() != Qt::NoBrush) {
        context->setFill(m_color);
        context->fillRect(bounds());
    }
}
