#include "app/window/VXDoublePageFilterView.h"

#include "app/booklet/VXOutputFilter.h"
#include "app/booklet/VXStaplesFilter.h"
#include "platform/graphics/BitmapGraphicsContext.h"

#include <gtest/gtest.h>

TEST(VXDoublePageFilterView, StapleMarksShowOnSheetSidesOnlyAndClicksPassThrough)
{
    VXStaplesFilter staples;
    staples.setNumberOfStaples(1);
    VXDoublePageFilterView view;
    view.setFrame({0, 0, 200, 100});
    view.setFilters({&staples});
    view.setPageType(VXOutputFilter::FirstSide);
    // The one mark's horizontal line crosses the fold at half the height.
    auto marked = [&] {
        const QImage image = platform::BitmapGraphicsContext::drawnImage(
            {200, 100}, 1, [&](platform::GraphicsContext &) { view.drawRect(view.bounds()); });
        return qAlpha(image.pixel(95, 49)) > 0 || qAlpha(image.pixel(95, 50)) > 0;
    };
    EXPECT_TRUE(marked());
    view.setOnlyPagesBasedFilters(true);
    EXPECT_FALSE(marked()) << "reading spreads show no staple marks";
    EXPECT_EQ(view.hitTest({100, 50}), nullptr);
}

TEST(VXDoublePageFilterView, FilterForgetsADelegateViewThatWasDestroyed)
{
    VXStaplesFilter staples;
    auto view = std::make_unique<VXDoublePageFilterView>();
    staples.setDelegate(view.get());
    EXPECT_EQ(staples.delegate(), view.get());
    view.reset();
    EXPECT_EQ(staples.delegate(), nullptr);
    staples.setNumberOfStaples(2);
}
