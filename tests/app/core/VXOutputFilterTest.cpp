#include "NumberedPages.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

struct LayoutCase
{
    int pages;
    bool straightOrder;
    const char *sides;
    const char *spreads;
};

void PrintTo(const LayoutCase &c, std::ostream *os)
{
    *os << c.pages << " pages" << (c.straightOrder ? " straight" : " saddle");
}

class VXOutputFilterLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(VXOutputFilterLayout, LaysOutSidesAndSpreads)
{
    const LayoutCase c = GetParam();
    NumberedPages doc(c.pages);
    VXOutputFilter output;
    output.setInput(&doc.input);
    output.setStraightOrder(c.straightOrder);
    EXPECT_EQ(doc.sides(output), QString::fromLatin1(c.sides));
    EXPECT_EQ(doc.spreads(output), QString::fromLatin1(c.spreads));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, VXOutputFilterLayout,
    ::testing::Values(LayoutCase{4, false, "(4|1) (2|3)", "(-|1) (2|3) (4|-)"},
                      LayoutCase{4, true, "(1|2) (3|4)", "(-|2) (3|4) (1|-)"},
                      LayoutCase{8, false, "(8|1) (2|7) (6|3) (4|5)", "(-|1) (2|3) (4|5) (6|7) (8|-)"},
                      LayoutCase{8, true, "(1|2) (3|4) (5|6) (7|8)", "(-|2) (3|6) (7|8) (5|4) (1|-)"},
                      LayoutCase{12, true, "(1|2) (3|4) (5|6) (7|8) (9|10) (11|12)",
                                 "(-|2) (3|6) (7|10) (11|12) (9|8) (5|4) (1|-)"},
                      LayoutCase{6, false, "(X|1) (2|X) (6|3) (4|5)", "(-|1) (2|3) (4|5) (6|X) (X|-)"}));

TEST(VXOutputFilter, CountsSidesAndSpreads)
{
    NumberedPages doc(7);
    VXOutputFilter output;
    output.setInput(&doc.input);
    EXPECT_EQ(output.doubleCount(), 4u);
    EXPECT_EQ(output.previewCount(), 5u);
}

TEST(VXOutputFilter, PageTypesMarkTheCoversAndTheCentre)
{
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {4, {0, 1}}, {8, {0, 2, 2, 1}}, {12, {0, 2, 2, 2, 2, 1}}};
    for (const auto &[pages, types] : cases) {
        NumberedPages doc(pages);
        VXOutputFilter output;
        output.setInput(&doc.input);
        for (quint64 i = 0; i < types.size(); ++i)
            EXPECT_EQ(output.pageTypeForDoublePage(i), types[i]) << pages << " side " << i;
    }
}

TEST(VXOutputFilter, PercentRunsFromFrontToBackCover)
{
    NumberedPages doc(8);
    VXOutputFilter output;
    output.setInput(&doc.input);
    const double expected[] = {0.0, 0.25, 0.5, 0.75, 1.0};
    for (quint64 j = 0; j < 5; ++j)
        EXPECT_DOUBLE_EQ(output.percentPreviewAtIndex(j), expected[j]);
}

TEST(VXOutputFilter, SaddleSideOfAPageMeetsItsMirror)
{
    NumberedPages doc(8);
    VXOutputFilter output;
    output.setInput(&doc.input);
    const quint64 expected[] = {0, 1, 2, 3, 3, 2, 1, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(output.doubleIndexForPage(doc.pages[i]), expected[i]) << i;
}

// The saddle formulas for a side past the last one point back at real pages.
TEST(VXOutputFilter, SidesAndSpreadsPastTheirCountsHoldNoPages)
{
    for (const bool straight : {false, true}) {
        NumberedPages doc(8);
        VXOutputFilter output;
        output.setInput(&doc.input);
        output.setStraightOrder(straight);
        for (const quint64 past : {quint64(4), quint64(5), quint64(7), VXFilter::NotFound}) {
            EXPECT_EQ(output.doublePageAtIndex(past, true), nullptr) << straight << " " << past;
            EXPECT_EQ(output.doublePageAtIndex(past, false), nullptr) << straight << " " << past;
        }
        for (const quint64 past : {quint64(5), quint64(6), VXFilter::NotFound}) {
            EXPECT_EQ(output.previewPageAtIndex(past, true), nullptr) << straight << " " << past;
            EXPECT_EQ(output.previewPageAtIndex(past, false), nullptr) << straight << " " << past;
        }
    }
}

TEST(VXOutputFilter, APageOutsideTheChainLiesOnNoSideOrSpread)
{
    for (const bool straight : {false, true}) {
        NumberedPages doc(6);
        VXOutputFilter output;
        output.setInput(&doc.input);
        output.setStraightOrder(straight);
        for (const VXPagePtr &page : {VXPage::emptyPage(), std::make_shared<VXPage>(), VXPagePtr()}) {
            EXPECT_EQ(output.doubleIndexForPage(page), VXFilter::NotFound) << straight;
            EXPECT_EQ(output.previewIndexForPage(page), VXFilter::NotFound) << straight;
        }
    }
}

TEST(VXOutputFilter, HasNoOffsetOfItsOwn)
{
    NumberedPages doc(12);
    VXOutputFilter output;
    output.setInput(&doc.input);
    for (quint64 i = 0; i < 6; ++i) {
        EXPECT_EQ(output.offsetForDoublePage(i, true), QPointF());
        EXPECT_EQ(output.offsetForDoublePage(i, false), QPointF());
    }
}

TEST(VXOutputFilter, StraightOrderIsAPropertyThatAnnouncesChanges)
{
    VXOutputFilter output;
    QSignalSpy spy(&output, &VXOutputFilter::straightOrderChanged);
    EXPECT_TRUE(output.setProperty("straightOrder", true));
    EXPECT_TRUE(output.straightOrder());
    output.setStraightOrder(true);
    EXPECT_EQ(spy.count(), 1);
}
