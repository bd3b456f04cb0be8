#include "app/printing/VXPDFWriter.h"

#include <algorithm>
#include <cmath>

QList<VXPagePtr> VXPDFWriter::pages() const { return m_pages; }

void VXPDFWriter::setPages(const QList<VXPagePtr> &pages)
{
    m_pages.clear();
    m_pageSize = QSizeF(0, 0);
    for (const VXPagePtr &page : pages) {
        if (!page)
            continue;
        m_pages.append(page);
        m_pageSize = QSizeF(std::max(m_pageSize.width(), page->size().width()),
                            std::max(m_pageSize.height(), page->size().height()));
    }
}

QSizeF VXPDFWriter::pageSize() const { return m_pageSize; }

QRectF VXPDFWriter::allPagesRect() const
{
    return QRectF(0, 0, m_pageSize.width(), m_pages.size() * m_pageSize.height());
}

bool VXPDFWriter::knowsPageRange(int &first, int &count)
{
    first = 1;
    count = int(m_pages.size());
    return true;
}

QRectF VXPDFWriter::rectForPage(int page)
{
    if (page < 1 || page > m_pages.size())
        return {};
    return QRectF(QPointF(0, (page - 1) * m_pageSize.height()), m_pages.at(page - 1)->size());
}

void VXPDFWriter::drawRect(const QRectF &rect)
{
    if (!(m_pageSize.height() > 0) || rect.y() < 0)
        return;
    const qsizetype index = qsizetype(std::floor(rect.y() / m_pageSize.height()));
    if (index < m_pages.size())
        m_pages.at(index)->renderInRect(QRectF(rect.topLeft(), m_pages.at(index)->size()), 0);
}
