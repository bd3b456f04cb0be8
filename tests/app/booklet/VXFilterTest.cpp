#include "NumberedPages.h"

#include <gtest/gtest.h>

TEST(VXFilter, PassesItsInputThroughPaddedAndReadsAsFourBlanksWithoutOne)
{
    VXFilter filter;
    {
        NumberedPages doc(6);
        filter.setInput(&doc.input);
        EXPECT_EQ(doc.list(filter), "1 2 3 4 5 6 X X -");
        EXPECT_EQ(filter.indexForPage(doc.pages[5]), 5u);
        EXPECT_EQ(filter.indexForPage(VXPage::emptyPage()), VXFilter::NotFound);
    }
    // The input is gone: the filter holds nothing but the padding.
    EXPECT_EQ(filter.input(), nullptr);
    EXPECT_EQ(NumberedPages(0).list(filter), "X X X X -");
    EXPECT_EQ(filter.indexForPage(std::make_shared<VXPage>()), VXFilter::NotFound);
}
