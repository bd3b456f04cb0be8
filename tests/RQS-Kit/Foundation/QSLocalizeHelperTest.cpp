#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include "TranslationResources.h"

#include <gtest/gtest.h>

TEST(QSLocalizeHelper, OverridesAreLookedUpAsKeysOfTheMainTable)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    QSLocalizeHelper::setLocalizedString("Greeting", "Welcome");
    EXPECT_EQ(QSLocalizeHelper::localizedString("Welcome"), "Hallo") << "the override is itself a key of the table";
    EXPECT_EQ(QSLocalizeHelper::localizedString("Cancel"), "Abbrechen") << "no override: the key's own translation";
    QSLocalizeHelper::setLocalizedString(QString(), "Welcome");
    EXPECT_EQ(QSLocalizeHelper::localizedString("Welcome"), "Welcome") << "a null override removes it";
}
