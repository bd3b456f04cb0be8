#include "RQS-Kit/Foundation/QSViewController.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "platform/foundation/Log.h"
#include "platform/ui/View.h"

#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using platform::Window;

namespace {

constexpr int waitLimitMs = 5000;

// A window file; the close button's action is the controller's close.
QByteArray windowFile(const QString &title)
{
    return QStringLiteral(R"(<ui version="4.0"><widget class="platform::Window" name="window">
  <property name="windowTitle"><string>%1</string></property>
  <widget class="QWidget" name="centralwidget"><layout class="QVBoxLayout" name="layout">
    <item><widget class="QPushButton" name="closeButton"><property name="action" stdset="0"><string>close</string></property></widget></item>
  </layout></widget>
 </widget></ui>)").arg(title).toUtf8();
}

// A temporary resources folder that stands in as the main bundle, with a Controls table.
class Resources
{
public:
    Resources()
        : scope(folder.path())
    {
        write("GreetingController.ui", "Greeting");
        PdfFixture::write(folder.path(), "PanelController.ui", R"(<ui version="4.0"><widget class="platform::View" name="view"/></ui>)");
        writeStringsTable(folder.path(), "en", "Controls", {{"Greeting", "Hello there"}});
    }
    void write(const QString &name, const QString &title) { PdfFixture::write(folder.path(), name, windowFile(title)); }
    QString path() const { return folder.path(); }

private:
    QTemporaryDir folder;
    MainBundleScope scope;
};

class GreetingController : public QSWindowController
{
    Q_OBJECT
    Q_PROPERTY(QPushButton *closeButton MEMBER closeButton)

public:
    void windowWillLoad() override { calls << "windowWillLoad"; }
    void setWindow(Window *window) override
    {
        calls << "setWindow";
        QSWindowController::setWindow(window);
    }
    void windowDidLoad() override
    {
        calls << "windowDidLoad";
        outletsAtDidLoad = closeButton != nullptr;
    }
    void windowWillClose(const platform::Notification &notification) override
    {
        calls << "windowWillClose";
        QSWindowController::windowWillClose(notification);
    }
    void windowDidClose() override { calls << "windowDidClose"; }

    QStringList calls;
    QPushButton *closeButton = nullptr;
    bool outletsAtDidLoad = false;
};

// Has no file of its own.
class PoliteGreetingController : public GreetingController
{
    Q_OBJECT
};

class StrangerController : public QSWindowController
{
    Q_OBJECT
};

class PanelController : public QSViewController
{
    Q_OBJECT
};

// Only its superclass has a file; a view controller does not look there.
class FancyPanelController : public PanelController
{
    Q_OBJECT
};

} // namespace

TEST(QSWindowController, LoadsItsFileOnceWhenTheWindowIsAskedForAndUnloadsIt)
{
    Resources resources;
    GreetingController controller;
    controller.close(nullptr);
    EXPECT_FALSE(controller.isLoaded()) << "close: loads nothing";
    Window *window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(controller.calls, (QStringList{"windowWillLoad", "setWindow", "windowDidLoad"}));
    EXPECT_TRUE(controller.outletsAtDidLoad) << "outlets are connected before windowDidLoad";
    EXPECT_EQ(window->windowTitle(), "Hello there") << "the title through the Controls table";
    EXPECT_EQ(controller.window(), window) << "loaded once";

    controller.showWindow(nullptr);
    EXPECT_TRUE(controller.isVisible());
    controller.closeButton->click();
    EXPECT_EQ(controller.calls.last(), "windowWillClose") << "the file's close button goes through close:";
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.calls.last() == "windowDidClose"; }, waitLimitMs)) << "on a later turn";
    EXPECT_TRUE(controller.isLoaded()) << "closing does not unload";

    // Unloading drops the window and what the controller owned; the next ask loads again.
    const QPointer<Window> first = window;
    const QPointer<QObject> extra = new QObject;
    controller.setTopLevelObjects({extra});
    controller.unloadWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first && !extra; }, waitLimitMs)) << "what it owned is deleted";
    controller.forceCloseWindow(nullptr);
    EXPECT_EQ(controller.calls.last(), "windowWillClose") << "forceCloseWindow: loads again, then closes";
}

// Stands for a window that answers its close with "not now" (say, unsaved changes).
struct RefusesToClose : QObject
{
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        ++refused;
        return true;
    }
    int refused = 0;
};

TEST(QSWindowController, CloseAsksTheWindowAndForceCloseClosesItWhateverItAnswers)
{
    Resources resources;
    GreetingController controller;
    controller.showWindow(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
    RefusesToClose refuses;
    controller.window()->installEventFilter(&refuses);
    controller.calls.clear();

    controller.close(nullptr);
    EXPECT_EQ(refuses.refused, 1);
    EXPECT_TRUE(controller.isVisible()) << "the polite close was refused";
    EXPECT_TRUE(controller.calls.isEmpty());

    controller.forceCloseWindow(nullptr);
    EXPECT_FALSE(controller.isVisible());
    EXPECT_EQ(refuses.refused, 1) << "not asked";
    EXPECT_EQ(controller.calls, QStringList{"windowWillClose"}) << "it still announces that it closes";
    EXPECT_TRUE(QTest::qWaitFor([&] { return controller.calls.last() == "windowDidClose"; }, waitLimitMs));
}

TEST(QSWindowController, TheFileIsNamedAfterTheNearestClassThatHasOne)
{
    Resources resources;
    PoliteGreetingController polite;
    EXPECT_EQ(polite.nibName(), "GreetingController");

    StrangerController stranger;
    platform::LogCapture log;
    EXPECT_EQ(stranger.window(), nullptr);
    EXPECT_TRUE(log.contains("Warning: StrangerController could not load window from " + resources.path()
                             + " in QSWindowController.ui"));
    resources.write("QSWindowController.ui", "Base");
    EXPECT_NE(stranger.window(), nullptr) << "a failed load is tried again";
}

TEST(QSWindowController, TheArchivedFormRoundTrips)
{
    Resources resources;
    GreetingController original;
    Window *window = original.window();
    platform::KeyedArchive archive;
    original.encodeWithCoder(archive);

    GreetingController copy;
    copy.initWithCoder(archive);
    EXPECT_EQ(copy.calls, QStringList{"setWindow"}) << "decoding sets the window through the setter";
    window->close();
    EXPECT_TRUE(copy.calls.contains("windowWillClose")) << "the decoded controller observes its window";
}

TEST(QSViewController, LoadsTheFileOfItsOwnNameAndClearingTheViewDropsWhatItOwns)
{
    Resources resources;
    PanelController controller;
    EXPECT_NE(qobject_cast<platform::View *>(controller.view()), nullptr);

    FancyPanelController fancy;
    platform::LogCapture log;
    EXPECT_EQ(fancy.view(), nullptr) << "the name is the class's own even without a file";
    EXPECT_TRUE(log.contains("Warning: FancyPanelController could not load view from " + resources.path()
                             + " in FancyPanelController"));

    // Clearing the view drops what it owns, but a view put into a window belongs to the window.
    const QPointer<QWidget> view = controller.view();
    const QPointer<QObject> extra = new QObject;
    controller.setTopLevelObjects({extra});
    controller.setView(nullptr);
    EXPECT_FALSE(controller.isViewLoaded());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view && !extra; }, waitLimitMs));

    QWidget window;
    QPointer<QWidget> adopted;
    {
        PanelController owner;
        adopted = owner.view();
        adopted->setParent(&window);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(adopted.isNull());
}

// A window or view the caller gives a controller stays the caller's: replacing it, unloading it
// and the controller's end leave it alive, while a window or view the controller loaded from its
// file goes when the caller's replaces it.
TEST(KitControllers, AWindowOrViewTheCallerGaveOutlivesWhatTheControllerDoesNext)
{
    Resources resources;
    enum Giver { InitWithWindow, SetWindow, SetView };
    enum Ending { Replaced, Unloaded, ControllerEnds };
    const char *const givers[] = {"a window given to initWithWindow", "a window given to setWindow", "a view given to setView"};
    const char *const endings[] = {"replaced", "unloaded", "at the controller's end"};
    for (const Giver giver : {InitWithWindow, SetWindow, SetView}) {
        for (const Ending ending : {Replaced, Unloaded, ControllerEnds}) {
            const std::string row = std::string(givers[giver]) + ", " + endings[ending];
            const bool window = giver != SetView;
            auto *windows = window ? new GreetingController : nullptr;
            auto *views = window ? nullptr : new PanelController;
            std::unique_ptr<QObject> controller(window ? static_cast<QObject *>(windows) : views);
            const QPointer<QWidget> loaded = window ? static_cast<QWidget *>(windows->window()) : views->view();
            ASSERT_FALSE(loaded.isNull()) << row;
            const QPointer<QWidget> given = window ? static_cast<QWidget *>(new Window) : new platform::View;
            const QPointer<QWidget> replacement = window ? static_cast<QWidget *>(new Window) : new platform::View;
            if (giver == InitWithWindow)
                windows->initWithWindow(static_cast<Window *>(given.data()));
            else if (giver == SetWindow)
                windows->setWindow(static_cast<Window *>(given.data()));
            else
                views->setView(given);
            EXPECT_TRUE(QTest::qWaitFor([&] { return loaded.isNull(); }, waitLimitMs)) << row << ": the loaded one stays";

            if (ending == Replaced && window)
                windows->setWindow(static_cast<Window *>(replacement.data()));
            else if (ending == Replaced)
                views->setView(replacement);
            else if (ending == Unloaded && window)
                windows->unloadWindow();
            else if (ending == Unloaded)
                views->setView(nullptr);
            else
                controller.reset();
            QTest::qWait(0);
            EXPECT_FALSE(given.isNull()) << row << ": the controller deleted the caller's";

            controller.reset();
            QTest::qWait(0);
            EXPECT_FALSE(replacement.isNull()) << row << ": the controller deleted the caller's replacement";
            delete given;
            delete replacement;
        }
    }
}

// A window the controller made itself is its own: it goes with the controller.
TEST(KitControllers, AWindowTheControllerMadeItselfGoesWithIt)
{
    QPointer<QWidget> own;
    {
        QSWindowDrawer drawer;
        own = drawer.window();
        ASSERT_FALSE(own.isNull());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return own.isNull(); }, waitLimitMs));
}

#include "ControllerTest.moc"
