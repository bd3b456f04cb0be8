#include "NumberedPages.h"

#include "app/core/VXCreepFilter.h"
#include "platform/Log.h"

#include <QSignalSpy>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

TEST(VXCreepFilter, InnerSheetsMoveTowardsTheFold)
{
    NumberedPages doc(12);
    VXCreepFilter creep;
    creep.setInput(&doc.input);
    creep.setCreep(0.01);
    // Sheet 2 (sides 4 and 5) moves two steps; the outermost sheet stays.
    const double steps[] = {0, 0, 1, 1, 2, 2};
    for (quint64 i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(creep.offsetForDoublePage(i, true).x(), steps[i] * 0.01) << i;
        EXPECT_DOUBLE_EQ(creep.offsetForDoublePage(i, false).x(), -steps[i] * 0.01) << i;
        EXPECT_EQ(creep.offsetForDoublePage(i, true).y(), 0.0);
    }
    EXPECT_DOUBLE_EQ(creep.offsetForDoublePage(4, true).x(), 0.02);
    EXPECT_DOUBLE_EQ(creep.offsetForDoublePage(4, false).x(), -0.02);
}

// The blank filler lies on no side; its view asks for the offset of side NotFound, which used to
// come out as a shift of about 2^62 steps.
TEST(VXCreepFilter, APageOnNoSideHasNoOffset)
{
    NumberedPages doc(6);
    VXCreepFilter creep;
    creep.setInput(&doc.input);
    creep.setCreep(0.01);
    const quint64 side = creep.doubleIndexForPage(VXPage::emptyPage());
    EXPECT_EQ(side, VXFilter::NotFound);
    EXPECT_EQ(creep.offsetForDoublePage(side, true), QPointF());
    EXPECT_EQ(creep.offsetForDoublePage(side, false), QPointF());
    EXPECT_EQ(creep.offsetForDoublePage(creep.doubleCount(), true), QPointF());
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
    EXPECT_DOUBLE_EQ(outer.offsetForDoublePage(2, true).x(), 0.11);
    EXPECT_DOUBLE_EQ(outer.offsetForDoublePage(2, false).x(), -0.11);
}

TEST(VXCreepFilter, CreepIsAPropertyThatAnnouncesChanges)
{
    VXCreepFilter creep;
    QSignalSpy spy(&creep, &VXCreepFilter::creepChanged);
    EXPECT_TRUE(creep.setProperty("creep", 0.0012));
    EXPECT_DOUBLE_EQ(creep.creep(), 0.0012);
    creep.setCreep(0.0012);
    EXPECT_EQ(spy.count(), 1);
}

TEST(VXCreepFilter, RefusesAShiftThatIsNoNumber)
{
    VXCreepFilter creep;
    creep.setCreep(0.01);
    for (const double bad : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        platform::LogCapture log;
        creep.setCreep(bad);
        EXPECT_DOUBLE_EQ(creep.creep(), 0.01);
        EXPECT_EQ(log.lines().size(), 1);
    }
}
