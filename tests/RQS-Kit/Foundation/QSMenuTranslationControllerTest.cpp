#include "RQS-Kit/Foundation/QSMenuTranslationController.h"

#include "TranslationResources.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

// A menu bar with File (Open…, a separator, Export with As PDF, Cancel).
struct MainMenu
{
    MainMenu()
    {
        file = bar.addMenu(QStringLiteral("File"));
        open = file->addAction(QStringLiteral("Open…"));
        file->addSeparator();
        exportMenu = file->addMenu(QStringLiteral("Export"));
        asPdf = exportMenu->addAction(QStringLiteral("As PDF"));
        cancel = file->addAction(QStringLiteral("Cancel"));
    }

    QStringList texts() const
    {
        return {file->title(), open->text(), exportMenu->title(), asPdf->text(), cancel->text()};
    }

    QMenuBar bar;
    QMenu *file;
    QAction *open;
    QMenu *exportMenu;
    QAction *asPdf;
    QAction *cancel;
};

const QStringList untranslated{QStringLiteral("File"), QStringLiteral("Open…"), QStringLiteral("Export"),
                               QStringLiteral("As PDF"), QStringLiteral("Cancel")};

} // namespace

TEST(QSMenuTranslationController, TranslatesTheWholeTreeOnce)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    MainMenu menu;

    QSMenuTranslationController::translateMenu(&menu.bar, QStringLiteral("Menu"));

    // Items fall back to the default table ("Cancel"); submenu titles are items and translate once.
    EXPECT_EQ(menu.texts(), (QStringList{QStringLiteral("Ablage"), QStringLiteral("Öffnen…"), QStringLiteral("Exportieren"),
                                         QStringLiteral("Als PDF"), QStringLiteral("Abbrechen")}));
}

TEST(QSMenuTranslationController, AMenuTitleIsLookedUpInTheTableAlone)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QMenu file(QStringLiteral("File"));
    QMenu cancel(QStringLiteral("Cancel"));
    QSMenuTranslationController controller;

    controller.translateMenu(&file);
    controller.translateMenu(&cancel);

    EXPECT_EQ(file.title(), QStringLiteral("Ablage"));
    EXPECT_EQ(cancel.title(), QStringLiteral("Cancel")) << "no fallback to the default table for the title";
}

TEST(QSMenuTranslationController, LeavesMenusAloneInEnglishAndWithoutATable)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    for (const char *locale : {"en_US", "es_ES"}) {
        LanguageScope language(QString::fromUtf8(locale));
        MainMenu menu;
        QSMenuTranslationController controller;
        EXPECT_TRUE(controller.tableName().isEmpty()) << locale;

        controller.translateMenu(&menu.bar);

        EXPECT_EQ(menu.texts(), untranslated) << locale;
    }
}

TEST(QSMenuTranslationController, TranslatesAPopUpList)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QComboBox popUp;
    popUp.addItems({QStringLiteral("Pages"), QStringLiteral("Sheets"), QStringLiteral("Unknown")});
    popUp.insertSeparator(2);

    QSMenuTranslationController::translateMenu(&popUp, QStringLiteral("Controls"));

    const QStringList expected{QStringLiteral("Seiten"), QStringLiteral("Bögen"), QString(), QStringLiteral("Unknown")};
    ASSERT_EQ(popUp.count(), expected.size());
    for (int index = 0; index < popUp.count(); ++index)
        EXPECT_EQ(popUp.itemText(index), expected.at(index)) << index;
}

TEST(QSMenuTranslationController, RefusesWidgetsThatAreNoMenus)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QWidget notAMenu;
    notAMenu.addAction(QStringLiteral("File"));
    platform::LogCapture log;

    QSMenuTranslationController::translateMenu(&notAMenu, QStringLiteral("Menu"));

    EXPECT_EQ(notAMenu.actions().first()->text(), QStringLiteral("File"));
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: QWidget is no menu to translate")));
}

TEST(QSMenuTranslationController, SharesOneControllerPerTable)
{
    QSMenuTranslationController *menu = QSMenuTranslationController::sharedControllerForTable(QStringLiteral("Menu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(QSMenuTranslationController::sharedControllerForTable(QStringLiteral("Menu")), menu);
    EXPECT_NE(QSMenuTranslationController::sharedControllerForTable(QStringLiteral("Controls")), menu);

    platform::LogCapture log;
    EXPECT_EQ(QSMenuTranslationController::sharedControllerForTable(QString()), nullptr);
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: A menu translator needs a table name")));
}

TEST(QSMenuTranslationController, AnInterfaceFileControllerTranslatesAndGoes)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    MainMenu menu;
    QPointer<QSMenuTranslationController> controller = new QSMenuTranslationController;
    controller->setProperty("menu", QVariant::fromValue<QWidget *>(&menu.bar));
    controller->setProperty("releaseWhenDone", true);

    controller->awakeFromNib();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(menu.file->title(), QStringLiteral("Ablage"));
    EXPECT_TRUE(controller.isNull());
}
