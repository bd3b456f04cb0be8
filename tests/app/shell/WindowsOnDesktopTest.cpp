#include "app/booklet/Document.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXManualDuplexController.h"
#include "app/shell/VXPreferencesController.h"
#include "app/shell/VXWelcomeWindowController.h"
#include "app/window/VXDocumentWindowController.h"
#include "app/window/VXHelpWindow.h"
#include "RQS-Kit/Controls/QSAboutBoxController.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Popover.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowPlacement.h"

#include "OpenedDocument.h"
#include "PrinterAnswers.h"
#include "support/CupsServerTest.h"
#include "support/Desktop.h"
#include "support/FullDisk.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"
#include "support/ShownWindow.h"
#include "support/Xdotool.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

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

    // A document's window on the screen and active, moved off the screen's centre so that a window
    // placed on it cannot be taken for one placed on the screen.
    platform::Window *documentWindowAside()
    {
        Document *document = openedDocument(documents, QUrl::fromLocalFile(pdf("Leaflet.pdf")));
        platform::Window *window = document ? document->documentWindow() : nullptr;
        if (!window || !QTest::qWaitForWindowActive(window, DesktopTimeout))
            return nullptr;
        window->findChild<platform::Popover *>("helpPopOver")->close();
        window->resize(920, 680);
        window->move(available(window).topLeft() + QPoint(30, 40));
        settledFrame(window);
        return window->isActiveWindow() ? window : nullptr;
    }

    // Presses the key through the X server, as the user's keyboard does, on the active window.
    static void pressKey(const char *key) { xdotool(qEnvironmentVariable("DISPLAY"), {"key", "--clearmodifiers", key}); }

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
    openedDocument(documents, QUrl::fromLocalFile(pdf("Leaflet.pdf")));
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
// down and to the right of the one before, none on top of another, on the screen as the X server
// has it. So whether the window manager frames each window as it comes, or is late (as on a loaded
// machine) and frames them only once all are shown; and so for one opened after them.
TEST_F(WindowsOnDesktop, DocumentsOpenedTogetherCascade)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QList<QUrl> pictures;
    for (const char *name : {"a.png", "b.png", "c.png"}) {
        const QByteArray png = PictureFixture::encoded(PictureFixture::marked({400, 300}, Qt::yellow, Qt::blue), "png");
        pictures << QUrl::fromLocalFile(PdfFixture::write(folder.path(), name, png));
    }
    for (const bool late : {false, true}) {
        SCOPED_TRACE(late ? "the window manager late" : "the window manager on time");
        std::optional<WindowManagerHeld> held;
        if (late && !held.emplace().holds())
            GTEST_SKIP() << "FOLDWISE_TEST_WM_PID names no window manager to hold (scripts/test sets it)";
        delegate.chosenWindowsOrFactory(platform::Alert::FirstButtonReturn + 1, pictures.mid(0, 2));
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const QList<platform::Window *> windows = documentWindows();
            return windows.size() == 2 && windows.first()->isVisible() && windows.last()->isVisible();
        }, DesktopTimeout));
        held.reset();
        ASSERT_FALSE(settledFrame(documentWindows().last()).isEmpty());
        ASSERT_NE(openedDocument(documents, pictures.last()), nullptr);
        const QList<platform::Window *> windows = documentWindows();
        ASSERT_EQ(windows.size(), 3);
        QList<QPoint> corners;
        for (platform::Window *window : windows) {
            const QRect frame = settledFrame(window);
            EXPECT_TRUE(available(window).contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
            corners << frame.topLeft();
        }
        // Across, the screen may stop the step short; down it has room for both.
        for (int i = 1; i < corners.size(); ++i) {
            EXPECT_EQ(corners.at(i).y() - corners.at(i - 1).y(), platform::WindowPlacement::CascadeOffset) << i;
            EXPECT_GT(corners.at(i).x(), corners.at(i - 1).x()) << i;
        }
        // Gone before the next are opened, which would otherwise cascade from them.
        const QList<QPointer<platform::Window>> shown(windows.cbegin(), windows.cend());
        for (Document *document : documents.documents())
            documents.removeDocument(document);
        ASSERT_TRUE(QTest::qWaitFor([&] { return std::none_of(shown.cbegin(), shown.cend(), [](const auto &window) { return window && window->isVisible(); }); },
                                    DesktopTimeout));
    }
}

// A damaged PDF that takes minutes to read (a cut-off download of 8 GiB): its progress window comes
// up on the screen while the welcome window still answers; Cancel, clicked where the screen shows
// it, takes the window away and stops the reading, and nothing is told.
TEST_F(WindowsOnDesktop, AFileSlowToReadShowsItsProgressAndCancelClickedOnTheScreenStopsIt)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window *welcomeWindow = delegate.welcomeWindow();
    ASSERT_TRUE(welcomeWindow && QTest::qWaitForWindowActive(welcomeWindow, DesktopTimeout));
    const QString path = PdfFixture::writeCutOff(folder.path(), "download.pdf", qint64(8) << 30);
    ASSERT_FALSE(path.isEmpty());
    QStringList told;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        told << alert.messageText();
        return platform::Alert::FirstButtonReturn;
    });
    platform::LogCapture log;
    std::optional<Document *> opened;
    documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), true, [&](Document *document) { opened = document; });

    const QPointer<QProgressDialog> progress = shownWindow<QProgressDialog>([](QProgressDialog *shown) { return shown->isVisible(); });
    ASSERT_TRUE(progress) << "the reading shows that it goes on";
    EXPECT_EQ(progress->maximum(), 0) << "busy: a repair knows no end";
    const QRect frame = settledFrame(progress);
    EXPECT_TRUE(available(progress).contains(frame));
    EXPECT_TRUE(documents.isOpening());

    // The welcome window takes the focus back and its buttons the pointer, as the file is read.
    welcomeWindow->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(welcomeWindow, DesktopTimeout)) << "another window answers";
    auto *button = welcomeWindow->findChild<QAbstractButton *>();
    ASSERT_NE(button, nullptr);
    QTest::mouseMove(button, button->rect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->underMouse(); }, DesktopTimeout));
    EXPECT_TRUE(documents.isOpening());

    // Back to the front, as the user's click on it would bring it.
    ASSERT_TRUE(progress) << "the file is still being read";
    progress->raise();
    progress->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(progress, DesktopTimeout));
    const QImage painted = paintedScreen(progress);
    QAbstractButton *cancel = progress->findChild<QPushButton *>();
    ASSERT_NE(cancel, nullptr);
    const QPoint centre = cancel->mapToGlobal(cancel->rect().center());
    const auto around = [&](const QImage &screen) { return screen.copy(centre.x() - 1, centre.y() - 1, 3, 3); };
    const QImage before = around(painted);
    saveScreenshot(painted.copy(settledFrame(progress)), "opening-progress");
    EXPECT_EQ(QApplication::widgetAt(centre), cancel) << "the button is where the screen shows it";
    const QImage drawn = cancel->grab().toImage();
    EXPECT_TRUE(PixelProbe::isNear(before, {1, 1}, drawn.pixelColor(drawn.rect().center()), 24))
        << "the screen shows Cancel: " << PixelProbe::describe(before, {1, 1}).toStdString();
    QTest::mouseMove(cancel, cancel->rect().center());
    QTest::mouseClick(cancel, Qt::LeftButton, {}, cancel->rect().center());
    EXPECT_TRUE(opened.has_value()) << "Cancel ends the opening";
    EXPECT_EQ(opened.value_or(nullptr), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !progress || !progress->isVisible(); }, DesktopTimeout));
    EXPECT_TRUE(QTest::qWaitFor([&] { return around(screenNow()) != before; }, DesktopTimeout)) << "the window left the screen";
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.contains("Info: Stopped reading PDF"); }, DesktopTimeout)) << "and the reading stopped";
    EXPECT_FALSE(documents.isOpening());
    EXPECT_EQ(told, QStringList());
    platform::Alert::setResponder(nullptr);
}

// As the desktop's other preference windows: Escape and Ctrl+W close it.
TEST_F(WindowsOnDesktop, PreferencesCloseWithEscapeAndCtrlW)
{
    FOLDWISE_REQUIRE_DESKTOP();
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        delegate.showPreferences();
        platform::Window *window = preferences.window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
        QTest::keyClick(window->findChild<QComboBox *>("printersButton"), key.key(), key.keyboardModifiers());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, DesktopTimeout));
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
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, DesktopTimeout)) << "Ctrl+W closes";
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
    openedDocument(documents, QUrl::fromLocalFile(pdf("Leaflet.pdf")));
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
    ASSERT_TRUE(QTest::qWaitForWindowExposed(application, DesktopTimeout));
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
    ASSERT_TRUE(QTest::qWaitForWindowActive(start, DesktopTimeout));
    auto *bar = qobject_cast<QMenuBar *>(start->menuWidget());
    ASSERT_NE(bar, nullptr);
    QAction *application = bar->actions().last();
    QTest::mouseMove(bar, bar->actionGeometry(application).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(application).center());
    QMenu *menu = application->menu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu, DesktopTimeout));
    QAction *about = nullptr;
    for (QAction *item : menu->actions())
        if (item->text() == "About Foldwise")
            about = item;
    ASSERT_NE(about, nullptr);
    QTest::mouseMove(menu, menu->actionGeometry(about).center());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());

    QSAboutBoxController *box = QSAboutBoxController::sharedAboutBox();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->window() && box->window()->isVisible(); }, DesktopTimeout));
    QWidget *window = box->window();
    const QImage shown = paintedScreen(window);
    const QRect frame = settledFrame(window);
    EXPECT_TRUE(available(window).contains(frame));
    EXPECT_EQ(box->versionTF()->text(), QSSystemInfo::appVersion());
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, DesktopTimeout)) << "Escape closes it";
}

namespace {

// The screen around a frame.
void saveScreen(const QImage &screen, const QRect &frame, const QString &name)
{
    saveScreenshot(screen.copy(frame.adjusted(-40, -40, 40, 40).intersected(screen.rect())), name);
}

// The screen around the window, once it shows the window painted.
void saveScreen(QWidget *window, const QString &name) { saveScreen(paintedScreen(window), settledFrame(window), name); }

} // namespace

// Every kind of sheet the application shows on a window comes up centred over that window, frame
// included, and an alert is wide enough that its explanation reads in lines, not in a column of
// single words; the screen shows it there. Escape, pressed on the keyboard, closes each.
TEST_F(WindowsOnDesktop, EveryKindOfSheetShowsCentredOverItsWindowWideEnoughForItsText)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window *window = documentWindowAside();
    ASSERT_NE(window, nullptr);
    Document *document = documents.documents().value(0);
    auto *controller = qobject_cast<VXDocumentWindowController *>(document->windowController());
    QTemporaryDir full;
    const FullDisk disk(full.path(), "Leaflet - Booklet.pdf", "old");
    PdfFixture::write(folder.path(), "Locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(8), "secret", "owner"));
    PdfFixture::write(folder.path(), "Notes.pdf", "no PDF in here");
    PdfFixture::write(folder.path(), "Three.pdf", PdfFixture::pages(PdfFixture::numbered(3)));
    const QString explanation = "The printer kept the job, but it reported that the paper in its tray is not the paper "
                                "the booklet was laid out for; check the tray, then print again.";
    const auto alert = [&](bool checkBox, const QStringList &choices) {
        platform::Alert shown;
        shown.setMessageText("The booklet was not printed.");
        shown.setInformativeText(explanation);
        shown.setShowsSuppressionButton(checkBox);
        shown.setChoices(choices);
        shown.addButtonWithTitle("OK");
        shown.beginSheetModalForWindow(window, platform::Alert::Completion());
    };
    struct Kind { const char *name; std::function<void()> show; const char *screenshot; };
    QList<Kind> kinds{
        {"the Add Pages alert", [&] {
             platform::OpenPanel::setResponder([&](QFileDialog &dialog) {
                 dialog.setDirectory(folder.path());
                 dialog.selectFile(R"("Locked.pdf" "Notes.pdf" "Three.pdf")");
                 return platform::OpenPanel::OKButton;
             });
             controller->addPDFPage();
         }, "add-pages-alert"},
        {"an alert with a check box", [&] { alert(true, {}); }, nullptr},
        {"an alert with a pop-up of printers", [&] { alert(false, {"Duplex_Printer", "Simplex_Printer"}); }, nullptr},
        {"the open panel", [&] { platform::OpenPanel().beginSheetModalForWindow(window, [](int, const QList<QUrl> &) {}); }, nullptr},
        {"the save panel", [&] { platform::SavePanel().beginSheetModalForWindow(window, [](int, const QUrl &) {}); }, nullptr},
    };
    if (disk.mounted) {
        kinds.prepend({"the full-disk alert", [&] {
                           platform::SavePanel::setResponder([&](QFileDialog &dialog) {
                               dialog.selectFile(disk.oldFile);
                               return platform::SavePanel::OKButton;
                           });
                           document->saveBooklet();
                       }, "full-disk-alert"});
    }
    for (const Kind &kind : kinds) {
        SCOPED_TRACE(kind.name);
        kind.show();
        QDialog *sheet = shownWindow<QDialog>();
        platform::OpenPanel::setResponder(nullptr);
        platform::SavePanel::setResponder(nullptr);
        ASSERT_NE(sheet, nullptr);
        const QImage screen = paintedScreen(sheet);
        const QRect frame = settledFrame(sheet);
        const QRect parent = settledFrame(window);
        EXPECT_LE((frame.center() - parent.center()).manhattanLength(), 2)
            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height() << " over " << parent.x() << ","
            << parent.y() << " " << parent.width() << "x" << parent.height();
        EXPECT_GT(shareShownOnScreen(sheet, screen), 0.97) << "the screen shows the sheet where it says it is";
        if (auto *box = qobject_cast<QMessageBox *>(sheet)) {
            const QLabel *text = box->findChild<QLabel *>("qt_msgbox_informativelabel");
            ASSERT_NE(text, nullptr);
            const QFontMetrics metrics(text->font());
            int widest = 0;
            for (const QString &line : box->informativeText().split('\n'))
                widest = std::max(widest, metrics.horizontalAdvance(line));
            EXPECT_GE(text->width(), std::min(widest, 50 * metrics.averageCharWidth())) << box->informativeText().toStdString();
        }
        if (kind.screenshot)
            saveScreen(screen, parent, kind.screenshot);
        pressKey("Escape");
        EXPECT_TRUE(QTest::qWaitFor([&] { return !sheet || !sheet->isVisible(); }, DesktopTimeout)) << "Escape closes it";
        // Gone from the screen, and the document window back in front, before the next shows.
        EXPECT_TRUE(settle());
    }
}

// The batch factory and the manual duplex set-up open on the window they were opened from, not
// where the desktop would put a window of its own.
TEST_F(WindowsOnDesktop, TheFactoryAndTheSetUpOpenOnTheWindowTheyCameFrom)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window *window = documentWindowAside();
    ASSERT_NE(window, nullptr);
    const QRect from = settledFrame(window);
    factory.showWindow();
    const QImage withFactory = paintedScreen(factory.window());
    const QRect factoryFrame = settledFrame(factory.window());
    EXPECT_LE((factoryFrame.center() - from.center()).manhattanLength(), 2)
        << factoryFrame.x() << "," << factoryFrame.y() << " " << factoryFrame.width() << "x" << factoryFrame.height() << " over "
        << from.x() << "," << from.y() << " " << from.width() << "x" << from.height();
    EXPECT_GT(shareShownOnScreen(factory.window(), withFactory), 0.97);
    factory.window()->close();

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
    VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
    ASSERT_TRUE(wizard->open("Simplex_Printer", {}));
    const QImage withWizard = paintedScreen(wizard->window());
    const QRect wizardFrame = settledFrame(wizard->window());
    EXPECT_LE((wizardFrame.center() - from.center()).manhattanLength(), 2) << wizardFrame.x() << "," << wizardFrame.y();
    EXPECT_GT(shareShownOnScreen(wizard->window(), withWizard), 0.97);
    wizard->window()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !wizard->isLoaded(); }, DesktopTimeout));
}

// Ctrl+W typed on the keyboard closes the welcome window, as it closes the other windows of the
// application.
TEST_F(WindowsOnDesktop, CtrlWClosesTheWelcomeWindow)
{
    FOLDWISE_REQUIRE_DESKTOP();
    delegate.showWelcomeWindow();
    platform::Window *window = welcome.window();
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    settledFrame(window);
    saveScreen(window, "welcome-window");
    pressKey("ctrl+w");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 3000)) << "Ctrl+W left the welcome window open";
}

// The welcome window's box, clicked on the screen, keeps the user's choice and shows it: each click
// turns the tick over, and the box looks as it did two clicks before. The pointer rests on the box
// and the box keeps the keyboard throughout, so that only the tick can change what it looks like.
TEST_F(WindowsOnDesktop, TheWelcomeWindowsBoxClickedOnTheScreenKeepsTheChoiceAndShowsIt)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    const auto restore = qScopeGuard([defaults, was = QCursor::pos()] {
        QCursor::setPos(was);
        defaults->setBool(true, AppDelegate::ShowWelcomeAtStartKey);
    });
    defaults->setBool(true, AppDelegate::ShowWelcomeAtStartKey);
    delegate.showWelcomeWindow();
    platform::Window *window = welcome.window();
    ASSERT_TRUE(window && QTest::qWaitForWindowActive(window, DesktopTimeout));
    QAbstractButton *box = welcome.checkbox();
    ASSERT_TRUE(box && box->isChecked());
    settledFrame(window);
    const QRect onScreen(box->mapToGlobal(QPoint(0, 0)), box->size());
    QCursor::setPos(onScreen.center());

    QList<QImage> shown;
    QList<bool> kept;
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        kept << defaults->boolForKey(AppDelegate::ShowWelcomeAtStartKey);
        shown << paintedScreen(window).copy(onScreen);
    }
    saveScreenshot(paintedScreen(window).copy(settledFrame(window)), "welcome-window-box-unticked");
    EXPECT_EQ(kept, (QList<bool>{false, true, false}));
    EXPECT_NE(shown[0], shown[1]) << "the tick shows on the screen";
    EXPECT_EQ(shown[0], shown[2]) << "unticked again, the box looks as it did";
}

// The set-up numbers its steps along the way the user takes: both faces printed, the check leads
// straight to the last step, which is then the fourth. Escape and Ctrl+W close it, as the
// desktop's other utility windows.
TEST_F(WindowsOnDesktop, TheSetUpNumbersItsStepsAlongTheWayTakenAndClosesWithEscapeAndCtrlW)
{
    FOLDWISE_REQUIRE_DESKTOP();
    VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
    const auto title = [&] { return wizard->window()->findChild<QLabel *>("title")->text(); };
    const auto click = [&](const char *name) {
        auto *button = wizard->window()->findChild<QAbstractButton *>(name);
        ASSERT_TRUE(button && button->isVisible()) << name;
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        // The steps slide into place.
        paintedScreen(wizard->window());
    };
    const auto numbered = [](int number, const char *step) { return QStringLiteral("%1. %2").arg(number).arg(rqs::localized(step)); };
    for (const char *key : {"Escape", "ctrl+w"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(wizard->open("Simplex_Printer", {}));
        ASSERT_TRUE(QTest::qWaitForWindowActive(wizard->window(), DesktopTimeout));
        EXPECT_EQ(title(), numbered(1, "ManualStep1"));
        if (QLatin1String(key) == QLatin1String("Escape")) {
            saveScreen(wizard->window(), "set-up-step-1");
            click("nextButton");
            EXPECT_EQ(title(), numbered(2, "ManualStep2"));
            click("nextButton");
            EXPECT_EQ(title(), numbered(3, "ManualCheck"));
            saveScreen(wizard->window(), "set-up-step-3");
            click("bothFacesButton");
            EXPECT_EQ(title(), numbered(4, "ManualFinal")) << "no step left out in the numbers";
            saveScreen(wizard->window(), "set-up-step-4-both-faces");
            click("previousButton");
            EXPECT_EQ(title(), numbered(3, "ManualCheck"));
            click("oneFaceButton");
            EXPECT_EQ(title(), numbered(4, "ManualStep1b"));
            click("nextButton");
            EXPECT_EQ(title(), numbered(5, "ManualStep2b"));
            click("nextButton");
            EXPECT_EQ(title(), numbered(6, "ManualFinal"));
            saveScreen(wizard->window(), "set-up-step-6-one-face");
        }
        pressKey(key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !wizard->isLoaded(); }, DesktopTimeout)) << "closed and let go";
    }
}

namespace {

// The printer settings with the private print server's printers in their list.
class PrinterSettingsOnDesktop : public CupsServerOnDesktopTest
{
protected:
    void SetUp() override
    {
        CupsServerOnDesktopTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, DesktopTimeout));
    }
    VXPreferencesController preferences;
};

} // namespace

// Escape with a drop-down list open closes the list and leaves the window open; the next Escape
// closes the window.
TEST_F(PrinterSettingsOnDesktop, EscapeWithADropDownListOpenClosesOnlyTheList)
{
    preferences.showWindow();
    platform::Window *window = preferences.window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
    auto *printers = window->findChild<QComboBox *>("printersButton");
    ASSERT_GE(printers->count(), 2);
    QTest::mouseClick(printers, Qt::LeftButton, {}, printers->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return printers->view()->isVisible(); }, DesktopTimeout)) << "the list opened";
    // On the screen, and so holding the keyboard.
    ASSERT_FALSE(settledFrame(printers->view()->window()).isEmpty());
    const QString chosen = printers->currentText();
    xdotool(qEnvironmentVariable("DISPLAY"), {"key", "Escape"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !printers->view()->isVisible(); }, DesktopTimeout)) << "the list closed";
    EXPECT_TRUE(settle());
    EXPECT_TRUE(window->isVisible()) << "the window stays";
    EXPECT_EQ(printers->currentText(), chosen);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
    xdotool(qEnvironmentVariable("DISPLAY"), {"key", "Escape"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, DesktopTimeout)) << "then Escape closes the window";
}

// The box for the binding explanation, clicked where the screen shows it on an automatic duplex
// printer's settings, turns the setting over in the settings file at each click and shows its tick;
// unticked again, it looks as it did. The pointer rests on the box throughout.
TEST_F(PrinterSettingsOnDesktop, TheExplanationBoxClickedOnTheScreenTurnsTheSettingOverInTheSettingsFile)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    const QString key = VXPrintHelper::AutoShowUpsideDownPrintKey;
    const auto restore = qScopeGuard([defaults, key, was = QCursor::pos()] {
        QCursor::setPos(was);
        defaults->removeObjectForKey(key);
        forgetPrinterAnswers();
    });
    defaults->setBool(false, key);
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeAutomaticDuplex, "Duplex_Printer", VXPrinterDefaults::PrinterTypeKey);
    preferences.showWindow();
    preferences.setDefaultPrinter("Duplex_Printer");
    platform::Window *window = preferences.window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
    auto *box = window->findChild<QCheckBox *>("explainBindingCheckbox");
    ASSERT_TRUE(box && box->isVisible() && !box->isChecked());
    settledFrame(window);
    const QRect onScreen(box->mapToGlobal(QPoint(0, 0)), box->size());
    EXPECT_EQ(QApplication::widgetAt(onScreen.center()), box) << "the box is where the screen shows it";
    QCursor::setPos(onScreen.center());

    const auto stored = [&] {
        defaults->synchronize();
        return platform::UserDefaults(defaults->fileName()).objectForKey(key).toString();
    };
    QStringList kept;
    QList<QImage> shown;
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        kept << stored();
        const QImage screen = paintedScreen(window);
        shown << screen.copy(onScreen);
        if (click == 0)
            saveScreenshot(screen.copy(settledFrame(window)), "preferences-explanation-box");
    }
    EXPECT_EQ(kept, (QStringList{"true", "false", "true"}));
    EXPECT_NE(shown[0], shown[1]) << "the tick shows on the screen";
    EXPECT_EQ(shown[0], shown[2]) << "ticked again, the box looks as it did";
}
