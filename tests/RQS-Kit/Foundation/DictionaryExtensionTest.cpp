#include "RQS-Kit/Foundation/DictionaryExtension.h"

#include <gtest/gtest.h>

TEST(DictionaryExtension, SubsetHoldsOnlyKeysWithValues)
{
    const QVariantMap settings{{"zoom", 1.5}, {"reverseOrder", true}};
    EXPECT_EQ(rqs::dictionaryWidthKeys(settings, {"zoom", "centerX"}), QVariantMap({{"zoom", 1.5}}));
    EXPECT_TRUE(rqs::dictionaryWidthKeys(settings, {"centerX"}).isEmpty());
    EXPECT_TRUE(rqs::dictionaryWidthKeys(settings, {}).isEmpty());
}
