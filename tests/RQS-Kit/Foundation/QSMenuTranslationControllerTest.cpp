#include "RQS-Kit/Foundation/QSMenuTranslationController.h"

#include "platform/foundation/Log.h"
#include "TranslationResources.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

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

TEST(QSMenuTranslationController, TranslatesMenuTreesAndPopUpListsOnceButNotInEnglishOrWithoutATable)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
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
