#pragma once

#include "app/booklet/VXOutputFilter.h"
#include "app/booklet/VXPDFInputFilter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// An input filter over n distinct pages that the tests name by number (1 to n), so that layouts
// can be written as "(8|1) (2|7)": X is the blank filler page, - no page at all.
class NumberedPages
{
public:
    explicit NumberedPages(int count)
    {
        for (int i = 0; i < count; ++i) {
            pages.append(std::make_shared<VXPage>());
            input.addPage(pages.last());
        }
    }

    QString name(const VXPagePtr &page) const
    {
        if (!page)
            return QStringLiteral("-");
        if (page == VXPage::emptyPage())
            return QStringLiteral("X");
        const qsizetype index = pages.indexOf(page);
        return index < 0 ? QStringLiteral("?") : QString::number(index + 1);
    }

    QString sides(const VXOutputFilter &filter) const
    {
        QStringList names;
        for (quint64 i = 0; i < filter.doubleCount(); ++i)
            names << QStringLiteral("(%1|%2)").arg(name(filter.doublePageAtIndex(i, true)),
                                                   name(filter.doublePageAtIndex(i, false)));
        return names.join(u' ');
    }

    VXPDFInputFilter input;
    QList<VXPagePtr> pages;
};
