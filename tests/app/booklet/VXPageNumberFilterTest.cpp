#include "app/booklet/VXPageNumberFilter.h"

#include "app/booklet/VXFilter.h"
#include "platform/foundation/KeyValue.h"

#include <gtest/gtest.h>

TEST(VXPageNumberFilter, NumbersAreSignedAndRunFromFirstPageToLastPage)
{
    struct Case
    {
        qint64 firstPage;
        qint64 firstNo;
        qint64 lastPage;
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
    EXPECT_EQ(filter.font().family(), "DejaVu Sans");
    EXPECT_EQ(filter.font().pointSizeF(), 20);

    EXPECT_TRUE(VXPageNumberFilter::fontNamed("DejaVu Sans", 12).has_value());
    EXPECT_FALSE(VXPageNumberFilter::fontNamed("Lucida Grande", 12).has_value())
        << "a family that is substituted does not exist";
}
