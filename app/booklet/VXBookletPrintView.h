#pragma once

#include "app/booklet/VXDoublePageFilter.h"
#include "app/booklet/VXOutputFilter.h"
#include "app/booklet/VXPDFInputFilter.h"
#include "app/booklet/VXPageBitmaps.h"
#include "platform/printing/Printable.h"

#include <QList>
#include <QPointer>
#include <QPointF>
#include <QSize>
#include <QSizeF>

#include <optional>

// The booklet as the print system sees it: a column of printed pages, one sheet side each, each
// drawing the side's two pages (fitted into their halves with the document's zoom, centre and
// creep offsets) and then the decorations. A run prints all sides, only the outer sides of the
// sheets (even indexes) or only the inner ones (odd indexes), forward or reversed, and may turn
// the inner sides by a half turn and draw the pages through bitmaps.
//
// It is only ever printed, never shown on screen, so it is a printable rather than a widget; the
// document sets every field before each run. The filters belong to the document; a filter that
// has gone reads as none.
class VXBookletPrintView : public platform::Printable
{
public:
    // Bitmaps of drawn-through pages stay within this many pixels; a larger one is drawn at the
    // highest resolution that fits.
    static constexpr double MaximumBitmapPixels = 200e6;

    // printPages values.
    static constexpr int OuterSides = 1;
    static constexpr int InnerSides = 2;
    static constexpr int AllSides = 3;

    VXOutputFilter *pagesProvider() const;
    void setPagesProvider(VXOutputFilter *pagesProvider);
    VXPDFInputFilter *inputPages() const;
    void setInputPages(VXPDFInputFilter *inputPages);
    // Drawn in this order over every side.
    QList<VXDoublePageFilter *> filters() const;
    void setFilters(const QList<VXDoublePageFilter *> &filters);

    // The pages' centre offset, as fractions of their halves; mirrored for the right page.
    QPointF center() const;
    void setCenter(const QPointF &center);
    // 1.0 fits a page into its half.
    double zoom() const;
    void setZoom(double zoom);
    // The paper in points; one printed page holds one sheet side.
    QSizeF pageSize() const;
    void setPageSize(const QSizeF &pageSize);
    bool reverse() const;
    void setReverse(bool reverse);
    // Turns the inner sides (odd indexes) by a half turn.
    bool rotate() const;
    void setRotate(bool rotate);
    // Quarter turns counter-clockwise for landscape pages (ratio above 1.02): 0, 1 or 3.
    int orientationForLandscape() const;
    void setOrientationForLandscape(int orientationForLandscape);
    int printPages() const;
    void setPrintPages(int printPages);
    bool useRasterization() const;
    void setUseRasterization(bool useRasterization);
    // 0 or less stands for 300, and becomes 300 once a page is drawn through a bitmap.
    double rasterizeDPI() const;
    void setRasterizeDPI(double rasterizeDPI);

    // The document pages (from 1, ascending) that could not be drawn through a bitmap since the
    // run began; knowsPageRange starts every run and clears them.
    QList<quint64> failedPages() const;

    // The sheet side that printed page k (from 0) shows.
    quint64 sideForPrintedPage(quint64 k) const;

    bool knowsPageRange(int &first, int &count) override;
    QRectF rectForPage(int page) override;
    void drawRect(const QRectF &rect) override;
    bool drawingFailed() const override;

    // Fits the page into the rectangle, upright or turned for a landscape page.
    void drawPage(const VXPagePtr &page, const QRectF &rect, bool isLeft);
    // Draws the page, turned by the orientation, through a bitmap at rasterizeDPI.
    void rasterize(const VXPagePtr &page, const QRectF &rect, int orientation);
    // The bitmap for a rectangle in points at a resolution, made smaller (with a warning) when it
    // would exceed MaximumBitmapPixels; empty (logged) when a side would not fit an int.
    static QSize bitmapSize(const QSizeF &size, double dpi);

private:
    // Where a page lands in its half of a side and how it is turned; nothing for a blank page.
    struct Placement
    {
        QRectF rect;
        int orientation = 0;
    };
    std::optional<Placement> placement(const VXPagePtr &page, const QRectF &rect, bool isLeft) const;
    // The half of a side's rectangle that a page fills, moved by the side's own offsets.
    QRectF halfOfSide(quint64 side, const QRectF &rect, bool isLeft) const;
    // Starts drawing through bitmaps the pages of the printed pages from this one on, as many as
    // the workers take, while the print places the earlier ones; starts the workers first. Throws
    // std::bad_alloc when not even one bitmap of the run could be had.
    void drawBitmapsAhead(quint64 printedPage);
    // The resolution pages are drawn at: rasterizeDPI, or 300 where it has none.
    double drawnDPI() const;
    // No page of the run needs a larger bitmap than this.
    QSize largestBitmap() const;
    static QSize bitmapSize(const QSizeF &size, double dpi, bool quiet);
    quint64 step() const;
    // Counts the page as failed; a reason (naming the file and page) is logged as an error.
    void pageFailed(const VXPagePtr &page, const QString &reason = {});

    QPointer<VXOutputFilter> m_pagesProvider;
    QPointer<VXPDFInputFilter> m_inputPages;
    QList<QPointer<VXDoublePageFilter>> m_filters;
    QPointF m_center;
    double m_zoom = 1.0;
    QSizeF m_pageSize;
    bool m_reverse = false;
    bool m_rotate = false;
    int m_orientationForLandscape = 0;
    int m_printPages = AllSides;
    bool m_useRasterization = false;
    double m_rasterizeDPI = 300.0;
    QList<quint64> m_failedPages;
    quint64 m_printedCount = 0;
    bool m_workersFailed = false;
    VXPageBitmaps m_bitmaps;
};
