#include "NumberedPages.h"

#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXPageNumberFilter.h"
#include "app/booklet/VXReverseFilter.h"
#include "app/booklet/VXSplitFilter.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

#include <QMetaProperty>
#include <QPushButton>
#include <QSignalSpy>

#include <limits>

#include <gtest/gtest.h>

// The sides and spreads of the output filters are checked for every page count in
// FilterChainInvariantsTest; these are the filters that feed them: no pages, some padded, none padded.
TEST(VXFilter, InputPassThroughAndReversePadWithTheSharedBlankAndFindTheirPages)
{
    for (const int n : {0, 5, 8}) {
        NumberedPages doc(n);
        VXFilter pass;
        pass.setInput(&doc.input);
        VXReverseFilter reverse;
        reverse.setInput(&doc.input);
        const quint64 c = std::max<quint64>(4, (quint64(n) + 3) / 4 * 4);
        for (quint64 i = 0; i < c; ++i) {
            const VXPagePtr expected = i < quint64(n) ? doc.pages[qsizetype(i)] : VXPage::emptyPage();
            ASSERT_EQ(doc.input[i], expected) << n << " " << i;
            ASSERT_EQ(pass[i], expected) << n << " " << i;
            ASSERT_EQ(reverse[c - 1 - i], expected) << n << " " << i;
        }
        for (const VXFilter *filter : std::initializer_list<const VXFilter *>{&doc.input, &pass, &reverse}) {
            SCOPED_TRACE(testing::Message() << n << " pages, " << filter->metaObject()->className());
            ASSERT_EQ(filter->count(), c);
            ASSERT_EQ((*filter)[c], nullptr);
            ASSERT_EQ((*filter)[VXFilter::NotFound], nullptr);
            for (const VXPagePtr &page : doc.pages)
                ASSERT_EQ((*filter)[filter->indexForPage(page)], page);
            for (const VXPagePtr &stranger : {VXPage::emptyPage(), std::make_shared<VXPage>(), VXPagePtr()})
                ASSERT_EQ(filter->indexForPage(stranger), VXFilter::NotFound);
        }
    }
}

TEST(VXFilter, ReadsAsFourBlanksOnceItsInputIsGone)
{
    VXFilter filter;
    {
        NumberedPages doc(6);
        filter.setInput(&doc.input);
    }
    EXPECT_EQ(filter.input(), nullptr);
    EXPECT_EQ(filter.count(), 4u);
    EXPECT_EQ(filter[3], VXPage::emptyPage());
    EXPECT_EQ(filter.indexForPage(std::make_shared<VXPage>()), VXFilter::NotFound);
}

TEST(VXPDFInputFilter, EditsTheListAndRefusesWhatCannotBeInItOrAMissingAddButton)
{
    NumberedPages doc(2);
    const VXPagePtr middle = std::make_shared<VXPage>();
    const VXPagePtr last = std::make_shared<VXPage>();
    ASSERT_TRUE(doc.input.insertPage(middle, 1));
    ASSERT_TRUE(doc.input.insertPage(last, 3));
    EXPECT_EQ(doc.input.allPages(), (QList<VXPagePtr>{doc.pages[0], middle, doc.pages[1], last}));

    platform::LogCapture log;
    EXPECT_FALSE(doc.input.insertPage(std::make_shared<VXPage>(), 5));
    EXPECT_FALSE(doc.input.addPage(nullptr));
    EXPECT_FALSE(doc.input.insertPage(nullptr, 0));
    EXPECT_EQ(doc.input.allPages().size(), 4);
    // An add button must be given; one that goes is forgotten.
    {
        QPushButton button;
        ASSERT_TRUE(doc.input.setAddButton(&button));
        EXPECT_FALSE(doc.input.setAddButton(nullptr));
        EXPECT_EQ(doc.input.addButton(), &button);
    }
    EXPECT_EQ(doc.input.addButton(), nullptr);
    EXPECT_EQ(log.lines().size(), 4);

    // Every occurrence of a page goes; a page that is not there changes nothing.
    doc.input.addPage(middle);
    doc.input.removePage(middle);
    doc.input.removePage(std::make_shared<VXPage>());
    EXPECT_EQ(doc.input.allPages(), (QList<VXPagePtr>{doc.pages[0], doc.pages[1], last}));
}

TEST(VXCreepFilter, AddsToTheShiftOfAnOutputFilterBeforeIt)
{
    NumberedPages doc(8);
    VXCreepFilter inner;
    inner.setInput(&doc.input);
    inner.setCreep(0.01);
    VXCreepFilter outer;
    outer.setInput(&inner);
    outer.setCreep(0.1);
    // Side 2 lies on the inner sheet: one step of each.
    EXPECT_DOUBLE_EQ(outer.offsetForDoublePage(2, true).x(), 0.11);
    EXPECT_DOUBLE_EQ(outer.offsetForDoublePage(2, false).x(), -0.11);
    EXPECT_EQ(outer.offsetForDoublePage(2, true).y(), 0.0);
}

// Bound controls follow these settings through their change signals; a shift that is no number is refused.
TEST(VXOutputFilter, SettingsAnnounceEachRealChangeOnce)
{
    VXOutputFilter output;
    VXCreepFilter creep;
    VXSplitFilter split;
    const struct {
        QObject *filter;
        const char *key;
        QVariant value;
    } cases[] = {{&output, "straightOrder", true}, {&creep, "creep", 0.0012},
                 {&split, "addEmptyPages", true}, {&split, "creep", 0.002}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        const QMetaObject *meta = c.filter->metaObject();
        QSignalSpy spy(c.filter, meta->property(meta->indexOfProperty(c.key)).notifySignal());
        c.filter->setProperty(c.key, c.value);
        c.filter->setProperty(c.key, c.value);
        platform::LogCapture log;
        if (QByteArray(c.key) == "creep")
            c.filter->setProperty(c.key, std::numeric_limits<double>::infinity());
        EXPECT_EQ(log.lines().size(), QByteArray(c.key) == "creep" ? 1 : 0);
        EXPECT_EQ(c.filter->property(c.key), c.value);
        EXPECT_EQ(spy.count(), 1);
    }
}

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
    split.filter.setSplitBooklets(10);
    ASSERT_EQ(booklets.count(), 3);
    EXPECT_EQ(booklets.at(2).at(0).toULongLong(), 9u);
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

TEST(VXPageNumberFilter, NumbersAreSignedAndRunFromFirstPageToLastPage)
{
    struct Case
    {
        qint64 firstPage, firstNo, lastPage;
        QList<std::optional<qint64>> numbers; // of the pages at indexes 0 to 5
    };
    const QList<Case> cases{
        {1, 5, 0, {5, 6, 7, 8, 9, 10}},
        {1, 1, 5, {1, 2, 3, 4, 5, std::nullopt}},
        {-2, -3, 0, {0, 1, 2, 3, 4, 5}},
    };
    VXPageNumberFilter filter;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.firstNo);
        filter.setFirstPage(c.firstPage);
        filter.setFirstNo(c.firstNo);
        filter.setLastPage(c.lastPage);
        for (quint64 index = 0; index < 6; ++index)
            EXPECT_EQ(filter.numberForPage(index), c.numbers[qsizetype(index)]) << index;
        EXPECT_EQ(filter.numberForPage(VXFilter::NotFound), std::nullopt) << "the blank filler page";
    }
}

TEST(VXPageNumberFilter, FontFollowsItsNameAndSizeAndOnlyInstalledFamiliesAreFound)
{
    VXPageNumberFilter filter;
    int fontChanges = 0;
    const platform::KeyValueObservation observation =
        platform::KeyValue::observe(&filter, "font", [&](const QVariant &) { ++fontChanges; });
    filter.setFontName("DejaVu Sans");
    filter.setFontSize(20);
    EXPECT_EQ(fontChanges, 2);

    EXPECT_TRUE(VXPageNumberFilter::fontNamed("DejaVu Sans", 12).has_value());
    EXPECT_FALSE(VXPageNumberFilter::fontNamed("Lucida Grande", 12).has_value())
        << "a family that is substituted does not exist";
}

// A family that is not installed would be drawn in another: the filter keeps its font and its name.
TEST(VXPageNumberFilter, AFamilyNotInstalledLeavesTheFontAndItsName)
{
    VXPageNumberFilter filter;
    filter.setFontName("DejaVu Serif");
    filter.setFontSize(14);
    int changes = 0;
    const platform::KeyValueObservation observation =
        platform::KeyValue::observe(&filter, "font", [&](const QVariant &) { ++changes; });
    filter.setFontName("Lucida Grande");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(filter.fontName(), "DejaVu Serif");
    EXPECT_EQ(filter.font().family(), "DejaVu Serif");
    EXPECT_EQ(filter.drawnFontName(), "DejaVu Serif");
    filter.setFontSize(20);
    EXPECT_EQ(filter.drawnFontName(), "DejaVu Serif");
    EXPECT_EQ(filter.font().pointSizeF(), 20.0);
}
