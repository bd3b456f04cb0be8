#include "app/booklet/VXPageBitmaps.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"

#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// Beyond this the bitmaps held ahead cost more memory than the extra cores save time.
constexpr int maximumWorkers = 8;

} // namespace

VXPageBitmaps::VXPageBitmaps() { m_pool.setMaxThreadCount(std::min(QThread::idealThreadCount(), maximumWorkers)); }

VXPageBitmaps::Bitmap VXPageBitmaps::draw(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    if (!page || !page->pdfPage())
        return {};
    // White like the paper, so the picture needs no transparency.
    QImage bitmap(pixels, QImage::Format_RGB32);
    if (bitmap.isNull()) {
        platform::logError(QStringLiteral("Could not make a bitmap of %1 x %2 pixels to draw a page through")
                               .arg(pixels.width())
                               .arg(pixels.height()));
        return {};
    }
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    bool failed = false;
    {
        // The context gives the painter back its state as it goes, before the painter ends.
        platform::PainterGraphicsContext context(&painter, pixels.height());
        platform::GraphicsContextScope scope(&context);
        page->renderInRect(QRectF(QPointF(0, 0), QSizeF(pixels)), orientation);
        failed = context.drawingFailed();
    }
    painter.end();
    if (failed)
        return {};
    return {bitmap, true};
}

int VXPageBitmaps::capacity() const { return std::max(1, m_pool.maxThreadCount()); }

bool VXPageBitmaps::prepare(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    for (const Ahead &ahead : std::as_const(m_ahead)) {
        if (ahead.page == page && ahead.pixels == pixels && ahead.orientation == orientation)
            return true;
    }
    if (m_ahead.size() >= capacity())
        return false;
    m_ahead.append({page, pixels, orientation, QtConcurrent::run(&m_pool, &VXPageBitmaps::draw, page, pixels, orientation)});
    return true;
}

VXPageBitmaps::Bitmap VXPageBitmaps::take(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    for (qsizetype i = 0; i < m_ahead.size(); ++i) {
        const Ahead &ahead = m_ahead.at(i);
        if (ahead.page == page && ahead.pixels == pixels && ahead.orientation == orientation) {
            QFuture<Bitmap> bitmap = ahead.bitmap;
            m_ahead.removeAt(i);
            return bitmap.result();
        }
    }
    return draw(page, pixels, orientation);
}

void VXPageBitmaps::clear() { m_ahead.clear(); }
