#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include "TranslationResources.h"

#include <gtest/gtest.h>

TEST(QSLocalizeHelper, OverridesAreLookedUpAsKeysOfTheMainTable)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QSLocalizeHelper::setLocalizedString(QStringLiteral("Greeting"), QStringLiteral("Welcome"));
    QSLocalizeHelper::setLocalizedString(QStringLiteral("Plain text"), QStringLiteral("Note"));

    const struct {
        const char *key;
        const char *expected;
    } cases[] = {
        {"Welcome", "Hallo"},       // the override is itself a key of the table
        {"Note", "Plain text"},     // an override the table does not hold
        {"Cancel", "Abbrechen"},    // no override: the key's own translation
        {"Unknown", "Unknown"},     // neither
    };
    for (const auto &c : cases)
        EXPECT_EQ(QSLocalizeHelper::localizedString(QString::fromUtf8(c.key)), QString::fromUtf8(c.expected)) << c.key;

    QSLocalizeHelper::setLocalizedString(QStringLiteral("Cancel"), QStringLiteral("Welcome"));
    EXPECT_EQ(QSLocalizeHelper::localizedString(QStringLiteral("Welcome")), QStringLiteral("Abbrechen")) << "a later override replaces";

    QSLocalizeHelper::setLocalizedString(QString(), QStringLiteral("Welcome"));
    QSLocalizeHelper::setLocalizedString(QString(), QStringLiteral("Note"));
    EXPECT_EQ(QSLocalizeHelper::localizedString(QStringLiteral("Welcome")), QStringLiteral("Welcome"));
    EXPECT_EQ(QSLocalizeHelper::localizedString(QStringLiteral("Note")), QStringLiteral("Note"));
}

TEST(QSLocalizeHelper, AnEmptyKeyIsIgnored)
{
    QSLocalizeHelper::setLocalizedString(QStringLiteral("Something"), QString());
    EXPECT_EQ(QSLocalizeHelper::localizedString(QString()), QString());
}
