#include "RQS-Kit/Controls/QSLanguageList.h"
#include "RQS-Kit/Controls/QSLanguagePopUpButton.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QMenu>

// Run by their own ctest entry with LANGUAGE=de_DE:en_US:en_GB.
TEST(LanguageListFromEnvironment, GermanThenTwoEnglishesGiveEachLanguageOnceInItsOwnName)
{
    ASSERT_EQ(qEnvironmentVariable("LANGUAGE"), "de_DE:en_US:en_GB");
    const QStringList preferred = QLocale::system().uiLanguages();
    const QSLanguageList::Entries languages = QSLanguageList::build(preferred, true);
    EXPECT_EQ(languages.identifiers, (QStringList{"", "de", "en"}));
    EXPECT_EQ(languages.names, (QStringList{"Unknown", "Deutsch", "English"}));
    const QSLanguageList::Entries regional = QSLanguageList::build(preferred, false);
    EXPECT_EQ(regional.identifiers, (QStringList{"", "de-DE", "en-US", "en-GB"}));
    EXPECT_EQ(regional.names.value(1), "Deutsch (Deutschland)");
}

TEST(LanguageListFromEnvironment, SwissGermanChoosesGermanAndTheSettingsItemKeepsTheChosenLanguage)
{
    QSLanguagePopUpButton popUp;
    QMenu menu;
    popUp.addMenu(&menu);
    const QString first = "de";
    popUp.setSelectedID("de-CH");
    EXPECT_EQ(popUp.selectedID(), first);
    EXPECT_TRUE(menu.actions().value(1)->isChecked());
    popUp.setSelectedID("xx-YY");
    EXPECT_EQ(popUp.selectedID(), "");
    popUp.setSelectedID(first);
    // No desktop settings are started from a test.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "");
    const platform::LogCapture log;
    popUp.moreLanguages();
    qputenv("PATH", path);
    EXPECT_EQ(popUp.selectedID(), first);
    EXPECT_TRUE(log.lines().value(0).startsWith("Info: "));
}
