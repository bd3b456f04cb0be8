#include "NumberedPages.h"

#include "app/booklet/VXSplitFilter.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

struct Split
{
    Split(int pages, quint64 splitPages, bool addEmptyPages)
        : doc(pages)
    {
        filter.setInput(&doc.input);
        filter.setSplitPages(splitPages);
        filter.setAddEmptyPages(addEmptyPages);
    }

    NumberedPages doc;
    VXSplitFilter filter;
};

} // namespace

// A negative stored setting arrives as a huge unsigned count; with the blank sheet added, a full
// booklet's size wrapped to 0 and the side arithmetic divided by it.
TEST(VXSplitFilter, AHugePageCountStaysUsable)
{
    Split split(12, quint64(-4), true);
    EXPECT_EQ(split.filter.splitPages(), VXSplitFilter::MaximumSplitPages);
    EXPECT_EQ(split.filter.splitBooklets(), 1u);
    EXPECT_EQ(split.filter.doubleCount(), 6u);
    EXPECT_EQ(split.filter.doublePageAtIndex(0, true), split.doc.pages[11]);
    EXPECT_EQ(split.filter.pageTypeForDoublePage(5), 1);
    EXPECT_EQ(split.filter.doubleIndexForPage(split.doc.pages[6]), 5u);
}

TEST(VXSplitFilter, PagesAndBookletsAreBoundSettingsOfEachOther)
{
    Split split(36, 80, false);
    QSignalSpy booklets(&split.filter, &VXSplitFilter::splitBookletsChanged);
    split.filter.setSplitPages(13);
    split.filter.setSplitPages(15); // rounds to 12 again: no change
    EXPECT_EQ(split.filter.splitPages(), 12u);
    ASSERT_EQ(booklets.count(), 1);
    EXPECT_EQ(booklets.at(0).at(0).toULongLong(), 3u);
    split.filter.setSplitPages(3);
    EXPECT_EQ(split.filter.splitPages(), 4u);

    // A count that cannot be had still tells bound controls the count it got.
    Split eight(8, 4, false);
    QSignalSpy got(&eight.filter, &VXSplitFilter::splitBookletsChanged);
    eight.filter.setSplitBooklets(3);
    EXPECT_EQ(eight.filter.splitPages(), 4u);
    ASSERT_EQ(got.count(), 1);
    EXPECT_EQ(got.at(0).at(0).toULongLong(), 2u);
}

// Forty pages fold into 1, 2, 3, 4, 5 or 10 booklets; a count in between is skipped in the direction
// of the change, and a count out of range is brought into it.
TEST(VXSplitFilter, BookletCountThatCannotBeHadIsSkippedInTheDirectionOfTheChange)
{
    const struct { quint64 start, target, booklets, pages; } cases[] = {
        {40, 0, 1, 40}, {40, 12, 10, 4}, {40, 3, 3, 16}, {40, 7, 10, 4}, {4, 7, 5, 8},
    };
    for (const auto &c : cases) {
        Split split(40, c.start, false);
        split.filter.setSplitBooklets(c.target);
        EXPECT_EQ(split.filter.splitBooklets(), c.booklets) << "from " << c.start << " asking " << c.target;
        EXPECT_EQ(split.filter.splitPages(), c.pages) << "from " << c.start << " asking " << c.target;
    }
}
