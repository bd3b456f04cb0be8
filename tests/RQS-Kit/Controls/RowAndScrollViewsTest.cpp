#include "RQS-Kit/Controls/QSFrameLessWindow.h"
#include "RQS-Kit/Controls/QSLayoutTranslationView.h"
#include "RQS-Kit/Controls/QSOverlayScrollView.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "RQS-Kit/Controls/QSShadowedScrollView.h"
#include "RQS-Kit/Controls/QSTextField.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "platform/ui/ViewEffects.h"
#include "platform/ui/WindowShadow.h"

#include "support/Desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScopeGuard>
#include <QScrollBar>
#include <QVariantAnimation>

#include <gtest/gtest.h>

#include <QTest>

namespace {

struct RowClient : QObject, QSRowViewDelegate
{
    int clicks = 0;
    QStringList titles;
    void rowWasClicked(QSRowView *) override { ++clicks; }
    bool rowChangedTitle(QSRowView *, const QString &title) override
    {
        titles << title;
        return false;
    }
};

// QTest's double click is the second press alone.
void doubleClick(QWidget &widget, QPoint at)
{
    QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(&widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, at);
}

// A shadowed scroll view 200 by 100 over a document 500 high, at the top of the shown window.
QSShadowedScrollView *showShadowedScroll(QWidget &window)
{
    window.resize(200, 200);
    auto *scroll = new QSShadowedScrollView(&window);
    scroll->setGeometry(0, 0, 200, 100);
    auto *document = new QWidget;
    document->resize(200, 500);
    scroll->setDocumentView(document);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    window.show();
    return scroll;
}

} // namespace

TEST(RowView, AClickOnAnEditableTitleWaitsADoubleClickEditsEscapeRestoresReturnCommits)
{
    QSRowView row;
    RowClient client;
    row.setDelegate(&client);
    row.setEditable(true);
    row.setTitle(QStringLiteral("Shade"));
    row.resize(300, 58);
    row.show();
    // The light title lies at y-up 23 to 41: Qt's y 26 is inside it.
    const QPoint onTitle(50, 26);
    QTest::mouseClick(&row, Qt::LeftButton, {}, onTitle);
    EXPECT_EQ(client.clicks, 0) << "held back for a double click";
    QTRY_COMPARE(client.clicks, 1);

    QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(290, 5));
    EXPECT_EQ(client.clicks, 2) << "off the title a click is told at once";

    doubleClick(row, onTitle);
    ASSERT_TRUE(row.isEditing());
    row.editor()->setText(QStringLiteral("Gloss"));
    QTest::keyClick(row.editor(), Qt::Key_Escape);
    EXPECT_FALSE(row.isEditing());
    EXPECT_EQ(row.title(), QStringLiteral("Shade"));

    doubleClick(row, onTitle);
    row.editor()->setText(QStringLiteral("Gloss"));
    QTest::keyClick(row.editor(), Qt::Key_Return);
    EXPECT_EQ(row.title(), QStringLiteral("Gloss"));
    EXPECT_EQ(client.clicks, 2) << "double clicks report no click";
}

// The editor loses its focus while the row is being destroyed: the row, half gone, must not take it
// as the end of the edit.
TEST(RowView, ARowDestroyedWhileItsTitleIsEditedTellsNoOne)
{
    RowClient client;
    auto row = std::make_unique<QSRowView>();
    row->setDelegate(&client);
    row->setEditable(true);
    row->setTitle(QStringLiteral("Shade"));
    row->resize(300, 58);
    row->show();
    row->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(row.get()));
    doubleClick(*row, QPoint(50, 26));
    ASSERT_TRUE(row->isEditing());
    ASSERT_TRUE(row->editor()->hasFocus());
    row->editor()->setText(QStringLiteral("Gloss"));
    row.reset();
    EXPECT_EQ(client.titles, QStringList());
}

TEST(ScrollViews, BandsFadeInOverTheFirst15PointsBeyondAnEdge)
{
    const auto at = [](double vy) { return QSShadowedScrollView::bandAlphas(QRectF(0, vy, 100, 100), 500, -1); };
    EXPECT_EQ(at(400).top, 0);
    EXPECT_EQ(at(392.5).top, 0.5);
    EXPECT_EQ(at(385).top, 1);
    EXPECT_EQ(at(7.5).bottom, 0.5);
    const auto content = [](double vy) { return QSShadowedScrollView::bandAlphas(QRectF(0, vy, 100, 100), 500, 300).bottom; };
    EXPECT_EQ(content(190), 0);
    EXPECT_EQ(content(200), 0);
    EXPECT_GT(content(201), 0);
}

TEST(ScrollViews, TheShadowedViewSetsItsBandsAsItScrolls)
{
    QWidget window;
    QSShadowedScrollView *scroll = showShadowedScroll(window);
    ASSERT_EQ(scroll->documentVisibleRect().height(), 100);
    scroll->scrollToPoint(QPointF(0, 400));
    EXPECT_EQ(platform::viewAlpha(scroll->topShadow()), 0) << "at the very top";
    scroll->scrollToPoint(QPointF(0, 393));
    EXPECT_NEAR(platform::viewAlpha(scroll->topShadow()), 7.0 / 15, 1e-6);
    EXPECT_EQ(scroll->bottomShadow()->geometry(), QRect(0, 86, 200, 14));
    scroll->setShowTopShadow(false);
    scroll->setShowTopShadow(true);
    EXPECT_EQ(window.children().last(), static_cast<QObject *>(scroll->topShadow())) << "back in front";
}

TEST(ScrollViews, WithShiftHeldAloneTheBandsFadeOverTwoAndAHalfSeconds)
{
    QWidget window;
    QSShadowedScrollView *scroll = showShadowedScroll(window);
    scroll->scrollToPoint(QPointF(0, 400));
    ASSERT_EQ(platform::viewAlpha(scroll->topShadow()), 0);

    QTest::keyPress(&window, Qt::Key_Shift, Qt::ShiftModifier);
    const auto releaseShift = qScopeGuard([&window] { QTest::keyRelease(&window, Qt::Key_Shift); });
    ASSERT_EQ(QGuiApplication::queryKeyboardModifiers(), Qt::ShiftModifier);
    scroll->scrollToPoint(QPointF(0, 300));
    const auto *fade = scroll->topShadow()->findChild<QVariantAnimation *>();
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->duration(), 2500);
    EXPECT_EQ(fade->endValue().toDouble(), 1.0);
    EXPECT_LT(platform::viewAlpha(scroll->topShadow()), 1.0) << "still on its way";

    QTest::keyPress(&window, Qt::Key_Control, Qt::ShiftModifier | Qt::ControlModifier);
    scroll->scrollToPoint(QPointF(0, 400));
    EXPECT_EQ(platform::viewAlpha(scroll->topShadow()), 0) << "Shift with another modifier is no slow-down";
    QTest::keyRelease(&window, Qt::Key_Control, Qt::ShiftModifier);
}

TEST(ScrollViews, OverlayContentFillsTheBoundsAndAFramelessWindowStaysFrameless)
{
    QSOverlayScrollView scroll;
    scroll.resize(200, 100);
    auto *document = new QWidget;
    document->resize(200, 500);
    scroll.setDocumentView(document);
    scroll.show();
    EXPECT_EQ(scroll.viewport()->geometry(), scroll.rect());
    EXPECT_TRUE(scroll.overlayScroller()->isVisible());

    const QSFrameLessWindow window(nullptr, Qt::Window | Qt::WindowTitleHint);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowTitleHint));
}

namespace {

// Pixels of the screen's own picture in the rectangle that are dark.
int darkPixels(const QImage &screen, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += screen.pixelColor(x, y).lightness() < 128;
    return dark;
}

} // namespace

// Openbox composites nothing and draws no shadow for a frameless window: the window casts its own.
TEST(FramelessWindowOnDesktop, CastsAShadowBeyondItsEdgesOverWhatLiesBeneath)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QWidget beneath(nullptr, Qt::FramelessWindowHint);
    beneath.setStyleSheet("background: white;");
    beneath.setGeometry(100, 100, 500, 400);
    beneath.show();
    paintedScreen(&beneath);

    QSFrameLessWindow window;
    auto *content = new QWidget(&window);
    content->setStyleSheet("background: white;");
    content->setGeometry(0, 0, 200, 100);
    window.setGeometry(250, 200, 200, 100);
    window.show();
    ASSERT_FALSE(settledFrame(&window).isEmpty());
    const QRect shown = window.geometry();
    ASSERT_TRUE(QRect(100, 100, 500, 400).contains(shown.adjusted(-30, -30, 30, 30)));
    const QRect below(shown.left() + 20, shown.bottom() + 2, shown.width() - 40, 5);
    const QRect farBelow(shown.left() + 20, shown.bottom() + 40, shown.width() - 40, 5);
    const QRect insideEdge(shown.left() + 20, shown.bottom() - 5, shown.width() - 40, 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return darkPixels(screenNow(), below) > below.width() * below.height() / 5; }, DesktopTimeout))
        << darkPixels(screenNow(), below) << " dark pixels below the window";
    const QImage now = screenNow();
    EXPECT_EQ(darkPixels(now, farBelow), 0) << "the shadow fades out";
    EXPECT_EQ(darkPixels(now, insideEdge), 0) << "the window itself is not covered";
    EXPECT_FALSE(platform::WindowShadow::compositing()) << "openbox has no compositor";

    window.move(300, 250);
    const QRect movedBelow = below.translated(50, 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return darkPixels(screenNow(), movedBelow) > movedBelow.width() * movedBelow.height() / 5; }, DesktopTimeout))
        << "the shadow follows the window";
    // The shadow is a window of its own: the screen shows it, a grab of the window would not.
    if (!qEnvironmentVariableIsEmpty("FOLDWISE_TEST_SCREENSHOTS"))
        screenNow().copy(shown.adjusted(0, 0, 100, 100)).save(qEnvironmentVariable("FOLDWISE_TEST_SCREENSHOTS") + "/frameless-shadow.png");
    window.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return darkPixels(screenNow(), movedBelow) == 0; }, DesktopTimeout)) << "and goes with it";
}

TEST(LayoutTranslationView, WhileActiveItAutoresizesAndHoldsItsNewSizeInItsConstraints)
{
    platform::View superview;
    superview.setFrame(QRectF(0, 0, 400, 300));
    auto *alone = new QSLayoutTranslationView(&superview);
    auto *shared = new QSLayoutTranslationView(&superview);
    for (QSLayoutTranslationView *view : {alone, shared}) {
        view->setFrame(QRectF(50, 20, 150, 100));
        view->setActive(true);
    }
    alone->setAutoresizingMask(platform::Autoresizing::WidthSizable);
    shared->setAutoresizingMask(platform::Autoresizing::WidthSizable | platform::Autoresizing::FlexibleLeftMargin);

    superview.setFrame(QRectF(0, 0, 500, 300));
    EXPECT_EQ(alone->frame(), QRectF(50, 20, 250, 100)) << "the only flexible part takes all 100";
    EXPECT_EQ(shared->frame(), QRectF(75, 20, 225, 100)) << "50 : 150";
    EXPECT_EQ(alone->widthConstraint().constant(), 250);
    alone->resize(320, 90);
    EXPECT_EQ(alone->size(), QSize(250, 100)) << "held by its constraints";

    alone->setActive(false);
    alone->setFrame(QRectF(0, 0, 320, 90));
    EXPECT_EQ(alone->frame(), QRectF(0, 0, 320, 90));
    EXPECT_EQ(alone->heightConstraint().constant(), 90) << "inactive constraints still follow";
    EXPECT_EQ(alone->widthConstraint().view(), nullptr);
}
