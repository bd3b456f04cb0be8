#include "NumberedPages.h"

#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXSplitFilter.h"

#include <QMetaProperty>
#include <QSignalSpy>

#include <gtest/gtest.h>

// Counts, page types, percentages, sides of pages and what lies past the ends are checked for
// every page count in FilterChainInvariantsTest; these are the hand-worked layouts.
TEST(VXOutputFilter, LaysOutSidesAndSpreads)
{
    const struct { int pages; bool straightOrder; const char *sides; const char *spreads; } cases[] = {
        {4, false, "(4|1) (2|3)", "(-|1) (2|3) (4|-)"},
        {4, true, "(1|2) (3|4)", "(-|2) (3|4) (1|-)"},
        {8, false, "(8|1) (2|7) (6|3) (4|5)", "(-|1) (2|3) (4|5) (6|7) (8|-)"},
        {8, true, "(1|2) (3|4) (5|6) (7|8)", "(-|2) (3|6) (7|8) (5|4) (1|-)"},
        {12, true, "(1|2) (3|4) (5|6) (7|8) (9|10) (11|12)", "(-|2) (3|6) (7|10) (11|12) (9|8) (5|4) (1|-)"},
        {6, false, "(X|1) (2|X) (6|3) (4|5)", "(-|1) (2|3) (4|5) (6|X) (X|-)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.pages << (c.straightOrder ? " straight" : " saddle"));
        NumberedPages doc(c.pages);
        VXOutputFilter output;
        output.setInput(&doc.input);
        output.setStraightOrder(c.straightOrder);
        EXPECT_EQ(doc.sides(output), c.sides);
        EXPECT_EQ(doc.spreads(output), c.spreads);
    }
}

// Bound controls follow these settings through their change signals.
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
        EXPECT_TRUE(c.filter->setProperty(c.key, c.value));
        EXPECT_EQ(c.filter->property(c.key), c.value);
        EXPECT_TRUE(c.filter->setProperty(c.key, c.value));
        EXPECT_EQ(spy.count(), 1);
    }
}
