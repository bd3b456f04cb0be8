#include "app/booklet/VXBookletPrintView.h"

#include "platform/foundation/GuardedPointers.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/JpegImage.h"
#include "platform/pdf/PdfPage.h"


#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

// Where a page lies in document order, for the decorations; the blank filler page and a missing
// page lie nowhere.
quint64 indexIn(const VXPDFInputFilter *input, const VXPagePtr &page)
{
    if (!input || !page)
        return VXFilter::NotFound;
    return input->indexForPage(page);
}

} // namespace

VXOutputFilter *VXBookletPrintView::pagesProvider() const { return m_pagesProvider; }
void VXBookletPrintView::setPagesProvider(VXOutputFilter *pagesProvider) { m_pagesProvider = pagesProvider; }
VXPDFInputFilter *VXBookletPrintView::inputPages() const { return m_inputPages; }
void VXBookletPrintView::setInputPages(VXPDFInputFilter *inputPages) { m_inputPages = inputPages; }

QList<VXDoublePageFilter *> VXBookletPrintView::filters() const { return platform::livePointers(m_filters); }

void VXBookletPrintView::setFilters(const QList<VXDoublePageFilter *> &filters)
{
    m_filters = platform::guardedPointers(filters);
}

QPointF VXBookletPrintView::center() const { return m_center; }
void VXBookletPrintView::setCenter(const QPointF &center) { m_center = center; }
double VXBookletPrintView::zoom() const { return m_zoom; }
void VXBookletPrintView::setZoom(double zoom) { m_zoom = zoom; }
QSizeF VXBookletPrintView::pageSize() const { return m_pageSize; }
void VXBookletPrintView::setPageSize(const QSizeF &pageSize) { m_pageSize = pageSize; }
bool VXBookletPrintView::reverse() const { return m_reverse; }
void VXBookletPrintView::setReverse(bool reverse) { m_reverse = reverse; }
bool VXBookletPrintView::rotate() const { return m_rotate; }
void VXBookletPrintView::setRotate(bool rotate) { m_rotate = rotate; }
int VXBookletPrintView::orientationForLandscape() const { return m_orientationForLandscape; }
void VXBookletPrintView::setOrientationForLandscape(int orientation) { m_orientationForLandscape = orientation; }
int VXBookletPrintView::printPages() const { return m_printPages; }
void VXBookletPrintView::setPrintPages(int printPages) { m_printPages = printPages; }
bool VXBookletPrintView::useRasterization() const { return m_useRasterization; }
void VXBookletPrintView::setUseRasterization(bool useRasterization) { m_useRasterization = useRasterization; }
double VXBookletPrintView::rasterizeDPI() const { return m_rasterizeDPI; }
void VXBookletPrintView::setRasterizeDPI(double rasterizeDPI) { m_rasterizeDPI = rasterizeDPI; }

quint64 VXBookletPrintView::step() const { return m_printPages == AllSides ? 1 : 2; }

quint64 VXBookletPrintView::sideForPrintedPage(quint64 k) const
{
    const quint64 d = m_pagesProvider ? m_pagesProvider->doubleCount() : 0;
    // Unsigned: a printed page past the sides wraps to a side that does not exist and shows nothing.
    quint64 side = step() * k;
    if (m_reverse)
        side = d - step() * k - (m_printPages == AllSides ? 1 : 2);
    if (m_printPages == InnerSides)
        side += 1;
    return side;
}

QList<quint64> VXBookletPrintView::failedPages() const { return m_failedPages; }

bool VXBookletPrintView::drawingFailed() const { return !m_failedPages.isEmpty(); }

void VXBookletPrintView::pageFailed(const VXPagePtr &page, const QString &reason)
{
    const quint64 index = indexIn(m_inputPages, page);
    const quint64 number = index == VXFilter::NotFound ? 0 : index + 1;
    const auto at = std::lower_bound(m_failedPages.begin(), m_failedPages.end(), number);
    if (at != m_failedPages.end() && *at == number)
        return;
    m_failedPages.insert(at, number);
    if (!reason.isEmpty())
        platform::logError(QStringLiteral("Could not draw a page of the booklet through a bitmap: %1").arg(reason));
}

bool VXBookletPrintView::knowsPageRange(int &first, int &count)
{
    m_failedPages.clear();
    m_bitmaps.clear();
    m_workersFailed = false;
    first = 1;
    const quint64 printed = m_pagesProvider ? m_pagesProvider->doubleCount() / step() : 0;
    m_printedCount = printed;
    if (printed > quint64(std::numeric_limits<int>::max())) {
        platform::logError(QStringLiteral("Could not print %1 sheet sides: that is more than can be counted").arg(printed));
        return false;
    }
    count = int(printed);
    return true;
}

QRectF VXBookletPrintView::rectForPage(int page)
{
    return QRectF(0, (page - 1) * m_pageSize.height(), m_pageSize.width(), m_pageSize.height());
}

void VXBookletPrintView::drawRect(const QRectF &rect)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context) {
        platform::logWarning(QStringLiteral("No graphics context to print the booklet into"));
        return;
    }
    if (!m_pagesProvider || !(rect.height() > 0))
        return;
    // A paper too large for doubles leaves no side to count; never convert such a number.
    const double printed = std::round(rect.y() / rect.height());
    if (!(printed >= 0 && printed < 0x1p63))
        return;
    const quint64 side = sideForPrintedPage(quint64(printed));
    if (side >= m_pagesProvider->doubleCount())
        return;
    if (m_useRasterization)
        drawBitmapsAhead(quint64(printed));
    const double x = rect.x();
    const double y = rect.y();
    const double w = rect.width();
    const double h = rect.height();

    context->saveGState();
    if (m_rotate && side % 2 == 1) {
        context->translate(2 * x + w, 2 * y + h);
        context->rotate(M_PI);
    }
    const VXPagePtr left = m_pagesProvider->doublePageAtIndex(side, true);
    const VXPagePtr right = m_pagesProvider->doublePageAtIndex(side, false);
    for (bool isLeft : {true, false}) {
        context->saveGState();
        context->clipToRect(QRectF(isLeft ? x : x + w / 2, y, w / 2, h));
        drawPage(isLeft ? left : right, halfOfSide(side, rect, isLeft), isLeft);
        context->restoreGState();
    }
    const int pageType = m_pagesProvider->pageTypeForDoublePage(side);
    const quint64 leftNo = indexIn(m_inputPages, left);
    const quint64 rightNo = indexIn(m_inputPages, right);
    for (VXDoublePageFilter *filter : filters()) {
        filter->renderPage(pageType, rect, 1.0);
        filter->renderPageLeftNo(leftNo, rightNo, rect, 1.0);
    }
    context->restoreGState();
    // The workers have nothing more to draw after the last printed page.
    if (quint64(printed) + 1 >= m_printedCount)
        m_bitmaps.clear();
}

QRectF VXBookletPrintView::halfOfSide(quint64 side, const QRectF &rect, bool isLeft) const
{
    // The side's own offsets: every page a filter hands out lies on the side it was asked for,
    // and the blank filler page, which lies on no side, then shifts with its neighbours.
    const QPointF offset = m_pagesProvider->offsetForDoublePage(side, isLeft);
    const double w = rect.width();
    const double h = rect.height();
    return QRectF(isLeft ? rect.x() : rect.x() + w / 2, rect.y(), w / 2, h).translated(offset.x() * w / 2, offset.y() * h);
}

std::optional<VXBookletPrintView::Placement> VXBookletPrintView::placement(const VXPagePtr &page, const QRectF &rect,
                                                                          bool isLeft) const
{
    // A blank page is the paper itself: it adds nothing to the output.
    if (!page || page->isEmpty() || rect.isEmpty())
        return std::nullopt;
    double ratio = page->ratio();
    int orientation = 0;
    if (page->isLandscape()) {
        orientation = m_orientationForLandscape;
        if (orientation % 2 != 0)
            ratio = 1 / ratio;
    }
    const QSizeF size = rect.width() / rect.height() > ratio ? QSizeF(m_zoom * ratio * rect.height(), m_zoom * rect.height())
                                                             : QSizeF(m_zoom * rect.width(), m_zoom * rect.width() / ratio);
    const double cx = isLeft ? m_center.x() : -m_center.x();
    const QRectF placed(QPointF(rect.x() + (0.5 + cx) * rect.width() - size.width() / 2,
                                rect.y() + (0.5 + m_center.y()) * rect.height() - size.height() / 2),
                        size);
    return Placement{placed, orientation};
}

void VXBookletPrintView::drawPage(const VXPagePtr &page, const QRectF &rect, bool isLeft)
{
    const std::optional<Placement> placed = placement(page, rect, isLeft);
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!placed || !context)
        return;
    context->saveGState();
    context->clipToRect(rect);
    if (m_useRasterization)
        rasterize(page, placed->rect, placed->orientation);
    else
        page->renderInRect(placed->rect, placed->orientation);
    context->restoreGState();
}

void VXBookletPrintView::drawBitmapsAhead(quint64 printedPage)
{
    if (m_workersFailed)
        return;
    if (!m_bitmaps.isStarted() && !m_bitmaps.start(largestBitmap())) {
        m_workersFailed = true;
        return;
    }
    const quint64 sides = m_pagesProvider->doubleCount();
    const double dpi = drawnDPI();
    const quint64 last = printedPage + quint64(m_bitmaps.capacity());
    for (quint64 k = printedPage; k < last && k < quint64(std::numeric_limits<int>::max()); ++k) {
        const quint64 side = sideForPrintedPage(k);
        if (side >= sides)
            return;
        const QRectF rect = rectForPage(int(k) + 1);
        for (bool isLeft : {true, false}) {
            const VXPagePtr page = m_pagesProvider->doublePageAtIndex(side, isLeft);
            const std::optional<Placement> placed = placement(page, halfOfSide(side, rect, isLeft), isLeft);
            const QSize pixels = placed ? bitmapSize(placed->rect.size(), dpi, true) : QSize();
            if (!pixels.isEmpty() && !m_bitmaps.prepare(page, pixels, placed->orientation))
                return;
        }
    }
}

double VXBookletPrintView::drawnDPI() const { return m_rasterizeDPI > 0 ? m_rasterizeDPI : 300; }

QSize VXBookletPrintView::largestBitmap() const
{
    // A page is fitted into its half of the side and then zoomed.
    const double zoom = std::max(1.0, m_zoom);
    const QSizeF largest(zoom * m_pageSize.width() / 2, zoom * m_pageSize.height());
    return bitmapSize(largest, drawnDPI(), true);
}

QSize VXBookletPrintView::bitmapSize(const QSizeF &size, double dpi) { return bitmapSize(size, dpi, false); }

QSize VXBookletPrintView::bitmapSize(const QSizeF &size, double dpi, bool quiet)
{
    if (!(size.width() > 0 && size.height() > 0 && dpi > 0))
        return QSize();
    const double limit = 72 * std::sqrt(MaximumBitmapPixels / size.width() / size.height());
    const double width = size.width() / 72 * std::min(dpi, limit);
    const double height = size.height() / 72 * std::min(dpi, limit);
    if (!(width < std::numeric_limits<int>::max() && height < std::numeric_limits<int>::max())) {
        if (quiet)
            return QSize();
        platform::logError(QStringLiteral("A page of %1 x %2 points cannot be drawn through a bitmap: it is too narrow for its length")
                               .arg(size.width())
                               .arg(size.height()));
        return QSize();
    }
    if (dpi > limit) {
        if (!quiet)
            platform::logWarning(QStringLiteral("A page of %1 x %2 points at %3 dpi would need more than %4 million "
                                            "pixels; it is drawn at %5 dpi instead")
                                 .arg(size.width(), 0, 'f', 1)
                                 .arg(size.height(), 0, 'f', 1)
                                 .arg(dpi)
                                 .arg(MaximumBitmapPixels / 1e6)
                                 .arg(limit, 0, 'f', 1));
        return QSize(std::max(1, int(std::floor(width))), std::max(1, int(std::floor(height))));
    }
    return QSize(std::max(1, int(std::round(width))), std::max(1, int(std::round(height))));
}

void VXBookletPrintView::rasterize(const VXPagePtr &page, const QRectF &rect, int orientation)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!page || !context)
        return;
    m_rasterizeDPI = drawnDPI();
    const QSize pixels = bitmapSize(rect.size(), m_rasterizeDPI);
    if (pixels.isEmpty()) {
        pageFailed(page);
        return;
    }
    // Without the workers that were asked for, the run draws nothing more.
    if (m_workersFailed) {
        pageFailed(page);
        return;
    }
    VXPageBitmaps::Bitmap bitmap;
    try {
        bitmap = m_bitmaps.take(page, pixels, orientation);
    } catch (const std::bad_alloc &) {
        platform::logError(QStringLiteral("Could not draw a page through a bitmap of %1 x %2 pixels: not enough memory")
                               .arg(pixels.width())
                               .arg(pixels.height()));
        m_bitmaps.clear();
        throw;
    }
    // A page that could not be drawn leaves its bitmap blank: no picture to keep.
    if (!bitmap.drawn) {
        pageFailed(page, bitmap.failure);
        return;
    }
    context->drawJpegImage(bitmap.image, rect);
}
