#include "app/booklet/VXPDFInputFilter.h"

#include "platform/foundation/Log.h"

VXPDFInputFilter::VXPDFInputFilter(QObject *parent)
    : VXFilter(parent)
{
}

QList<VXPDFInputFilter::PageListEntry> VXPDFInputFilter::pages() const
{
    QList<PageListEntry> rows;
    rows.reserve(m_pages.size() + 1);
    if (m_addButton)
        rows.append(m_addButton.data());
    for (const VXPagePtr &page : m_pages)
        rows.append(page);
    return rows;
}

QWidget *VXPDFInputFilter::addButton() const { return m_addButton.data(); }

bool VXPDFInputFilter::setAddButton(QWidget *button)
{
    if (!button) {
        platform::logWarning(QStringLiteral("Could not set the add button of the page list, because there is none"));
        return false;
    }
    m_addButton = button;
    return true;
}

bool VXPDFInputFilter::addPage(const VXPagePtr &page)
{
    if (!page) {
        platform::logWarning(QStringLiteral("Could not add a page, because there is none"));
        return false;
    }
    m_pages.append(page);
    if (!m_indexByPage.isEmpty() && !m_indexByPage.contains(page.get()))
        m_indexByPage.insert(page.get(), m_pages.size() - 1);
    return true;
}

bool VXPDFInputFilter::insertPage(const VXPagePtr &page, quint64 index)
{
    if (!page) {
        platform::logWarning(QStringLiteral("Could not insert a page, because there is none"));
        return false;
    }
    if (index > quint64(m_pages.size())) {
        platform::logWarning(QStringLiteral("Could not insert a page at index %1, because the document has %2 pages")
                                 .arg(index)
                                 .arg(m_pages.size()));
        return false;
    }
    m_pages.insert(qsizetype(index), page);
    m_indexByPage.clear();
    return true;
}

void VXPDFInputFilter::removePage(const VXPagePtr &page)
{
    m_pages.removeAll(page);
    m_indexByPage.clear();
}

bool VXPDFInputFilter::removePageAtIndex(quint64 index)
{
    if (index >= quint64(m_pages.size())) {
        platform::logWarning(QStringLiteral("Could not remove page %1, because the document has %2 pages")
                                 .arg(index)
                                 .arg(m_pages.size()));
        return false;
    }
    m_pages.removeAt(qsizetype(index));
    m_indexByPage.clear();
    return true;
}

void VXPDFInputFilter::removeAllPages()
{
    m_pages.clear();
    m_indexByPage.clear();
}

QList<VXPagePtr> VXPDFInputFilter::allPages() const { return m_pages; }

platform::PdfDocument VXPDFInputFilter::pdfDocument() const
{
    platform::PdfDocument document;
    for (const VXPagePtr &page : m_pages) {
        if (const std::optional<platform::PdfPage> pdfPage = page->pdfPage())
            document.insertPage(*pdfPage, document.pageCount());
    }
    return document;
}

quint64 VXPDFInputFilter::count() const
{
    return paddedCount(quint64(m_pages.size()));
}

VXPagePtr VXPDFInputFilter::objectAtIndexedSubscript(quint64 index) const
{
    if (index < quint64(m_pages.size()))
        return m_pages.at(qsizetype(index));
    if (index < count())
        return VXPage::emptyPage();
    return nullptr;
}

quint64 VXPDFInputFilter::indexForPage(const VXPagePtr &page) const
{
    if (!page)
        return NotFound;
    if (m_indexByPage.isEmpty()) {
        for (qsizetype index = m_pages.size() - 1; index >= 0; --index)
            m_indexByPage.insert(m_pages.at(index).get(), index);
    }
    const auto found = m_indexByPage.constFind(page.get());
    return found == m_indexByPage.cend() ? NotFound : quint64(*found);
}
