#include "RQS-Kit/Helper/QSHintController.h"

#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

// A window with a hint label, registered until the window goes.
struct HintWindow
{
    HintWindow() : field(new QLabel("before", &window))
        , controller(QSHintController::addHintConrollerForWindow(&window, field))
    {
    }
    QString shown() const { return field->text(); }

    QWidget window;
    QLabel *field;
    std::shared_ptr<QSHintController> controller;
};

} // namespace

TEST(QSHintController, TheLatestHintIsShownLocalisedAndRemovingItBringsBackTheOneBefore)
{
    QTemporaryDir resources;
    ASSERT_TRUE(writeStringsTable(resources.path(), "de", "Localizable", {{"Drag to move", "Zum Verschieben ziehen"}}));
    MainBundleScope bundle(resources.path());
    LanguageScope german("de_DE");
    HintWindow window;
    QSHintController::sendHint("first", 1, &window.window);
    window.controller->sendHint("second", 2);
    window.controller->sendHint("Drag to move", 3);
    window.controller->removeHintForKey(2);
    window.controller->removeHintForKey(9);
    EXPECT_EQ(window.shown(), "Zum Verschieben ziehen") << "removed below the top";
    window.controller->sendHint("first again", 1);
    EXPECT_EQ(window.controller->hints(), (QStringList{"Zum Verschieben ziehen", "first again"}));

    QSHintController::removeHintForKey(1, &window.window);
    EXPECT_EQ(window.shown(), "Zum Verschieben ziehen");
    QSHintController::removeHintForKey(3, &window.window);
    EXPECT_EQ(window.shown(), "");
}

TEST(QSHintController, ViewsInChildWindowsUseTheTopWindowsController)
{
    HintWindow window;
    QWidget child(&window.window, Qt::Tool);
    QWidget grandchild(&child, Qt::Tool);
    QSHintController::sendHint("from a view", 1, new QWidget(&grandchild));
    EXPECT_EQ(window.shown(), "from a view");

    QSHintController::removeControllerForWindow(&child);
    EXPECT_EQ(QSHintController::indexOfController(window.controller.get()), -1) << "removed through a child window";
}

TEST(QSHintController, RegistrationsAreReplacedEndWithTheirWindowAndNeedOne)
{
    HintWindow window;
    auto *second = new QLineEdit(&window.window);
    auto replacement = QSHintController::addHintConrollerForWindow(&window.window, second);
    QSHintController::sendHint("to the new field", 1, &window.window);
    EXPECT_EQ(second->text(), "to the new field");
    replacement->removeHintController();
    QSHintController::sendHint("lost", 2, &window.window);
    EXPECT_EQ(second->text(), "to the new field") << "a window without a controller drops its hints";

    auto *gone = new QWidget;
    auto controller = QSHintController::addHintConrollerForWindow(gone, new QLabel(gone));
    delete gone;
    EXPECT_EQ(QSHintController::indexOfController(controller.get()), -1);
    controller->sendHint("to a field that went with its window", 1);

    auto unregistered = QSHintController::addHintConrollerForWindow(nullptr, nullptr);
    EXPECT_EQ(QSHintController::indexOfController(unregistered.get()), -1);
}
