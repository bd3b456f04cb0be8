#include "RQS-Kit/Helper/QSHintController.h"

#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

const QVariant k1 = "k1";
const QVariant k2 = "k2";
const QVariant k3 = "k3";

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
    QSHintController::sendHint("first", k1, &window.window);
    window.controller->sendHint("second", k2);
    window.controller->sendHint("Drag to move", k3);
    window.controller->removeHintForKey(k2);
    window.controller->removeHintForKey("absent");
    EXPECT_EQ(window.shown(), "Zum Verschieben ziehen") << "removed below the top";
    window.controller->sendHint("first again", k1);
    EXPECT_EQ(window.controller->hints(), (QStringList{"Zum Verschieben ziehen", "first again"}));

    QSHintController::removeHintForKey(k1, &window.window);
    EXPECT_EQ(window.shown(), "Zum Verschieben ziehen");
    QSHintController::removeHintForKey(k3, &window.window);
    EXPECT_EQ(window.shown(), "");
}

TEST(QSHintController, ViewsInChildWindowsUseTheTopWindowsController)
{
    HintWindow window;
    QWidget child(&window.window, Qt::Tool);
    QWidget grandchild(&child, Qt::Tool);
    QSHintController::sendHint("from a view", k1, new QWidget(&grandchild));
    EXPECT_EQ(window.shown(), "from a view");

    // Removing the controller of a child window removes the parent's registration.
    QSHintController::removeControllerForWindow(&child);
    EXPECT_EQ(QSHintController::indexOfController(window.controller.get()), -1);
}

TEST(QSHintController, RegistrationsAreReplacedEndWithTheirWindowAndNeedOne)
{
    HintWindow window;
    auto *second = new QLineEdit(&window.window);
    auto replacement = QSHintController::addHintConrollerForWindow(&window.window, second);
    QSHintController::sendHint("to the new field", k1, &window.window);
    EXPECT_EQ(second->text(), "to the new field");
    replacement->removeHintController();
    QSHintController::sendHint("lost", k2, &window.window);
    EXPECT_EQ(second->text(), "to the new field") << "a window without a controller drops its hints";

    auto *gone = new QWidget;
    auto controller = QSHintController::addHintConrollerForWindow(gone, new QLabel(gone));
    delete gone;
    EXPECT_EQ(QSHintController::indexOfController(controller.get()), -1);
    controller->sendHint("to a field that went with its window", k1);

    auto unregistered = QSHintController::addHintConrollerForWindow(nullptr, nullptr);
    EXPECT_EQ(QSHintController::indexOfController(unregistered.get()), -1);
}
