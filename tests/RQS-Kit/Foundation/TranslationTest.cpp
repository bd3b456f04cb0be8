#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"
#include "RQS-Kit/Foundation/QSLocalizeHelper.h"
#include "RQS-Kit/Foundation/QSMenuTranslationController.h"
#include "RQS-Kit/Foundation/QSTranslatingButton.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "platform/foundation/Log.h"

#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>

namespace {

bool writeTables(const QString &root)
{
    return writeStringsTable(root, "de", "Localizable", {{"Greeting", "Hallo"}, {"Cancel", "Abbrechen"}})
        && writeStringsTable(root, "de", "Controls",
                             {{"Print", "Drucken"}, {"Drucken", "twice translated"}, {"Print the booklet", "Das Heft drucken"},
                              {"Pages", "Seiten"}, {"Sheets", "Bögen"}, {"Booklet", "Heft"}, {"Your name", "Ihr Name"}})
        && writeStringsTable(root, "de", "Menu", {{"File", "Ablage"}, {"Export", "Exportieren"}, {"As PDF", "Als PDF"}})
        && writeStringsTable(root, "en", "Controls", {{"Only English", "English only"}})
        && writeStringsTable(root, "en", "Menu", {{"File", "File from the English table"}})
        && writeStringsTable(root, "es", "Controls", {{"Print", "Imprimir"}});
}

// A German user's main bundle with German and English tables. "Drucken" has an entry of its own so
// that a text translated twice would show.
class Translation : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(written); }

    QTemporaryDir folder;
    const bool written = writeTables(folder.path());
    MainBundleScope bundle{folder.path()};
    LanguageScope german{"de_DE"};
};

// A menu bar with File (a separator, Export with As PDF, Cancel).
struct MainMenu
{
    MainMenu()
    {
        file = bar.addMenu("File");
        file->addSeparator();
        exportMenu = file->addMenu("Export");
        asPdf = exportMenu->addAction("As PDF");
        cancel = file->addAction("Cancel");
    }

    QStringList texts() const { return {file->title(), exportMenu->title(), asPdf->text(), cancel->text()}; }

    QMenuBar bar;
    QMenu *file;
    QMenu *exportMenu;
    QAction *asPdf;
    QAction *cancel;
};

} // namespace

TEST_F(Translation, TheInterfaceTranslatorTranslatesALoadedWindowAndTranslatingControlsGoThroughControlsWithEnglishLast)
{
    QMainWindow window;
    window.setWindowTitle("Booklet");
    auto *content = new QWidget;
    window.setCentralWidget(content);
    auto *label = new QLabel("Greeting", content);
    auto *print = new QPushButton("Print", content);
    print->setToolTip("Print the booklet");
    auto *name = new QLineEdit(content);
    name->setPlaceholderText("Your name");
    auto *group = new QGroupBox("Sheets", content);
    auto *segments = new QTabBar(content);
    segments->addTab("Pages");
    auto *translating = new QSTranslatingButton(content);
    translating->setText("Print");
    QMenu *file = window.menuBar()->addMenu("File");

    QSInterfaceTranslator::translate(&window);

    EXPECT_EQ(window.windowTitle(), "Heft");
    EXPECT_EQ(label->text(), "Hallo") << "labels fall back to the default table";
    EXPECT_EQ(print->text(), "Drucken");
    EXPECT_EQ(print->toolTip(), "Das Heft drucken");
    EXPECT_EQ(name->placeholderText(), "Ihr Name");
    EXPECT_EQ(group->title(), "Bögen");
    EXPECT_EQ(segments->tabText(0), "Seiten");
    EXPECT_EQ(file->title(), "Ablage");
    translating->awakeFromNib();
    EXPECT_EQ(translating->text(), "Drucken") << "left to its own translation, so translated once";

    QSTranslatingButton button;
    button.setText("Only English");
    button.awakeFromNib();
    EXPECT_EQ(button.text(), "English only") << "the English table is the last fallback";
    QSTranslatingSegmentedControl translatingSegments;
    translatingSegments.addTab("Pages");
    translatingSegments.awakeFromNib();
    EXPECT_EQ(translatingSegments.tabText(0), "Seiten");
}

TEST_F(Translation, OverridesAreLookedUpAsKeysOfTheMainTable)
{
    QSLocalizeHelper::setLocalizedString("Greeting", "Welcome");
    EXPECT_EQ(QSLocalizeHelper::localizedString("Welcome"), "Hallo") << "the override is itself a key of the table";
    EXPECT_EQ(QSLocalizeHelper::localizedString("Cancel"), "Abbrechen") << "no override: the key's own translation";
    QSLocalizeHelper::setLocalizedString(QString(), "Welcome");
    EXPECT_EQ(QSLocalizeHelper::localizedString("Welcome"), "Welcome") << "a null override removes it";
}

TEST_F(Translation, MenuTreesAndPopUpListsTranslateOnceButNotInEnglishOrWithoutATable)
{
    MainMenu menu;
    QSMenuTranslationController::translateMenu(&menu.bar, "Menu");
    // Items fall back to the default table ("Cancel"); submenu titles are items and translate once.
    EXPECT_EQ(menu.texts(), (QStringList{"Ablage", "Exportieren", "Als PDF", "Abbrechen"}));

    QMenu cancel("Cancel");
    QSMenuTranslationController controller;
    controller.translateMenu(&cancel);
    EXPECT_EQ(cancel.title(), "Cancel") << "no fallback to the default table for a menu's own title";

    QComboBox popUp;
    popUp.addItem("Sheets");
    QSMenuTranslationController::translateMenu(&popUp, "Controls");
    EXPECT_EQ(popUp.itemText(0), "Bögen");

    QWidget notAMenu;
    platform::LogCapture log;
    QSMenuTranslationController::translateMenu(&notAMenu, "Menu");
    EXPECT_TRUE(log.contains("Warning: QWidget is no menu to translate"));

    // English needs no translation, and Spanish has no Menu table.
    for (const char *locale : {"en_US", "es_ES"}) {
        LanguageScope language(locale);
        MainMenu untouched;
        QSMenuTranslationController english;
        english.translateMenu(&untouched.bar);
        EXPECT_EQ(untouched.texts(), (QStringList{"File", "Export", "As PDF", "Cancel"})) << locale;
    }

    // One shared controller per table; controllers from interface files translate and go.
    QSMenuTranslationController *shared = QSMenuTranslationController::sharedControllerForTable("Menu");
    EXPECT_EQ(QSMenuTranslationController::sharedControllerForTable("Menu"), shared);
    EXPECT_EQ(QSMenuTranslationController::sharedControllerForTable(QString()), nullptr);
    EXPECT_TRUE(log.contains("Warning: A menu translator needs a table name"));

    MainMenu fromFile;
    QPointer<QSMenuTranslationController> released = new QSMenuTranslationController;
    released->setProperty("menu", QVariant::fromValue<QWidget *>(&fromFile.bar));
    released->setProperty("releaseWhenDone", true);
    released->awakeFromNib();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fromFile.file->title(), "Ablage");
    EXPECT_TRUE(released.isNull());
}
