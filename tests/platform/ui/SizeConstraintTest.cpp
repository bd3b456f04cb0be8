#include "platform/ui/SizeConstraint.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(SizeConstraint, ACopyKeepsDimensionAndConstantButNotPriorityOrView)
{
    QWidget view;
    platform::SizeConstraint width(platform::SizeConstraint::Dimension::Width, 40);
    width.setPriority(10);
    ASSERT_TRUE(width.install(&view));
    EXPECT_EQ(view.maximumWidth(), QWIDGETSIZE_MAX) << "a yielding constraint leaves the view its own width";
    width.setPriority(600);
    EXPECT_EQ(view.maximumWidth(), 40);
    const platform::SizeConstraint copy = width.copy();
    EXPECT_EQ(copy.dimension(), platform::SizeConstraint::Dimension::Width);
    EXPECT_EQ(copy.constant(), 40);
    EXPECT_EQ(copy.priority(), platform::SizeConstraint::Required);
    EXPECT_EQ(copy.view(), nullptr);
}
