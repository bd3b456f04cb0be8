#include "RQS-Kit/Helper/QSHintController.h"

#include "platform/Log.h"
#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

const QVariant k1 = QStringLiteral("k1");
const QVariant k2 = QStringLiteral("k2");
const QVariant k3 = QStringLiteral("k3");

// A window with a hint label, registered for as long as it lives.
struct HintWindow
{
    HintWindow()
        : field(new QLabel(QStringLiteral("before"), &window))
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
    QSHintController::sendHint(QStringLiteral("Drag to move"), k1, &window.window);
    QSHintController::sendHint(QStringLiteral("Click to zoom"), k2, &window.window);
    EXPECT_EQ(window.shown(), QStringLiteral("Click to zoom"));

    QSHintController::removeHintForKey(k2, &window.window);
    EXPECT_EQ(window.shown(), QStringLiteral("Drag to move"));

    QSHintController::removeHintForKey(k1, &window.window);
    EXPECT_EQ(window.shown(), QStringLiteral(""));
    EXPECT_TRUE(window.controller->hints().isEmpty());
}

TEST(QSHintController, RemovingAHintBelowTheTopLeavesTheFieldAlone)
{
    HintWindow window;
    window.controller->sendHint(QStringLiteral("first"), k1);
    window.controller->sendHint(QStringLiteral("second"), k2);
    window.controller->sendHint(QStringLiteral("third"), k3);

    window.controller->removeHintForKey(k2);
    window.controller->removeHintForKey(QStringLiteral("absent"));

    EXPECT_EQ(window.shown(), QStringLiteral("third"));
    EXPECT_EQ(window.controller->hints(), (QStringList{QStringLiteral("first"), QStringLiteral("third")}));
    EXPECT_EQ(window.controller->keys(), (QVariantList{k1, k3}));
}

TEST(QSHintController, AKeySentAgainReplacesItsHintOnTop)
{
    HintWindow window;
    window.controller->sendHint(QStringLiteral("first"), k1);
    window.controller->sendHint(QStringLiteral("second"), k2);

    window.controller->sendHint(QStringLiteral("first again"), k1);

    EXPECT_EQ(window.shown(), QStringLiteral("first again"));
    EXPECT_EQ(window.controller->hints(), (QStringList{QStringLiteral("second"), QStringLiteral("first again")}));
}

TEST(QSHintController, HintsAreShownLocalised)
{
    QTemporaryDir resources;
    ASSERT_TRUE(writeStringsTable(resources.path(), QStringLiteral("de"), QStringLiteral("Localizable"),
                                  {{"Drag to move", "Zum Verschieben ziehen"}}));
    MainBundleScope bundle(resources.path());
    LanguageScope german(QStringLiteral("de_DE"));
    QWidget window;
    auto *field = new QLineEdit(&window);
    auto controller = QSHintController::addHintConrollerForWindow(&window, field);

    QSHintController::sendHint(QStringLiteral("Drag to move"), k1, &window);

    EXPECT_EQ(field->text(), QStringLiteral("Zum Verschieben ziehen"));
    controller->removeHintController();
}

TEST(QSHintController, AChildWindowUsesItsParentWindowsField)
{
    HintWindow window;
    QWidget child(&window.window, Qt::Tool);
    QWidget grandchild(&child, Qt::Tool);
    auto *view = new QWidget(&grandchild);

    EXPECT_EQ(QSHintController::indexOfWindow(&grandchild), QSHintController::indexOfController(window.controller.get()));
    QSHintController::sendHint(QStringLiteral("from below"), k1, &grandchild);
    EXPECT_EQ(window.shown(), QStringLiteral("from below"));
    QSHintController::sendHint(QStringLiteral("from a view"), k2, view);
    EXPECT_EQ(window.shown(), QStringLiteral("from a view"));
}

TEST(QSHintController, HintsForAWindowWithoutControllerAreDropped)
{
    QWidget window;
    auto *field = new QLabel(QStringLiteral("untouched"), &window);
    platform::LogCapture log;

    QSHintController::sendHint(QStringLiteral("lost"), k1, &window);
    QSHintController::removeHintForKey(k1, &window);
    QSHintController::sendHint(QStringLiteral("lost"), k1, nullptr);

    EXPECT_EQ(field->text(), QStringLiteral("untouched"));
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(QSHintController, RegisteringAWindowAgainReplacesItsController)
{
    HintWindow window;
    auto *second = new QLabel(&window.window);
    auto replacement = QSHintController::addHintConrollerForWindow(&window.window, second);

    QSHintController::sendHint(QStringLiteral("to the new field"), k1, &window.window);

    EXPECT_EQ(second->text(), QStringLiteral("to the new field"));
    EXPECT_EQ(window.shown(), QStringLiteral("before"));
    EXPECT_EQ(QSHintController::indexOfController(window.controller.get()), -1);
    replacement->removeHintController();
}

TEST(QSHintController, WithoutAWindowAControllerStaysUnregistered)
{
    QLabel field;

    auto controller = QSHintController::addHintConrollerForWindow(nullptr, &field);
    controller->sendHint(QStringLiteral("direct"), k1);

    EXPECT_EQ(QSHintController::indexOfController(controller.get()), -1);
    EXPECT_EQ(field.text(), QStringLiteral("direct"));
}

TEST(QSHintController, RegistrationsEndWithTheirWindow)
{
    auto *window = new QWidget;
    auto controller = QSHintController::addHintConrollerForWindow(window, new QLabel(window));
    ASSERT_GE(QSHintController::indexOfController(controller.get()), 0);

    delete window;

    EXPECT_EQ(QSHintController::indexOfController(controller.get()), -1);
    controller->sendHint(QStringLiteral("to a field that is gone"), k1);
    EXPECT_EQ(controller->hints(), QStringList{QStringLiteral("to a field that is gone")});
}

TEST(QSHintController, RemovingTheControllerOfAChildWindowRemovesTheParentsRegistration)
{
    HintWindow window;
    QWidget child(&window.window, Qt::Tool);

    QSHintController::removeControllerForWindow(&child);

    EXPECT_EQ(QSHintController::indexOfController(window.controller.get()), -1);
    EXPECT_EQ(QSHintController::indexOfWindow(&window.window), -1);
}
