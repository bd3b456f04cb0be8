#include "NumberedPages.h"

#include "app/booklet/VXReverseFilter.h"

#include <gtest/gtest.h>

TEST(VXReverseFilter, PutsThePaddingFirstAndTheFirstPageLast)
{
    NumberedPages five(5);
    VXReverseFilter reverse;
    reverse.setInput(&five.input);
    EXPECT_EQ(five.list(reverse), "X X X 5 4 3 2 1 -");
    EXPECT_EQ(reverse.indexForPage(five.pages[4]), 3u);
    EXPECT_EQ(reverse.indexForPage(VXPage::emptyPage()), VXFilter::NotFound);

    for (int n = 0; n <= 200; ++n) {
        NumberedPages doc(n);
        reverse.setInput(&doc.input);
        const quint64 c = doc.input.count();
        ASSERT_EQ(reverse.count(), c) << n;
        for (quint64 i = 0; i < c; ++i)
            ASSERT_EQ(reverse[i], doc.input[c - 1 - i]) << n << " " << i;
        EXPECT_EQ(reverse[c], nullptr) << n;
        EXPECT_EQ(reverse[VXFilter::NotFound], nullptr) << n;
        for (const VXPagePtr &page : doc.pages)
            ASSERT_EQ(reverse[reverse.indexForPage(page)], page) << n;
        EXPECT_EQ(reverse.indexForPage(std::make_shared<VXPage>()), VXFilter::NotFound) << n;
    }
}
