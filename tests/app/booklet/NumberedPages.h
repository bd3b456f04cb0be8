#pragma once

#include "app/booklet/VXOutputFilter.h"
#include "app/booklet/VXPDFInputFilter.h"

#include <QList>

#include <memory>

// An input filter over n distinct pages, so that every page a filter shows can be told apart.
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

    VXPDFInputFilter input;
    QList<VXPagePtr> pages;
};
