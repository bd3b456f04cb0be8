#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include "TranslationResources.h"

#include <gtest/gtest.h>

TEST(QSLocalizeHelper, OverridesAreLookedUpAsKeysOfTheMainTable)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    QSLocalizeHelper::setLocalizedString("Greeting", "Welcome");
    QSLocalizeHelper::setLocalizedString("Plain text", "Note");
    QSLocalizeHelper::setLocalizedString("Something", QString()); // an empty key is ignored

    const struct { const char *key, *expected; } cases[] = {
        {"Welcome", "Hallo"},    // the override is itself a key of the table
        {"Note", "Plain text"},  // an override the table does not hold
        {"Cancel", "Abbrechen"}, // no override: the key's own translation
    };
    for (const auto &c : cases)
        EXPECT_EQ(QSLocalizeHelper::localizedString(c.key), c.expected) << c.key;

    QSLocalizeHelper::setLocalizedString(QString(), "Welcome");
    QSLocalizeHelper::setLocalizedString(QString(), "Note");
    EXPECT_EQ(QSLocalizeHelper::localizedString("Welcome"), "Welcome") << "a null override removes it";
}
