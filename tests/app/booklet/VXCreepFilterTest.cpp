#include "NumberedPages.h"

#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXSplitFilter.h"
#include "platform/foundation/Log.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

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

TEST(VXCreepFilter, RefusesAShiftThatIsNoNumber)
{
    VXCreepFilter creep;
    VXSplitFilter split;
    for (QObject *filter : std::initializer_list<QObject *>{&creep, &split}) {
        filter->setProperty("creep", 0.01);
        for (const double bad : {std::numeric_limits<double>::infinity(), std::nan("")}) {
            platform::LogCapture log;
            filter->setProperty("creep", bad);
            EXPECT_DOUBLE_EQ(filter->property("creep").toDouble(), 0.01) << filter->metaObject()->className();
            EXPECT_EQ(log.lines().size(), 1);
        }
    }
}
