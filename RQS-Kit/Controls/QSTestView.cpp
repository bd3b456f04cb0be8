#include "RQS-Kit/Controls/QSTestView.h"

#include "platform/graphics/GraphicsContext.h"

QSTestView::QSTestView(QWidget *parent)
    : platform::View(parent)
{
}

void QSTestView::drawRect(const QRectF &dirtyRect)
{
    if (platform::GraphicsContext *context = platform::GraphicsContext::current()) {
        context->setFill(QColor::fromRgbF(0, 1, 0, 0.3f));
        context->fillRect(dirtyRect);
    }
}
