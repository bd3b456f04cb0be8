#pragma once

#include "app/booklet/VXPage.h"

#include <QObject>
#include <QPointer>

#include <limits>

// One link of the chain that turns a document's pages into a booklet. A filter reads the filter
// before it (its input) and answers a padded page list: a multiple of 4 pages, at least 4, blank
// filler pages past the real ones and no page (nullptr) at or past its count. Filters keep no
// results, so every answer follows the input's current pages.
class VXFilter : public QObject
{
    Q_OBJECT

public:
    // The index of a page that a filter does not hold.
    static constexpr quint64 NotFound = quint64(std::numeric_limits<qint64>::max());

    explicit VXFilter(QObject *parent = nullptr);

    // The input is not owned: the document owns every filter of its chain. It is held through a
    // QPointer so that a filter whose input went away reads as a filter over no pages instead of
    // touching freed memory.
    VXFilter *input() const;
    void setInput(VXFilter *input);

    virtual quint64 count() const;
    virtual VXPagePtr objectAtIndexedSubscript(quint64 index) const;
    virtual quint64 indexForPage(const VXPagePtr &page) const;

    VXPagePtr operator[](quint64 index) const { return objectAtIndexedSubscript(index); }

protected:
    // Pages padded to a multiple of 4, at least 4: what every filter answers for n real pages.
    static quint64 paddedCount(quint64 pageCount);

private:
    QPointer<VXFilter> m_input;
};
