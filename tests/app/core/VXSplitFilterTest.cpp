#include "NumberedPages.h"

#include "app/core/VXSplitFilter.h"
#include "platform/Log.h"

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

    QString types() const
    {
        QStringList names;
        for (quint64 i = 0; i < filter.doubleCount(); ++i)
            names << QString::number(filter.pageTypeForDoublePage(i));
        return names.join(u' ');
    }

    NumberedPages doc;
    VXSplitFilter filter;
};

} // namespace

TEST(VXSplitFilter, StartsAtEightyPages)
{
    VXSplitFilter filter;
    EXPECT_EQ(filter.splitPages(), 80u);
    EXPECT_FALSE(filter.addEmptyPages());
    EXPECT_EQ(filter.creep(), 0.0);
    EXPECT_FALSE(filter.straightOrder());
}

TEST(VXSplitFilter, KeepsPagesPerBookletAMultipleOfFourAndAtLeastFour)
{
    const std::vector<std::pair<quint64, quint64>> cases = {
        {0, 4}, {3, 4}, {5, 4}, {7, 4}, {8, 8}, {81, 80}, {83, 80}, {84, 84}};
    for (const auto &[asked, stored] : cases) {
        VXSplitFilter filter;
        filter.setSplitPages(asked);
        EXPECT_EQ(filter.splitPages(), stored) << asked;
    }
}

// A negative stored setting arrives as a huge unsigned count; with the blank sheet added, a full
// booklet's size wrapped to 0 and the side arithmetic divided by it.
TEST(VXSplitFilter, AHugePageCountStaysUsable)
{
    Split split(12, quint64(-4), true);
    EXPECT_EQ(split.filter.splitPages(), VXSplitFilter::MaximumSplitPages);
    EXPECT_EQ(split.filter.splitBooklets(), 1u);
    EXPECT_EQ(split.doc.sides(split.filter), QStringLiteral("(12|1) (2|11) (10|3) (4|9) (8|5) (6|7)"));
    EXPECT_EQ(split.filter.pageTypeForDoublePage(5), 1);
    EXPECT_EQ(split.filter.doubleIndexForPage(split.doc.pages[6]), 5u);
}

struct SplitExample
{
    int pages;
    quint64 splitPages;
    bool addEmptyPages;
    const char *sides;
    const char *types;
    const char *spreads;
};

void PrintTo(const SplitExample &c, std::ostream *os)
{
    *os << c.pages << " pages by " << c.splitPages << (c.addEmptyPages ? " with blank sheets" : "");
}

class VXSplitFilterLayout : public ::testing::TestWithParam<SplitExample>
{
};

TEST_P(VXSplitFilterLayout, ImposesEveryBookletByItself)
{
    const SplitExample c = GetParam();
    Split split(c.pages, c.splitPages, c.addEmptyPages);
    EXPECT_EQ(split.doc.sides(split.filter), QString::fromLatin1(c.sides));
    EXPECT_EQ(split.types(), QString::fromLatin1(c.types));
    EXPECT_EQ(split.doc.spreads(split.filter), QString::fromLatin1(c.spreads));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, VXSplitFilterLayout,
    ::testing::Values(
        SplitExample{12, 8, false, "(8|1) (2|7) (6|3) (4|5) (12|9) (10|11)", "0 2 2 1 0 1",
                     "(-|1) (2|3) (4|5) (6|7) (8|-) (-|9) (10|11) (12|-)"},
        SplitExample{12, 8, true, "(8|1) (2|7) (6|3) (4|5) (X|X) (X|X) (12|9) (10|11)", "0 2 2 1 2 2 0 1",
                     "(-|1) (2|3) (4|5) (6|7) (8|-) (-|9) (10|11) (12|-)"},
        SplitExample{16, 8, true,
                     "(8|1) (2|7) (6|3) (4|5) (X|X) (X|X) (16|9) (10|15) (14|11) (12|13)",
                     "0 2 2 1 2 2 0 2 2 1",
                     "(-|1) (2|3) (4|5) (6|7) (8|-) (-|9) (10|11) (12|13) (14|15) (16|-)"},
        SplitExample{20, 8, true,
                     "(8|1) (2|7) (6|3) (4|5) (X|X) (X|X) (16|9) (10|15) (14|11) (12|13) (X|X) (X|X) "
                     "(20|17) (18|19)",
                     "0 2 2 1 2 2 0 2 2 1 2 2 0 1",
                     "(-|1) (2|3) (4|5) (6|7) (8|-) (-|9) (10|11) (12|13) (14|15) (16|-) (-|17) (18|19) "
                     "(20|-)"},
        SplitExample{10, 8, false, "(8|1) (2|7) (6|3) (4|5) (X|9) (10|X)", "0 2 2 1 0 1",
                     "(-|1) (2|3) (4|5) (6|7) (8|-) (-|9) (10|X) (X|-)"},
        SplitExample{8, 80, true, "(8|1) (2|7) (6|3) (4|5)", "0 2 2 1",
                     "(-|1) (2|3) (4|5) (6|7) (8|-)"}));

TEST(VXSplitFilter, PercentIsThePlaceWithinTheSpreadsOwnBooklet)
{
    Split split(12, 8, true);
    const double expected[] = {0, 0.25, 0.5, 0.75, 1, 0, 0.5, 1};
    ASSERT_EQ(split.filter.previewCount(), 8u);
    for (quint64 j = 0; j < 8; ++j)
        EXPECT_DOUBLE_EQ(split.filter.percentPreviewAtIndex(j), expected[j]) << j;
}

TEST(VXSplitFilter, CreepRestartsInEveryBooklet)
{
    Split split(12, 8, true);
    split.filter.setCreep(0.01);
    const double steps[] = {0, 0, 1, 1, 2, 2, 0, 0};
    for (quint64 i = 0; i < 8; ++i) {
        EXPECT_DOUBLE_EQ(split.filter.offsetForDoublePage(i, true).x(), steps[i] * 0.01) << i;
        EXPECT_DOUBLE_EQ(split.filter.offsetForDoublePage(i, false).x(), -steps[i] * 0.01) << i;
    }
}

TEST(VXSplitFilter, FindsTheSideOfAPageInItsBooklet)
{
    Split split(16, 8, true);
    EXPECT_EQ(split.filter.doubleIndexForPage(split.doc.pages[12]), 9u);
    EXPECT_EQ(split.filter.doubleIndexForPage(split.doc.pages[8]), 6u);
    EXPECT_EQ(split.filter.previewIndexForPage(split.doc.pages[8]), 5u);
}

// Past the last side the per-booklet formulas point back into the last booklet, and past the last
// spread of a full last booklet the percentage divided by zero.
TEST(VXSplitFilter, SidesAndSpreadsPastTheirCountsAreEmpty)
{
    for (const bool addEmptyPages : {false, true}) {
        Split split(16, 8, addEmptyPages);
        split.filter.setCreep(0.01);
        const quint64 sides = split.filter.doubleCount();
        const quint64 spreads = split.filter.previewCount();
        for (const quint64 side : {sides, sides + 1, sides + 5, VXFilter::NotFound}) {
            EXPECT_EQ(split.filter.doublePageAtIndex(side, true), nullptr) << side;
            EXPECT_EQ(split.filter.doublePageAtIndex(side, false), nullptr) << side;
            EXPECT_EQ(split.filter.offsetForDoublePage(side, true), QPointF()) << side;
        }
        for (const quint64 spread : {spreads, spreads + 1, VXFilter::NotFound}) {
            EXPECT_EQ(split.filter.previewPageAtIndex(spread, true), nullptr) << spread;
            EXPECT_EQ(split.filter.previewPageAtIndex(spread, false), nullptr) << spread;
            EXPECT_EQ(split.filter.percentPreviewAtIndex(spread), 0.0) << spread;
        }
    }
}

TEST(VXSplitFilter, APageOutsideTheChainLiesOnNoSideOrSpread)
{
    Split split(10, 4, true);
    split.filter.setCreep(0.01);
    for (const VXPagePtr &page : {VXPage::emptyPage(), std::make_shared<VXPage>(), VXPagePtr()}) {
        const quint64 side = split.filter.doubleIndexForPage(page);
        EXPECT_EQ(side, VXFilter::NotFound);
        EXPECT_EQ(split.filter.previewIndexForPage(page), VXFilter::NotFound);
        EXPECT_EQ(split.filter.offsetForDoublePage(side, true), QPointF());
        EXPECT_EQ(split.filter.offsetForDoublePage(side, false), QPointF());
    }
}

TEST(VXSplitFilter, SettingsArePropertiesThatAnnounceChanges)
{
    Split split(36, 80, false);
    QSignalSpy pages(&split.filter, &VXSplitFilter::splitPagesChanged);
    QSignalSpy booklets(&split.filter, &VXSplitFilter::splitBookletsChanged);
    QSignalSpy empty(&split.filter, &VXSplitFilter::addEmptyPagesChanged);
    QSignalSpy creep(&split.filter, &VXSplitFilter::creepChanged);

    EXPECT_TRUE(split.filter.setProperty("splitPages", 13));
    EXPECT_EQ(split.filter.property("splitPages").toULongLong(), 12u);
    EXPECT_EQ(split.filter.property("splitBooklets").toULongLong(), 3u);
    ASSERT_EQ(pages.count(), 1);
    EXPECT_EQ(pages.at(0).at(0).toULongLong(), 12u);
    ASSERT_EQ(booklets.count(), 1);
    EXPECT_EQ(booklets.at(0).at(0).toULongLong(), 3u);

    split.filter.setSplitPages(15);
    EXPECT_EQ(pages.count(), 1);

    EXPECT_TRUE(split.filter.setProperty("addEmptyPages", true));
    EXPECT_TRUE(split.filter.addEmptyPages());
    EXPECT_EQ(empty.count(), 1);
    EXPECT_TRUE(split.filter.setProperty("creep", 0.002));
    EXPECT_DOUBLE_EQ(split.filter.creep(), 0.002);
    EXPECT_EQ(creep.count(), 1);

    EXPECT_TRUE(split.filter.setProperty("splitBooklets", 5));
    EXPECT_EQ(split.filter.splitPages(), 8u);
    EXPECT_EQ(pages.count(), 2);
}

TEST(VXSplitFilter, ABookletCountThatCannotBeHadIsSkippedInTheDirectionOfTheChange)
{
    struct Case
    {
        quint64 startPages, target, splitPages;
    };
    // 36 pages: 12 per booklet gives 3 booklets, 8 per booklet 5; no count gives 4.
    const Case cases[] = {{12, 4, 8}, {8, 4, 12}, {36, 1, 36}, {36, 9, 4}, {36, 50, 4}, {36, 0, 36}};
    for (const Case &c : cases) {
        Split split(36, c.startPages, false);
        split.filter.setSplitBooklets(c.target);
        EXPECT_EQ(split.filter.splitPages(), c.splitPages) << c.startPages << " -> " << c.target;
    }
}

TEST(VXSplitFilter, AnUnreachableBookletCountTellsBoundControlsTheCountItGot)
{
    Split split(8, 4, false);
    QSignalSpy booklets(&split.filter, &VXSplitFilter::splitBookletsChanged);
    split.filter.setSplitBooklets(3);
    EXPECT_EQ(split.filter.splitPages(), 4u);
    ASSERT_EQ(booklets.count(), 1);
    EXPECT_EQ(booklets.at(0).at(0).toULongLong(), 2u);
}

TEST(VXSplitFilter, RefusesACreepThatIsNoNumber)
{
    VXSplitFilter filter;
    filter.setCreep(0.01);
    platform::LogCapture log;
    filter.setCreep(std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(filter.creep(), 0.01);
    EXPECT_EQ(log.lines().size(), 1);
}

// Booklet counts that some number of pages per booklet gives, found by trying them all.
static std::set<quint64> reachableBooklets(quint64 pages)
{
    std::set<quint64> reachable;
    for (quint64 perBooklet = 4; perBooklet <= pages; perBooklet += 4)
        reachable.insert((pages + perBooklet - 1) / perBooklet);
    return reachable;
}

TEST(VXSplitFilter, BookletCountSearchMatchesEveryReachableCount)
{
    for (int pages = 4; pages <= 200; pages += 4) {
        const std::set<quint64> reachable = reachableBooklets(quint64(pages));
        const quint64 sheets = quint64(pages) / 4;
        for (const quint64 start : {quint64(4), quint64(8), quint64(12), quint64(40), quint64(pages)}) {
            for (quint64 target = 0; target <= sheets + 2; ++target) {
                Split split(pages, start, false);
                const quint64 before = split.filter.splitBooklets();
                split.filter.setSplitBooklets(target);
                const quint64 got = split.filter.splitBooklets();
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
                ASSERT_EQ(got, expected) << pages << " pages from " << before << " booklets asking " << target;
                ASSERT_EQ(split.filter.splitPages() % 4, 0u);
            }
        }
    }
}
