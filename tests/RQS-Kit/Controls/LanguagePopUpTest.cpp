#include "RQS-Kit/Controls/QSLanguageList.h"
#include "RQS-Kit/Controls/QSLanguagePopUpButton.h"
#include "platform/foundation/Log.h"
#include "support/EnvironmentScope.h"
#include "support/OwnProcess.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

// A desktop that prefers German, then English of two regions.
bool inGermanThenEnglish() { return inOwnProcessWith({{"LANGUAGE", "de_DE:en_US:en_GB"}}); }

} // namespace

TEST(LanguageListFromEnvironment, GermanThenTwoEnglishesGiveEachLanguageOnceInItsOwnName)
{
    if (!inGermanThenEnglish())
        return;
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
    if (!inGermanThenEnglish())
        return;
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
    const platform::LogCapture log;
    {
        const EnvironmentScope noPrograms("PATH", QStringLiteral(""));
        popUp.moreLanguages();
    }
    EXPECT_EQ(popUp.selectedID(), first);
    EXPECT_TRUE(log.lines().value(0).startsWith("Info: "));
}

// A language clicked in a further menu (a submenu elsewhere) ticks it there and unticks the one
// before, selects it in the pop-up and sends the pop-up's action; "Add more languages ..." clicked
// there keeps the chosen language and sends nothing.
TEST(LanguageListFromEnvironment, AChoiceInAFurtherMenuSelectsItInThePopUpAndSendsItsAction)
{
    if (!inGermanThenEnglish())
        return;
    QSLanguagePopUpButton popUp;
    QMenu menu;
    popUp.addMenu(&menu);
    popUp.setSelectedID("de");
    const QSignalSpy sent(&popUp, &QComboBox::activated);
    const auto choose = [&menu](const QString &title) {
        menu.popup(QPoint(100, 100));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        const QList<QAction *> items = menu.actions();
        const auto item = std::find_if(items.cbegin(), items.cend(), [&](QAction *a) { return a->text() == title; });
        ASSERT_NE(item, items.cend()) << title.toStdString();
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(*item).center());
        EXPECT_FALSE(menu.isVisible()) << "the menu closes on the choice";
    };

    choose("English");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.at(0).at(0).toInt(), 2) << "the entry's tag";
    EXPECT_EQ(popUp.selectedID(), "en");
    EXPECT_EQ(popUp.currentText(), "English");
    EXPECT_TRUE(menu.actions().at(2)->isChecked());
    EXPECT_FALSE(menu.actions().at(1)->isChecked()) << "German is unticked";

    const platform::LogCapture log;
    {
        const EnvironmentScope noPrograms("PATH", QStringLiteral(""));
        choose("Add more languages ...");
    }
    EXPECT_EQ(sent.size(), 1) << "the settings item is no choice of language";
    EXPECT_EQ(popUp.selectedID(), "en");
    EXPECT_TRUE(menu.actions().at(2)->isChecked());
}

TEST(LanguageListFromEnvironment, TitlesSelectByWholeOrPartAndIndicesOnlyWithinThePopUp)
{
    if (!inGermanThenEnglish())
        return;
    QSLanguagePopUpButton popUp;
    const struct { const char *title; const char *identifier; } cases[] = {
        {"Deutsch", "de"}, {"Engl", "en"}, {"English (United Kingdom)", "en"}, {"Klingon", ""}, {"", ""},
    };
    for (const auto &c : cases) {
        popUp.setSelectedID("de");
        popUp.selectItemWithTitle(c.title);
        EXPECT_EQ(popUp.selectedID(), c.identifier) << "title \"" << c.title << "\"";
    }
    popUp.selectItemAtIndex(1);
    EXPECT_EQ(popUp.selectedID(), "de");
    popUp.selectItemAtIndex(99);
    popUp.selectItemAtIndex(-1);
    EXPECT_EQ(popUp.selectedID(), "de") << "out of range changes nothing";
}

// A desktop in the C locale names no language of its own.
TEST(LanguageListInCLocale, OffersTheLanguagesTheApplicationHasTextsFor)
{
    if (!inOwnProcessWith({{"LANG", "C"}, {"LC_ALL", "C"}, {"LC_MESSAGES", "C"}, {"LANGUAGE", QString()}}))
        return;
    const platform::LogCapture log;
    QSLanguagePopUpButton popUp;
    EXPECT_EQ(QSLanguageList::shared().identifiers, (QStringList{"", "en"}));
    EXPECT_EQ(popUp.itemText(1), "English");
    EXPECT_TRUE(log.lines().filter("Locale Problem").isEmpty());
    popUp.setSelectedID("en");
    EXPECT_EQ(popUp.selectedID(), "en");
}
