#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSAboutBoxController.h"
#include "RQS-Kit/Controls/QSActivityPanel.h"
#include "RQS-Kit/Controls/QSFrameLessWindow.h"
#include "RQS-Kit/Controls/QSInfoHoverButton.h"
#include "RQS-Kit/Controls/QSNoteController.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "RQS-Kit/Helper/QSSingleButtonPanel.h"
#include "RQS-Kit/Helper/QSToolTipController.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "platform/ui/ClearBackground.h"
#include "platform/ui/Popover.h"
#include "platform/ui/WindowShadow.h"

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"

#include "ContrastRatio.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace {

QRect placeOf(const QWidget *window) { return QRect(window->mapToGlobal(QPoint()), window->size()); }

// The colour most of the area shows: what the text lies on.
QColor commonest(const QImage &picture, const QRect &area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[picture.pixel(x, y)];
    QRgb found = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            most = it.value(), found = it.key();
    return QColor(found);
}

// Pixels of the area that stand out from what lies under them as readable text does (3 : 1, the
// least for large text).
int readablePixels(const QImage &picture, const QRect &area)
{
    const double under = contrastratio::luminance(commonest(picture, area));
    int readable = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            readable += contrastratio::contrast(contrastratio::luminance(picture.pixelColor(x, y)), under) >= 3.0;
    return readable;
}

// Where a text widget shows its text, on the screen.
QRect textArea(QWidget *widget)
{
    QRect area = widget->contentsRect();
    if (auto *browser = qobject_cast<QTextBrowser *>(widget)) {
        const QSize used = browser->document()->size().toSize();
        area = QRect(browser->viewport()->mapTo(browser, QPoint()), used).intersected(browser->viewport()->geometry());
    }
    area = area.intersected(widget->visibleRegion().boundingRect());
    return QRect(widget->mapToGlobal(area.topLeft()), area.size());
}

QString textOf(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *browser = qobject_cast<QTextBrowser *>(widget))
        return browser->toPlainText().trimmed();
    return {};
}

bool isBlack(QColor colour) { return std::max({colour.red(), colour.green(), colour.blue()}) <= 16; }

// What the screen shows where the window draws nothing of its own: a clear window without a
// compositor shows black there.
int blackWhereClear(QWidget *window, const QImage &shown, int *clear)
{
    const QImage drawn = PixelProbe::drawn(*window);
    const QRegion mask = window->mask().isEmpty() ? QRegion(window->rect()) : window->mask();
    const QPoint origin = window->mapToGlobal(QPoint());
    int black = 0;
    *clear = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QPoint at = origin + QPoint(x, y);
            if (qAlpha(drawn.pixel(x, y)) != 0 || !mask.contains(QPoint(x, y)) || !shown.rect().contains(at))
                continue;
            ++*clear;
            black += isBlack(shown.pixelColor(at));
        }
    return black;
}

// Where a window fell back on a background of its own, the screen shows what it draws laid on that
// background: faded or half-clear parts (the about box's faded credits) blend into it, not into
// black. The number of pixels that differ from that by more than anti-aliasing does, with the
// drawing laid where it matches best: a window the window manager placed, or one that slid in, may
// stand a few pixels from where Qt last heard of it.
int differFromDrawnOnOwnBackground(QWidget *window, const QImage &shown, int *compared)
{
    QImage expected(window->size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(window->palette().color(QPalette::Window));
    {
        QPainter painter(&expected);
        painter.drawImage(0, 0, PixelProbe::drawn(*window));
    }
    const QRegion mask = window->mask().isEmpty() ? QRegion(window->rect()) : window->mask();
    const auto count = [&](QPoint origin, int step, int *within) {
        int differ = 0;
        *within = 0;
        for (int y = 0; y < expected.height(); y += step)
            for (int x = 0; x < expected.width(); x += step) {
                const QPoint at = origin + QPoint(x, y);
                if (!mask.contains(QPoint(x, y)) || !shown.rect().contains(at))
                    continue;
                ++*within;
                const QRgb want = expected.pixel(x, y);
                const QRgb got = shown.pixel(at);
                differ += std::max({std::abs(qRed(want) - qRed(got)), std::abs(qGreen(want) - qGreen(got)),
                                    std::abs(qBlue(want) - qBlue(got))})
                          > 64;
            }
        return differ;
    };
    QPoint best = window->mapToGlobal(QPoint());
    int fewest = std::numeric_limits<int>::max();
    for (int dy = -24; dy <= 24; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            int within = 0;
            const QPoint origin = window->mapToGlobal(QPoint(dx, dy));
            const int differ = count(origin, 4, &within);
            if (within > 0 && differ < fewest) {
                fewest = differ;
                best = origin;
            }
        }
    return count(best, 1, compared);
}

struct KitWindow
{
    const char *name;
    std::function<QWidget *()> show; // what holds the texts to read: the window, or a panel in one
    std::function<void()> hide;
};

} // namespace

// Every kit window that is clear where it draws nothing, or that has no frame, as the screen shows
// it on a desktop without a compositing manager, over a light backdrop: what it leaves clear is not
// black, and each of its texts stands out from what lies under it.
TEST(KitWindowsOnDesktop, EveryClearOrFramelessWindowShowsItsTextsReadablyWithoutACompositor)
{
    FOLDWISE_REQUIRE_DESKTOP();
    ASSERT_FALSE(platform::WindowShadow::compositing()) << "openbox composites nothing";
    rqs::registerKitClasses();

    QWidget backdrop(nullptr, Qt::FramelessWindowHint);
    backdrop.setStyleSheet("background: #e8d8b0;");
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.show();
    paintedScreen(&backdrop);

    platform::Window parent;
    auto *contents = new QWidget;
    parent.setCentralWidget(contents);
    auto *info = new QSInfoHoverButton(contents);
    info->setName("DefaultStyle");
    info->setTitle("Info");
    info->setGeometry(40, 60, 90, 26);
    info->setInfoTitle("Stapling");
    info->setInfoDescription("Marks where the staples go on the outer sheet.");
    auto *drawerArea = new QWidget(contents);
    drawerArea->setGeometry(300, 100, 300, 300);
    parent.setGeometry(250, 200, 700, 500);
    parent.makeKeyAndOrderFront(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent, DesktopTimeout));

    QSAboutBoxController about;
    QSNoteController note;
    QSRateUsController *rateUs = QSRateUsController::sharedController();
    QSActivityPanel activity;
    QSFrameLessWindow frameless;
    auto *popover = new platform::Popover(&parent);
    QSWindowDrawer drawer;
    QSSingleButtonPanel *single = QSSingleButtonPanel::sharedPanel();
    QSToolTipController *toolTip = QSToolTipController::sharedController();

    const auto withLabel = [](QWidget *holder, const QString &text) {
        auto *layout = new QVBoxLayout(holder);
        layout->addWidget(new QLabel(text));
    };
    frameless.setCentralWidget(new QWidget);
    withLabel(frameless.centralWidget(), "A panel without a frame");
    frameless.setGeometry(300, 300, 260, 80);
    withLabel(popover, "Help that points at a control");
    auto *drawerContent = new QWidget;
    withLabel(drawerContent, "A drawer's content");
    drawerContent->resize(200, 100);
    drawer.setContentView(drawerContent);

    const QList<KitWindow> windows{
        {"about-box",
         [&] {
             about.showWindow(nullptr);
             return about.window();
         },
         [&] { about.close(nullptr); }},
        {"info-hover",
         [&] {
             info->setButtonState(2);
             return info->hoverWC()->window();
         },
         [&] { info->hoverWC()->close(nullptr); }},
        {"note",
         [&] {
             note.window();
             note.titleTF()->setText("A note");
             note.textView()->setPlainText("What the note tells the user, in a few words.");
             note.adjustWindowSize();
             note.attachToWindow(&parent, 0.7);
             return note.window();
         },
         [&] { note.close(nullptr); }},
        {"rate-us",
         [&] {
             rateUs->attachToWindow(&parent, 0.4);
             return rateUs->window();
         },
         [&] { rateUs->close(nullptr); }},
        {"activity-panel",
         [&] {
             activity.setWindow(&parent);
             // Its work runs once the panel has slid into place.
             const auto inPlace = std::make_shared<bool>(false);
             activity.startActivity("Making the booklet", [inPlace] { *inPlace = true; });
             EXPECT_TRUE(QTest::qWaitFor([&] { return *inPlace; }, DesktopTimeout)) << "the panel slid into place";
             return activity.view();
         },
         [&] { activity.stopActivity("Making the booklet"); }},
        {"frameless-window",
         [&] {
             frameless.show();
             return static_cast<QWidget *>(&frameless);
         },
         [&] { frameless.hide(); }},
        {"popover",
         [&] {
             popover->showRelativeToRect(QRect(40, 60, 90, 26), contents, platform::Popover::Edge::Right);
             return static_cast<QWidget *>(popover);
         },
         [&] { popover->close(); }},
        {"drawer",
         [&] {
             drawer.showOverView(drawerArea);
             return static_cast<QWidget *>(drawer.window());
         },
         [&] {
             drawer.hideDrawer();
             drawer.finishedCloseAnimation();
         }},
        {"single-button-panel",
         [&] {
             single->showOver(&parent, QPoint(60, 120), nullptr, "The pages are ready to print.", "Print");
             return static_cast<QWidget *>(single->window());
         },
         [&] { single->close(); }},
        {"tool-tip",
         [&] {
             toolTip->showTooltip("A <b>tool tip</b> over the window", QPointF(60, 300), contents);
             return toolTip->window();
         },
         [&] { toolTip->hideForView(contents); }},
    };

    for (const KitWindow &kit : windows) {
        SCOPED_TRACE(kit.name);
        QWidget *shownPart = kit.show();
        ASSERT_TRUE(shownPart);
        QWidget *window = shownPart->window();
        const QImage shown = paintedScreen(window);
        saveScreenshot(shown.copy(placeOf(window).adjusted(-20, -40, 20, 20)), QStringLiteral("kit-window-%1").arg(kit.name));

        int clear = 0;
        const int black = blackWhereClear(window, shown, &clear);
        EXPECT_LE(black, clear / 50) << black << " of " << clear << " pixels left clear show black";
        if (platform::ClearBackground::fellBack(window)) {
            int compared = 0;
            const int differ = differFromDrawnOnOwnBackground(window, shown, &compared);
            EXPECT_LE(differ, compared / 50) << differ << " of " << compared << " pixels are not what the window draws";
        }

        int texts = 0;
        for (QWidget *widget : shownPart->findChildren<QWidget *>()) {
            if (widget->window() != window || !widget->isVisible() || textOf(widget).isEmpty())
                continue;
            ++texts;
            const QRect area = textArea(widget).intersected(shown.rect());
            ASSERT_FALSE(area.isEmpty()) << textOf(widget).toStdString();
            EXPECT_GE(readablePixels(shown, area), 12)
                << "\"" << textOf(widget).toStdString() << "\" cannot be read: under it lies "
                << commonest(shown, area).name().toStdString();
        }
        EXPECT_GT(texts, 0) << "a window with text";
        kit.hide();
        EXPECT_TRUE(settle());
    }
}

// The pointer moved onto an info button opens its window over it; the keyboard stays with the
// button's window, and the hover window stays open until the pointer leaves it.
TEST(KitWindowsOnDesktop, TheInfoHoverOpensUnderThePointerAndLeavesTheButtonsWindowActive)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    platform::Window window;
    auto *contents = new QWidget;
    window.setCentralWidget(contents);
    auto *typing = new QLineEdit(contents);
    typing->setGeometry(40, 20, 200, 24);
    auto *info = new QSInfoHoverButton(contents);
    info->setName("DefaultStyle");
    info->setTitle("Info");
    info->setGeometry(40, 80, 90, 26);
    info->setInfoTitle("Stapling");
    info->setInfoDescription("Marks where the staples go on the outer sheet.");
    window.setGeometry(300, 250, 500, 360);
    window.makeKeyAndOrderFront(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));
    typing->setFocus();
    QTest::mouseMove(contents, QPoint(300, 250));
    EXPECT_TRUE(settle());

    QTest::mouseMove(info, info->rect().center());
    platform::Window *hover = info->hoverWC()->window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return hover->isVisible(); }, DesktopTimeout)) << "hovering the button opens its window";
    // Shown, and whatever the window manager does with the keyboard for a new window done.
    const QImage shown = paintedScreen(hover);
    EXPECT_EQ(QApplication::activeWindow(), &window) << "the button's window keeps the keyboard";
    EXPECT_TRUE(typing->hasFocus());
    EXPECT_TRUE(hover->isVisible()) << "open while the pointer stays on it";
    saveScreenshot(shown.copy(placeOf(hover).adjusted(-40, -40, 40, 40)), "info-hover-on-desktop");

    QTest::mouseMove(contents, QPoint(400, 300));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hover->isVisible(); }, DesktopTimeout)) << "and closes when the pointer leaves it";
    EXPECT_EQ(QApplication::activeWindow(), &window);
}
