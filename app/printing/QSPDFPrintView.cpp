#include "app/printing/QSPDFPrintView.h"

#include "platform/pdf/PdfDocument.h"

#include <cmath>

QSPDFPrintView::QSPDFPrintView(const QUrl &url)
{
    const std::optional<platform::PdfDocument> document = platform::PdfDocument::open(url.toLocalFile());
    if (!document)
        return;
    for (int index = 0; index < document->pageCount(); ++index)
        m_pages.append(VXPage::pageForPDFPage(*document->page(index)));
    if (!m_pages.isEmpty())
        m_pageSize = m_pages.first()->size();
}

quint64 QSPDFPrintView::pageCount() const { return quint64(m_pages.size()); }

QSizeF QSPDFPrintView::pageSize() const { return m_pageSize; }

int QSPDFPrintView::printPages() const { return m_printPages; }

void QSPDFPrintView::setPrintPages(int printPages) { m_printPages = printPages; }

int QSPDFPrintView::step() const { return m_printPages == AllPages ? 1 : 2; }

int QSPDFPrintView::offset() const { return m_printPages == EvenPages ? 1 : 0; }

bool QSPDFPrintView::knowsPageRange(int &first, int &count)
{
    first = 1;
    // Both runs of a test print are as long: an odd page count leaves its last page out of both.
    count = int(m_pages.size() / step());
    return true;
}

QRectF QSPDFPrintView::rectForPage(int page)
{
    return QRectF(0, (page - 1) * m_pageSize.height(), m_pageSize.width(), m_pageSize.height());
}

void QSPDFPrintView::drawRect(const QRectF &rect)
{
    if (!(rect.height() > 0))
        return;
    const qint64 index = qint64(std::round(rect.y() / rect.height())) * step() + offset();
    if (index >= 0 && index < m_pages.size())
        m_pages.at(index)->renderInRect(rect, 0);
}
