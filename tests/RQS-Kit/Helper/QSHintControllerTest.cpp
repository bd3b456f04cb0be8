#include "RQS-Kit/Helper/QSHintController.h"

#include "platform/foundation/Log.h"
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

// A window with a hint label, registered for as long as it lives.
struct HintWindow
{
    HintWindow() : field(new QLabel("before", &window))
        , controller(QSHintController::addHintConrollerForWindow(&window, field))
    {
    }
    ~HintWindow() { controller->removeHintController(); }
    QString shown() const { return field->text(); }

    QWidget window;
    QLabel *field;
    std::shared_ptr<QSHintController> controller;
};

} // namespace

TEST(QSHintController, TheLatestHintIsShownAndRemovingItBringsBackTheOneBefore)
{
    HintWindow window;
    QSHintController::sendHint("first", k1, &window.window);
    QSHintController::sendHint("second", k2, &window.window);
    window.controller->sendHint("third", k3);
    EXPECT_EQ(window.shown(), "third");

    window.controller->removeHintForKey(k2);
    window.controller->removeHintForKey("absent");
    EXPECT_EQ(window.shown(), "third") << "removed below the top";
    EXPECT_EQ(window.controller->keys(), (QVariantList{k1, k3}));
    window.controller->sendHint("first again", k1);
    EXPECT_EQ(window.shown(), "first again");
    EXPECT_EQ(window.controller->hints(), (QStringList{"third", "first again"}));

    QSHintController::removeHintForKey(k1, &window.window);
    EXPECT_EQ(window.shown(), "third");
    QSHintController::removeHintForKey(k3, &window.window);
    EXPECT_EQ(window.shown(), "");
    EXPECT_TRUE(window.controller->hints().isEmpty());
}

TEST(QSHintController, HintsAreShownLocalisedInTheFieldOfTheTopWindow)
{
    QTemporaryDir resources;
    ASSERT_TRUE(writeStringsTable(resources.path(), "de", "Localizable", {{"Drag to move", "Zum Verschieben ziehen"}}));
    MainBundleScope bundle(resources.path());
    LanguageScope german("de_DE");
    HintWindow window;
    QWidget child(&window.window, Qt::Tool);
    QWidget grandchild(&child, Qt::Tool);
    auto *view = new QWidget(&grandchild);

    EXPECT_EQ(QSHintController::indexOfWindow(&grandchild), QSHintController::indexOfController(window.controller.get()));
    QSHintController::sendHint("Drag to move", k1, &grandchild);
    EXPECT_EQ(window.shown(), "Zum Verschieben ziehen");
    QSHintController::sendHint("from a view", k2, view);
    EXPECT_EQ(window.shown(), "from a view");

    // Removing the controller of a child window removes the parent's registration.
    QSHintController::removeControllerForWindow(&child);
    EXPECT_EQ(QSHintController::indexOfController(window.controller.get()), -1);
    EXPECT_EQ(QSHintController::indexOfWindow(&window.window), -1);
}

TEST(QSHintController, RegistrationsAreReplacedEndWithTheirWindowAndNeedOne)
{
    HintWindow window;
    auto *second = new QLineEdit(&window.window);
    auto replacement = QSHintController::addHintConrollerForWindow(&window.window, second);
    QSHintController::sendHint("to the new field", k1, &window.window);
    EXPECT_EQ(second->text(), "to the new field");
    EXPECT_EQ(window.shown(), "before");
    EXPECT_EQ(QSHintController::indexOfController(window.controller.get()), -1);
    replacement->removeHintController();

    // Hints for a window without a controller are dropped without a word.
    platform::LogCapture log;
    QSHintController::sendHint("lost", k1, &window.window);
    QSHintController::removeHintForKey(k1, &window.window);
    QSHintController::sendHint("lost", k1, nullptr);
    EXPECT_EQ(window.shown(), "before");
    EXPECT_TRUE(log.lines().isEmpty());

    auto *gone = new QWidget;
    auto controller = QSHintController::addHintConrollerForWindow(gone, new QLabel(gone));
    ASSERT_GE(QSHintController::indexOfController(controller.get()), 0);
    delete gone;
    EXPECT_EQ(QSHintController::indexOfController(controller.get()), -1);
    controller->sendHint("to a field that is gone", k1);
    EXPECT_EQ(controller->hints(), QStringList{"to a field that is gone"});

    QLabel field;
    auto unregistered = QSHintController::addHintConrollerForWindow(nullptr, &field);
    unregistered->sendHint("direct", k1);
    EXPECT_EQ(QSHintController::indexOfController(unregistered.get()), -1);
    EXPECT_EQ(field.text(), "direct");
}
