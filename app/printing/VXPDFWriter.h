#pragma once

#include "app/booklet/VXPage.h"
#include "platform/printing/Printable.h"

#include <QList>
#include <QSizeF>

// Prints a list of booklet pages, one printed page each at the page's own size, in a column as
// wide as the widest page.
class VXPDFWriter : public platform::Printable
{
public:
    QList<VXPagePtr> pages() const;
    // Recomputes pageSize.
    void setPages(const QList<VXPagePtr> &pages);
    // The largest width and the largest height among the pages.
    QSizeF pageSize() const;
    // The whole column: pageSize wide, one pageSize height per page.
    QRectF allPagesRect() const;

    bool knowsPageRange(int &first, int &count) override;
    // Empty for a number without a page.
    QRectF rectForPage(int page) override;
    void drawRect(const QRectF &rect) override;

private:
    QList<VXPagePtr> m_pages;
    QSizeF m_pageSize{0, 0};
};
