#include "RQS-Kit/Foundation/DictionaryExtension.h"

#include <gtest/gtest.h>

TEST(DictionaryExtension, SubsetHoldsOnlyKeysWithValues)
{
    const QVariantMap settings{{QStringLiteral("zoom"), 1.5}, {QStringLiteral("reverseOrder"), true}};
    EXPECT_EQ(rqs::dictionaryWidthKeys(settings, {QStringLiteral("zoom"), QStringLiteral("centerX")}),
              QVariantMap({{QStringLiteral("zoom"), 1.5}}));
    EXPECT_TRUE(rqs::dictionaryWidthKeys(settings, {QStringLiteral("centerX")}).isEmpty());
    EXPECT_TRUE(rqs::dictionaryWidthKeys(settings, {}).isEmpty());
}
