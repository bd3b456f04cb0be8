#include "NumberedPages.h"

#include "app/booklet/VXSplitFilter.h"

#include <QSignalSpy>

#include <iterator>
#include <set>

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
    EXPECT_EQ(split.doc.sides(split.filter), "(12|1) (2|11) (10|3) (4|9) (8|5) (6|7)");
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

// A booklet count that no number of pages per booklet gives is skipped in the direction of the
// change; the reachable counts are found by trying every size.
TEST(VXSplitFilter, BookletCountThatCannotBeHadIsSkippedInTheDirectionOfTheChange)
{
    for (int pages = 4; pages <= 200; pages += 4) {
        std::set<quint64> reachable;
        for (quint64 perBooklet = 4; perBooklet <= quint64(pages); perBooklet += 4)
            reachable.insert((quint64(pages) + perBooklet - 1) / perBooklet);
        const quint64 sheets = quint64(pages) / 4;
        for (const quint64 start : {quint64(4), quint64(8), quint64(12), quint64(40), quint64(pages)}) {
            for (quint64 target = 0; target <= sheets + 2; ++target) {
                Split split(pages, start, false);
                const quint64 before = split.filter.splitBooklets();
                split.filter.setSplitBooklets(target);
                quint64 expected = 0;
                if (target == 0)
                    expected = 1;
                else if (target >= sheets)
                    expected = sheets;
                else if (reachable.count(target))
                    expected = target;
                else if (before < target)
                    expected = *reachable.upper_bound(target);
                else
                    expected = *std::prev(reachable.lower_bound(target));
                ASSERT_EQ(split.filter.splitBooklets(), expected) << pages << " pages from " << before << " asking " << target;
                ASSERT_EQ(split.filter.splitPages() % 4, 0u);
            }
        }
    }
}
