#include "platform/foundation/Log.h"
#include "platform/ui/AspectRatioLayout.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <limits>

using platform::AspectRatioLayout;

TEST(AspectRatioLayout, KeepsItsOneItemInProportionCentredInItsSpaceAndRefusesRatiosThatAreNoProportion)
{
    QWidget container;
    auto *layout = new AspectRatioLayout(&container);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *first = new QWidget;
    auto *preview = new QWidget;
    layout->addWidget(first);
    platform::LogCapture log;
    layout->addWidget(preview);
    EXPECT_EQ(layout->count(), 1);
    EXPECT_EQ(layout->itemAt(0)->widget(), preview);
    EXPECT_TRUE(log.contains("Warning: An aspect-ratio layout holds one item"));

    const struct { QSize space; double ratio; QRect expected; } cases[] = {
        {{200, 100}, 1.0, {50, 0, 100, 100}},  // wider space: full height
        {{200, 100}, 4.0, {0, 25, 200, 50}},   // taller space: full width
    };
    for (const auto &fit : cases) {
        layout->setRatio(fit.ratio);
        layout->setGeometry(QRect(QPoint(), fit.space));
        EXPECT_EQ(preview->geometry(), fit.expected) << fit.space.width() << "x" << fit.space.height() << " at " << fit.ratio;
    }

    layout->setRatio(0.5);
    layout->setRatio(std::numeric_limits<double>::infinity());
    EXPECT_EQ(layout->ratio(), 0.5);
    EXPECT_TRUE(log.contains("Warning: Aspect ratio inf ignored"));
}
