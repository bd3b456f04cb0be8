#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSNoteController.h"
#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "RQS-Kit/Helper/QSHintController.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "RQS-Kit/Helper/QSToolTipController.h"
#include "platform/ui/WindowFrame.h"

#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

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

// A shown window at (100, 100), 400 x 300, with a view in it.
struct ShownWindow
{
    ShownWindow() : view(&window)
    {
        window.setGeometry(100, 100, 400, 300);
        view.setGeometry(10, 10, 100, 50);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window)) << "framed once shown";
    }
    QWidget window;
    QWidget view;
};

bool isShown(QSToolTipController &controller) { return controller.window()->isVisible(); }

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

// Kit child windows hang on their window by attachment alone (no Qt parent): a hint sent from a
// view in one reaches the window it hangs on, through a chain of them too.
TEST(QSHintController, ViewsInAttachedChildWindowsUseTheWindowTheyHangOn)
{
    rqs::registerKitClasses();
    platform::Window parent;
    auto *field = new QLabel("before", &parent);
    const auto controller = QSHintController::addHintConrollerForWindow(&parent, field);
    parent.setGeometry(100, 100, 500, 400);
    parent.show();

    QSChildSupportWindow support;
    QSNoteController note;
    QSWindowDrawer drawer;
    auto *drawerArea = new QWidget(&parent);
    drawerArea->setGeometry(200, 50, 250, 300);
    support.setCentralWidget(new QWidget);
    parent.addChildWindow(&support);
    note.attachToWindow(&parent, 0.5);
    drawer.showOverView(drawerArea);
    QSChildSupportWindow grandchild;
    support.addChildWindow(&grandchild);

    const QList<std::pair<const char *, QWidget *>> children{
        {"a child-support window", support.centralWidget()},
        {"a note", note.textView()},
        {"a drawer", drawer.window()},
        {"a window attached to an attached window", &grandchild},
    };
    int key = 0;
    for (const auto &[name, view] : children) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(view);
        ASSERT_EQ(view->window()->parentWidget(), nullptr) << "attached, not parented";
        const QString hint = QStringLiteral("hint %1").arg(++key);
        QSHintController::sendHint(hint, key, view);
        EXPECT_EQ(field->text().toStdString(), hint.toStdString());
        QSHintController::removeHintForKey(key, view);
        EXPECT_EQ(field->text().toStdString(), "");
    }
    note.close(nullptr);
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

TEST(QSToolTipController, ShowsTheTextWithAMarginBelowThePointInsideTheWindowsFrame)
{
    ShownWindow shown;
    const QRect frame = platform::WindowFrame::geometry(&shown.window);
    ASSERT_GT(frame.width(), shown.window.width()) << "framed";
    const QPoint origin = shown.window.mapToGlobal(QPoint(0, 0));
    const QString tip = "Pages <b>1 & 2</b>";
    const QString wide = QString(200, QLatin1Char('W'));
    QSToolTipController controller;
    controller.showTooltip(tip, QPointF(0, 0), &shown.view);
    EXPECT_EQ(controller.toolTipLabel()->text(), "Pages <b>1 &amp; 2</b>");
    EXPECT_GT(controller.extraSize().width(), 0);
    const QSize size = controller.window()->size();
    EXPECT_EQ(size, controller.toolTipLabel()->sizeHint() + controller.extraSize());
    controller.showTooltip(wide, QPointF(0, 0), &shown.view);
    ASSERT_GT(controller.window()->width(), frame.width());

    const struct { const char *name; QString text; QPointF point /* y-up in the window */; QPoint expected; } cases[] = {
        {"inside", tip, QPointF(20, 250), origin + QPoint(20, 50)},
        {"right edge", tip, QPointF(395, 250), QPoint(frame.x() + frame.width() - size.width(), origin.y() + 50)},
        {"bottom edge", tip, QPointF(20, 2), QPoint(origin.x() + 20, frame.y() + frame.height() - size.height())},
        {"wider than the frame", wide, QPointF(200, 250), QPoint(frame.x(), origin.y() + 50)},
    };
    for (const auto &c : cases) {
        controller.showTooltip(c.text, c.point, &shown.view);
        EXPECT_EQ(controller.window()->pos(), c.expected) << c.name;
    }
}

TEST(QSToolTipController, HiddenByItsOwnViewItsTimeOutANewTipAndTheEndOfTheViewsWindow)
{
    ShownWindow shown, second;
    QWidget other(&shown.window);
    QSToolTipController controller;
    controller.showTooltip("Tip", QPointF(20, 250), &shown.view);
    controller.hideForView(&other);
    EXPECT_TRUE(isShown(controller));
    controller.hideForView(&shown.view);
    EXPECT_FALSE(isShown(controller));

    controller.setTimeOutInterval(0ms);
    controller.showTooltip("Tip", QPointF(20, 250), &shown.view);
    ASSERT_TRUE(isShown(controller));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !isShown(controller); }));
    controller.setTimeOutInterval(30s);

    controller.showTooltip("First", QPointF(20, 250), &shown.view);
    controller.showTooltip("Second", QPointF(20, 250), &second.view);
    shown.window.close();
    EXPECT_TRUE(isShown(controller)) << "the first window no longer concerns the tip";
    controller.showTooltip(QString(), QPointF(20, 250), &second.view);
    EXPECT_FALSE(isShown(controller)) << "an empty text only hides";
    controller.showTooltip("Tip", QPointF(20, 250), &second.view);
    second.window.close();
    EXPECT_FALSE(isShown(controller));
    controller.showTooltip("Tip", QPointF(20, 250), &shown.view);
    EXPECT_FALSE(isShown(controller)) << "the view's window is not visible";
}
