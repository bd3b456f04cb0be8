#include "RQS-Kit/Controls/QSImagePrintView.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <numbers>

QSImagePrintView::QSImagePrintView(QWidget *parent)
    : platform::View(parent)
{
}

QImage QSImagePrintView::image() const { return m_image; }

void QSImagePrintView::setImage(const QImage &image) { m_image = image; }

QSImagePrintViewDelegate *QSImagePrintView::delegate() const { return m_delegate.get(); }

void QSImagePrintView::setDelegate(platform::Delegate<QSImagePrintViewDelegate> delegate) { m_delegate.set(delegate); }

bool QSImagePrintView::knowsPageRange(int &first, int &count)
{
    first = 1;
    count = 1;
    return true;
}

void QSImagePrintView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QRectF area = bounds();
    if (m_image.isNull() && delegate())
        setImage(delegate()->printImageForView(this, area.size()));
    const QSizeF image = m_image.deviceIndependentSize();
    if (image.isEmpty()) {
        platform::logWarning(QStringLiteral("Nothing to print: the image print view has no image"));
        return;
    }
    const bool tall = area.width() <= area.height();
    const bool wide = image.width() > image.height();
    context->saveGState();
    QSizeF space = area.size();
    if (wide == tall) {
        // The space's x axis runs up the right edge, its y axis leftwards.
        context->translate(area.right(), area.y());
        context->rotate(std::numbers::pi / 2);
        space.transpose();
    } else {
        context->translate(area.x(), area.y());
    }
    QRectF target(QPointF(), space);
    if (space.width() / space.height() > image.width() / image.height()) {
        target.setWidth(float(image.width() * space.height() / image.height()));
        target.moveLeft((space.width() - target.width()) * 0.5);
    } else {
        target.setHeight(float(image.height() * space.width() / image.width()));
        target.moveTop((space.height() - target.height()) * 0.5);
    }
    context->drawImage(m_image, target);
    context->restoreGState();
}
