#include "NumberedPages.h"

#include "app/core/VXReverseFilter.h"

#include <gtest/gtest.h>

TEST(VXFilter, PassesItsInputThroughPadded)
{
    NumberedPages doc(6);
    VXFilter filter;
    filter.setInput(&doc.input);
    EXPECT_EQ(filter.input(), &doc.input);
    EXPECT_EQ(filter.count(), 8u);
    EXPECT_EQ(doc.list(filter), QStringLiteral("1 2 3 4 5 6 X X -"));
    EXPECT_EQ(filter.indexForPage(doc.pages[5]), 5u);
    EXPECT_EQ(filter.indexForPage(VXPage::emptyPage()), VXFilter::NotFound);
}

TEST(VXFilter, WithoutInputIsFourBlankPagesHoldingNothing)
{
    NumberedPages doc(0);
    VXFilter filter;
    EXPECT_EQ(filter.count(), 4u);
    EXPECT_EQ(doc.list(filter), QStringLiteral("X X X X -"));
    EXPECT_EQ(filter.indexForPage(std::make_shared<VXPage>()), VXFilter::NotFound);
}

TEST(VXFilter, AnInputThatIsDestroyedReadsAsNoPages)
{
    VXFilter filter;
    {
        NumberedPages doc(9);
        filter.setInput(&doc.input);
        EXPECT_EQ(filter.count(), 12u);
    }
    EXPECT_EQ(filter.input(), nullptr);
    EXPECT_EQ(filter.count(), 4u);
    EXPECT_EQ(filter[0], VXPage::emptyPage());
}

