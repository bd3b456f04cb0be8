#pragma once

#include "app/booklet/VXFilter.h"
#include "platform/pdf/PdfDocument.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <variant>

// The head of the chain: the document's pages in order. The page list shows the add button as its
// first row, ahead of the pages; the button is kept beside the pages rather than among them, so
// row r of the list is page r - 1 while a button is set, and page operations never see it.
class VXPDFInputFilter : public VXFilter
{
    Q_OBJECT

public:
    // One row of the page list: the add button or a page.
    using PageListEntry = std::variant<QWidget *, VXPagePtr>;

    explicit VXPDFInputFilter(QObject *parent = nullptr);

    // The rows of the page list: the add button first while one is set, then the pages in order.
    QList<PageListEntry> pages() const;

    // The button belongs to the window that shows it; the filter only refers to it.
    QWidget *addButton() const;
    bool setAddButton(QWidget *button);

    bool addPage(const VXPagePtr &page);
    bool insertPage(const VXPagePtr &page, quint64 index);
    void removePage(const VXPagePtr &page);
    // False (logged) for an index past the pages.
    bool removePageAtIndex(quint64 index);
    void removeAllPages();
    QList<VXPagePtr> allPages() const;
    // A new PDF of the real pages in order, without padding: what saving the document writes.
    platform::PdfDocument pdfDocument() const;

    quint64 count() const override;
    VXPagePtr objectAtIndexedSubscript(quint64 index) const override;
    quint64 indexForPage(const VXPagePtr &page) const override;

private:
    QList<VXPagePtr> m_pages;
    // Where each page first stands, made on demand and dropped by every edit: imposing asks for
    // every page's index, which a search of the list would make quadratic in the page count.
    mutable QHash<const VXPage *, qsizetype> m_indexByPage;
    QPointer<QWidget> m_addButton;
};
