#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXPreferencesController.h"
#include "app/shell/VXWelcomeWindowController.h"
#include "app/window/VXHelpWindow.h"
#include "RQS-Kit/Controls/QSAboutBoxController.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyValue.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowPlacement.h"

#include "support/Desktop.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/Screenshot.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The application as main() puts it together, on the private X display under openbox, started by
// a user who has never started it: no settings, no window placed yet.
class WindowsOnDesktop : public ::testing::Test
{
protected:
    void SetUp() override { delegate.setWelcomeWindow(&welcome); }
    void TearDown() override
    {
        for (Document *document : documents.documents())
            documents.removeDocument(document);
    }

    QString pdf(const QString &name) { return PdfFixture::write(folder.path(), name, PdfFixture::pages(PdfFixture::numbered(2))); }

    QList<platform::Window *> documentWindows() const
    {
        QList<platform::Window *> windows;
        for (Document *document : documents.documents())
            windows << document->documentWindow();
        return windows;
    }

    static QRect available(QWidget *window) { return window->screen()->availableGeometry(); }

    QTemporaryDir folder;
    VXDocumentController documents;
    VXFactoryController factory{&documents};
    AppDelegate delegate{&documents};
    VXPreferencesController preferences;
    VXWelcomeWindowController welcome{delegate};
};

} // namespace

// The windows a new user meets come up one after the other, none waiting for the window manager
// to frame the one before: every frame, title bar and close button included, is on the screen.
TEST_F(WindowsOnDesktop, EveryWindowOfAFirstStartHasItsWholeFrameOnTheScreen)
{
    FOLDWISE_REQUIRE_DESKTOP();
    delegate.applicationDidFinishLaunching();
    documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(pdf("Leaflet.pdf")), true);
    delegate.showPreferences();
    delegate.chosenWindowsOrFactory(platform::Alert::FirstButtonReturn, {QUrl::fromLocalFile(pdf("a.pdf")), QUrl::fromLocalFile(pdf("b.pdf"))});
    const QString help = platform::Bundle::mainBundle()->pathForResource("Help-Workflow", "html", "Help");
    ASSERT_TRUE(VXHelpWindow::sharedHelpWindow()->showPage(help));
    const QList<std::pair<const char *, QWidget *>> windows{
        {"preferences", preferences.window()},  {"welcome", welcome.welcomeWindow()}, {"document", documentWindows().value(0)},
        {"factory", factory.window()},          {"help", VXHelpWindow::sharedHelpWindow()},
    };
    for (const auto &[name, window] : windows) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(window && window->isVisible());
        const QRect frame = settledFrame(window);
        EXPECT_GT(frame.height(), window->height()) << "framed by the window manager";
        EXPECT_TRUE(available(window).contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    }
    saveScreenshot(preferences.window(), "first-start-preferences");
    VXHelpWindow::sharedHelpWindow()->close();
}

// Pictures opened together as documents come up before any of them is active: each opens a step
// down and to the right of the one before, none on top of another.
TEST_F(WindowsOnDesktop, DocumentsOpenedTogetherCascade)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QList<QUrl> pictures;
    for (const char *name : {"a.png", "b.png", "c.png"}) {
        const QByteArray png = PictureFixture::encoded(PictureFixture::marked({400, 300}, Qt::yellow, Qt::blue), "png");
        pictures << QUrl::fromLocalFile(PdfFixture::write(folder.path(), name, png));
    }
    delegate.chosenWindowsOrFactory(platform::Alert::FirstButtonReturn + 1, pictures);
    const QList<platform::Window *> windows = documentWindows();
    ASSERT_EQ(windows.size(), 3);
    QList<QPoint> corners;
    for (platform::Window *window : windows) {
        const QRect frame = settledFrame(window);
        EXPECT_TRUE(available(window).contains(frame));
        corners << frame.topLeft();
    }
    // Across, the screen may stop the step short; down it has room for both.
    for (int i = 1; i < corners.size(); ++i) {
        EXPECT_EQ(corners.at(i).y() - corners.at(i - 1).y(), platform::WindowPlacement::CascadeOffset) << i;
        EXPECT_GT(corners.at(i).x(), corners.at(i - 1).x()) << i;
    }
}

// As the desktop's other preference windows: Escape and Ctrl+W close it.
TEST_F(WindowsOnDesktop, PreferencesCloseWithEscapeAndCtrlW)
{
    FOLDWISE_REQUIRE_DESKTOP();
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        delegate.showPreferences();
        platform::Window *window = preferences.window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->findChild<QComboBox *>("printersButton"), key.key(), key.keyboardModifiers());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 3000));
    }
}

// The factory carries the application's menus like every other window, so that its Ctrl+W closes
// it and Ctrl+Q quits.
TEST_F(WindowsOnDesktop, TheFactoryHasTheApplicationsMenusAndItsShortcuts)
{
    FOLDWISE_REQUIRE_DESKTOP();
    delegate.applicationDidFinishLaunching();
    factory.showWindow();
    platform::Window *window = factory.window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto *bar = qobject_cast<QMenuBar *>(window->menuWidget());
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction *menu : bar->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"File", "Foldwise"}));

    QSignalSpy quitting(&delegate, &AppDelegate::readyToQuit);
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quitting.size(), 1) << "Ctrl+Q quits";
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 3000)) << "Ctrl+W closes";
}

// A first start whose first drawing is in points (a booklet exported with its page numbers, at 72
// dots per inch) before the screen has drawn any text: menus drawn afterwards still draw at their
// own size, every item whole.
TEST_F(WindowsOnDesktop, MenusDrawAtTheirOwnSizeAfterAFirstDrawingInPoints)
{
    FOLDWISE_REQUIRE_DESKTOP();
    Document numbered;
    ASSERT_TRUE(numbered.openURL(QUrl::fromLocalFile(pdf("Numbered.pdf")), Document::PdfType));
    platform::KeyValue::setValue(&numbered, "showPageNumbers", true);
    ASSERT_TRUE(numbered.exportBookletToURL(QUrl::fromLocalFile(folder.filePath("Booklet.pdf"))));

    delegate.applicationDidFinishLaunching();
    documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(pdf("Leaflet.pdf")), true);
    factory.showWindow();
    for (QWidget *window : {static_cast<QWidget *>(welcome.welcomeWindow()), static_cast<QWidget *>(documentWindows().value(0)),
                            static_cast<QWidget *>(factory.window())}) {
        for (QAction *item : qobject_cast<QMenuBar *>(static_cast<QMainWindow *>(window)->menuWidget())->actions()) {
            QMenu *menu = item->menu();
            SCOPED_TRACE(menu->title().toStdString());
            // The size the style draws the items in: what the font resolves to.
            QFont drawn = menu->font();
            drawn.setPointSizeF(QFontInfo(menu->font()).pointSizeF());
            EXPECT_EQ(drawn.pointSizeF(), menu->font().pointSizeF());
            menu->ensurePolished();
            for (QAction *action : menu->actions()) {
                if (!action->isSeparator()) {
                    EXPECT_LE(QFontMetrics(drawn).horizontalAdvance(action->text()), menu->actionGeometry(action).width())
                        << action->text().toStdString();
                }
            }
        }
    }
    QMenu *application = qobject_cast<QMenuBar *>(documentWindows().value(0)->menuWidget())->actions().last()->menu();
    application->popup(documentWindows().value(0)->mapToGlobal(QPoint(40, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(application));
    saveScreenshot(application, "first-start-foldwise-menu");
    application->close();
}

// Foldwise ▸ About Foldwise, chosen with the pointer, shows the kit's about box: its version line
// and its credits read on the screen itself, the credits fading into the window, not into black.
TEST_F(WindowsOnDesktop, TheAboutItemShowsTheAboutBoxWithItsTextsReadable)
{
    FOLDWISE_REQUIRE_DESKTOP();
    delegate.applicationDidFinishLaunching();
    platform::Window *start = welcome.welcomeWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(start));
    auto *bar = qobject_cast<QMenuBar *>(start->menuWidget());
    ASSERT_NE(bar, nullptr);
    QAction *application = bar->actions().last();
    QTest::mouseMove(bar, bar->actionGeometry(application).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(application).center());
    QMenu *menu = application->menu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QAction *about = nullptr;
    for (QAction *item : menu->actions())
        if (item->text() == "About Foldwise")
            about = item;
    ASSERT_NE(about, nullptr);
    QTest::mouseMove(menu, menu->actionGeometry(about).center());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());

    QSAboutBoxController *box = QSAboutBoxController::sharedAboutBox();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->window() && box->window()->isVisible(); }, 3000));
    QWidget *window = box->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QRect frame = settledFrame(window);
    EXPECT_TRUE(available(window).contains(frame));
    EXPECT_EQ(box->versionTF()->text(), QSSystemInfo::appVersion());
    const QImage shown = window->screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    saveScreenshot(shown.copy(frame.adjusted(-10, -10, 10, 10)), "about-box-from-the-menu");

    const auto darkest = [&](QRect area) {
        int value = 255;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                value = std::min(value, qGray(shown.pixel(x, y)));
        return value;
    };
    const QColor ground = window->palette().color(QPalette::Window);
    const QRect version(box->versionTF()->mapToGlobal(QPoint()), box->versionTF()->size());
    EXPECT_LT(darkest(version), qGray(ground.rgb()) - 100) << "the version line stands out";
    // The credits' first and last rows, where they fade: a column right of every line of text.
    QWidget *credits = box->textScrollView();
    const QPoint corner = credits->mapToGlobal(QPoint(credits->width() - 12, 0));
    EXPECT_GT(darkest(QRect(corner, QSize(4, 28))), 200) << "the top fades into the window";
    EXPECT_GT(darkest(QRect(corner + QPoint(0, credits->height() - 28), QSize(4, 28))), 200) << "the bottom too";

    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 3000)) << "Escape closes it";
}
