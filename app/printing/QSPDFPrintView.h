#pragma once

#include "app/booklet/VXPage.h"
#include "platform/printing/Printable.h"

#include <QList>
#include <QSizeF>
#include <QUrl>

// Prints the pages of a PDF file, one printed page each: all of them, or only the odd or the even
// ones for the two runs of a manual duplex test print. Every page is stretched over the size of
// the file's first page.
class QSPDFPrintView : public platform::Printable
{
public:
    // printPages values.
    static constexpr int OddPages = 1;
    static constexpr int EvenPages = 2;
    static constexpr int AllPages = 3;

    // A file that is missing or no PDF gives a view without pages (logged).
    explicit QSPDFPrintView(const QUrl &url);

    quint64 pageCount() const;
    QSizeF pageSize() const;
    int printPages() const;
    void setPrintPages(int printPages);

    // Half the pages, rounded down, for the odd and for the even run: the two runs have the same
    // length, and an odd last page is printed by neither.
    bool knowsPageRange(int &first, int &count) override;
    QRectF rectForPage(int page) override;
    void drawRect(const QRectF &rect) override;

private:
    int step() const;
    int offset() const;

    QList<VXPagePtr> m_pages;
    QSizeF m_pageSize;
    int m_printPages = AllPages;
};
