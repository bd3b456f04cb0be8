#include "NumberedPages.h"

#include "app/core/VXReverseFilter.h"

#include <gtest/gtest.h>

struct ReverseCase
{
    int pages;
    const char *list;
};

void PrintTo(const ReverseCase &c, std::ostream *os) { *os << c.pages << " pages"; }

class VXReverseFilterOrder : public ::testing::TestWithParam<ReverseCase>
{
};

TEST_P(VXReverseFilterOrder, PutsThePaddingFirstAndTheFirstPageLast)
{
    NumberedPages doc(GetParam().pages);
    VXReverseFilter reverse;
    reverse.setInput(&doc.input);
    EXPECT_EQ(doc.list(reverse), QString::fromLatin1(GetParam().list));
}

INSTANTIATE_TEST_SUITE_P(Counts, VXReverseFilterOrder,
                         ::testing::Values(ReverseCase{0, "X X X X -"},
                                           ReverseCase{4, "4 3 2 1 -"},
                                           ReverseCase{5, "X X X 5 4 3 2 1 -"},
                                           ReverseCase{6, "X X 6 5 4 3 2 1 -"}));

TEST(VXReverseFilter, IndexesCountFromTheBack)
{
    NumberedPages doc(6);
    VXReverseFilter reverse;
    reverse.setInput(&doc.input);
    EXPECT_EQ(reverse.indexForPage(doc.pages[5]), 2u);
    EXPECT_EQ(reverse.indexForPage(doc.pages[0]), 7u);
    EXPECT_EQ(reverse.indexForPage(VXPage::emptyPage()), VXFilter::NotFound);
    EXPECT_EQ(reverse.indexForPage(std::make_shared<VXPage>()), VXFilter::NotFound);
}

TEST(VXReverseFilter, ReversesEveryCountAndFindsEveryPage)
{
    for (int n = 0; n <= 200; ++n) {
        NumberedPages doc(n);
        VXReverseFilter reverse;
        reverse.setInput(&doc.input);
        const quint64 c = doc.input.count();
        ASSERT_EQ(reverse.count(), c) << n;
        for (quint64 i = 0; i < c; ++i)
            ASSERT_EQ(reverse[i], doc.input[c - 1 - i]) << n << " " << i;
        EXPECT_EQ(reverse[c], nullptr) << n;
        EXPECT_EQ(reverse[VXFilter::NotFound], nullptr) << n;
        for (const VXPagePtr &page : doc.pages)
            ASSERT_EQ(reverse[reverse.indexForPage(page)], page) << n;
    }
}
