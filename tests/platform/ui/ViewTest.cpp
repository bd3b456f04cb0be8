#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/AspectRatioLayout.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <functional>
#include <limits>
#include <memory>

using platform::AspectRatioLayout;
using platform::MouseEvent;
using platform::TrackingArea;
using platform::View;

namespace {

const QColor marker(255, 0, 0);

// Draws a 5-point marker at (10, 60) and records what reaches it; a view that handles nothing
// passes events on like the base.
class Probe : public View
{
public:
    explicit Probe(QWidget *parent = nullptr, bool flipped = false)
        : View(parent), m_flipped(flipped)
    {
    }

    bool isFlipped() const override { return m_flipped; }

    void drawRect(const QRectF &dirty) override
    {
        dirtyRects << dirty;
        platform::GraphicsContext::current()->setFill(marker);
        platform::GraphicsContext::current()->fillRect(QRectF(10, 60, 5, 5));
    }
    void mouseDown(const MouseEvent &event) override { record("down", event); }
    void mouseDragged(const MouseEvent &event) override { record("dragged", event); }
    void mouseUp(const MouseEvent &event) override { record("up", event); }
    void mouseMoved(const MouseEvent &event) override { record("moved", event); }
    void mouseEntered(const MouseEvent &event) override { record("entered", event); }
    void mouseExited(const MouseEvent &event) override { record("exited", event); }
    void scrollWheel(const MouseEvent &event) override { record("wheel", event); }
    void keyDown(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Space)
            keys << event->text();
        else
            View::keyDown(event);
    }

    void record(const QString &name, const MouseEvent &event)
    {
        names << name;
        events << event;
    }
    MouseEvent last(const QString &name) const { return events.at(names.lastIndexOf(name)); }

    QList<QRectF> dirtyRects;
    QStringList names;
    QList<MouseEvent> events;
    QStringList keys;

private:
    bool m_flipped;
};

// Lets every click through except on its handle in the lower-left corner.
class Overlay : public Probe
{
public:
    using Probe::Probe;
    QWidget *hitTest(const QPointF &point) override
    {
        const QRectF handle(frame().topLeft(), QSizeF(20, 20));
        return handle.contains(point) ? this : nullptr;
    }
};

// A top-level plain widget of 200 x 150 holding the views, shown offscreen.
class ViewInWindow : public ::testing::Test
{
protected:
    ViewInWindow()
    {
        top.resize(200, 150);
        top.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&top));
    }
    // A probe shown at the Qt geometry given, in the window or in the parent given.
    template <class T = Probe>
    T *add(const QRect &geometry, bool flipped = false, QWidget *parent = nullptr)
    {
        auto *view = new T(parent ? parent : &top, flipped);
        view->setGeometry(geometry);
        view->show();
        return view;
    }
    void click(QPoint at) { QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, at); }
    void move(QPoint to) { QTest::mouseMove(top.windowHandle(), to); }
    QWidget top;
};

} // namespace

TEST(View, DrawsInAYUpSpaceFromTheLowerLeftCornerOrInQtsYDownSpaceWhenFlipped)
{
    // The marker covers Qt rows 35 to 40 counted up from the bottom; flipped, rows 60 to 65.
    for (const bool flipped : {false, true}) {
        Probe view(nullptr, flipped);
        view.resize(100, 100);
        const QPoint inMarker = flipped ? QPoint(12, 62) : QPoint(12, 38);
        EXPECT_EQ(view.grab().toImage().pixelColor(inMarker).name(), marker.name()) << flipped;
    }
    Probe view;
    view.resize(100, 100);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    view.render(&image, QPoint(), QRegion(0, 0, 10, 20));
    EXPECT_EQ(view.dirtyRects, QList<QRectF>{QRectF(0, 80, 10, 20)}) << "Qt's top strip is the top of the y-up space";
}

TEST(View, FramesAreYUpInAnUnflippedSuperviewAndKeptWhenAddedMovedAndWhenTheSuperviewGrows)
{
    Probe up;
    up.resize(200, 100);
    auto *inUp = new View(&up);
    inUp->setFrame(QRectF(10, 20, 30, 40));
    EXPECT_EQ(inUp->geometry(), QRect(10, 40, 30, 40)) << "top edge at 100 - 20 - 40";

    auto *subview = new View;
    subview->setFrame(QRectF(5, 10, 20, 20));
    up.addSubview(subview);
    up.resize(200, 160);
    EXPECT_EQ(subview->frame(), QRectF(5, 10, 20, 20)) << "given before it had a superview, still 10 above the bottom";

    auto *hidden = new View;
    hidden->hide();
    up.addSubview(hidden);
    EXPECT_TRUE(hidden->isHidden()) << "hidden on purpose stays hidden";
    up.addSubview(subview);
    EXPECT_EQ(up.subviews(), (QList<QWidget *>{inUp, hidden, subview})) << "added again: on top";

    std::unique_ptr<View> removed(subview);
    subview->removeFromSuperview();
    EXPECT_EQ(subview->frame(), QRectF(5, 10, 20, 20)) << "kept without a superview";
}

TEST_F(ViewInWindow, PointsConvertBetweenViewsAndTheWindowBase)
{
    auto *outer = new Probe(&top);
    outer->setFrame(QRectF(20, 30, 100, 80)); // Qt rows 40 to 120
    auto *flipped = new Probe(outer, true);
    flipped->setFrame(QRectF(10, 10, 50, 40)); // in outer: Qt rows 30 to 70
    EXPECT_EQ(outer->convertPointToView(QPointF(0, 0), nullptr), QPointF(20, 30));
    EXPECT_EQ(outer->convertPointFromView(QPointF(25, 35), nullptr), QPointF(5, 5));
    // The flipped view's top-left corner is outer's (10, 50).
    EXPECT_EQ(flipped->convertPointToView(QPointF(0, 0), outer), QPointF(10, 50));
    EXPECT_EQ(flipped->convertPointFromView(QPointF(10, 40), outer), QPointF(0, 10));
}

TEST_F(ViewInWindow, MouseLocationsAndWheelStepsArriveInTheViewsOwnSpace)
{
    Probe *view = add({20, 10, 100, 100});
    Probe *flipped = add({130, 10, 60, 60}, true);
    click(QPoint(30, 100));
    EXPECT_EQ(view->last("down").location, QPointF(10, 10)) << "Qt (30, 100): 10 right, 90 down in a 100-high view";
    click(QPoint(140, 30));
    EXPECT_EQ(flipped->last("down").location, QPointF(10, 20));

    const QPointF at(10, 30);
    QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
    EXPECT_EQ(view->last("wheel").scrollingDelta, QPointF(0, 2)) << "two steps upwards";
    EXPECT_EQ(view->last("wheel").location, QPointF(10, 70));
}

TEST_F(ViewInWindow, ClicksPassThroughAViewWhoseHitTestAnswersNothing)
{
    Probe *page = add({0, 0, 150, 150});
    auto *button = new QPushButton(&top);
    button->setGeometry(160, 10, 30, 30);
    button->show();
    Overlay *overlay = add<Overlay>({0, 0, 200, 150});
    QSignalSpy clicked(button, &QPushButton::clicked);

    QTest::mousePress(top.windowHandle(), Qt::LeftButton, {}, QPoint(100, 50));
    move(QPoint(120, 70));
    QTest::mouseRelease(top.windowHandle(), Qt::LeftButton, {}, QPoint(120, 70));
    EXPECT_EQ(page->names, (QStringList{"down", "dragged", "up"})) << "the page beneath got the whole drag";

    click(QPoint(175, 25));
    EXPECT_EQ(clicked.count(), 1) << "a plain button beneath is clicked too";

    click(QPoint(5, 145));
    EXPECT_EQ(overlay->names, (QStringList{"down", "up"})) << "its handle still takes clicks";
    EXPECT_EQ(overlay->last("down").location, QPointF(5, 5));
}

TEST_F(ViewInWindow, HoverPassesThroughAndLeavesWithThePointer)
{
    Probe *page = add({0, 0, 150, 150});
    Overlay *overlay = add<Overlay>({0, 0, 150, 150});
    page->addTrackingArea({{}, TrackingArea::MouseEnteredAndExited | TrackingArea::InVisibleRect, 0});
    page->setCursor(Qt::CrossCursor);

    move(QPoint(100, 50));
    EXPECT_EQ(page->last("entered").location, QPointF(100, 100));
    EXPECT_EQ(overlay->cursor().shape(), Qt::CrossCursor) << "the cursor of the view beneath shows";
    move(QPoint(180, 50)); // off both views
    EXPECT_EQ(page->names, (QStringList{"entered", "exited"}));
}

// The overlay lets its presses through, yet the pointer moves over its own tracking areas.
TEST_F(ViewInWindow, WhereItsPressesFallThroughAViewStillFollowsThePointerOverItsTrackingAreas)
{
    Probe *page = add({0, 0, 150, 150});
    Overlay *overlay = add<Overlay>({0, 0, 150, 150});
    const int middle = overlay->addTrackingArea({QRectF(50, 50, 50, 50), TrackingArea::MouseEnteredAndExited, 0});
    const int whole = overlay->addTrackingArea({{}, TrackingArea::MouseMoved | TrackingArea::InVisibleRect, 0});

    move(QPoint(30, 30));
    move(QPoint(75, 75)); // y-up (75, 75): into the middle
    move(QPoint(30, 75));
    EXPECT_EQ(overlay->names, (QStringList{"moved", "entered", "moved", "exited", "moved"}));
    EXPECT_EQ(overlay->last("entered").trackingArea, middle);
    EXPECT_EQ(overlay->last("moved").trackingArea, whole);
    EXPECT_EQ(overlay->last("moved").location, QPointF(30, 75));
    EXPECT_TRUE(page->names.isEmpty()) << "the page has no tracking areas";
}

// A press handed to a widget beneath gives it the focus as a press of its own would.
TEST_F(ViewInWindow, AClickFallingThroughToAFieldGivesItTheFocus)
{
    auto *field = new QLineEdit(&top);
    field->setGeometry(10, 10, 120, 24);
    field->show();
    auto *button = new QPushButton(&top);
    button->setGeometry(10, 60, 120, 24);
    button->setFocusPolicy(Qt::TabFocus);
    button->show();
    add<Overlay>({0, 0, 200, 150});
    top.activateWindow();

    click(QPoint(60, 20));
    EXPECT_TRUE(field->hasFocus());
    click(QPoint(60, 70));
    EXPECT_TRUE(field->hasFocus()) << "a button that takes the focus only by Tab leaves it where it was";
}

TEST_F(ViewInWindow, ASuperviewsHitTestDecidesForItsSubviewsAndUnhandledEventsGoOnToTheSuperview)
{
    // Two siblings inside one view: the overlay on top answers nothing, so the hit test from the
    // common superview names the page beneath.
    Probe *document = add({0, 0, 200, 150});
    Probe *page = add({0, 0, 200, 150}, false, document);
    Overlay *overlay = add<Overlay>({0, 0, 200, 150}, false, document);

    click(QPoint(60, 30));
    EXPECT_EQ(page->last("down").location, QPointF(60, 120));
    EXPECT_TRUE(overlay->names.isEmpty());

    auto *inner = new View(page);
    inner->setGeometry(50, 50, 50, 50);
    inner->show();
    click(QPoint(60, 60));
    EXPECT_EQ(page->last("down").location, QPointF(60, 90)) << "a plain view passes them on";
    page->setFocusPolicy(Qt::StrongFocus);
    QTest::keyClick(inner, Qt::Key_Space);
    EXPECT_EQ(page->keys, QStringList{" "});
}

TEST_F(ViewInWindow, TrackingAreasReportEnteringMovingAndLeaving)
{
    Probe *view = add({0, 0, 100, 100});
    const int corner = view->addTrackingArea({QRectF(0, 0, 20, 20), TrackingArea::MouseEnteredAndExited, 0});
    const int whole = view->addTrackingArea({{}, TrackingArea::MouseMoved | TrackingArea::InVisibleRect, 0});

    move(QPoint(50, 50));
    move(QPoint(10, 90)); // y-up (10, 10): into the corner
    move(QPoint(10, 50));
    EXPECT_EQ(view->names, (QStringList{"moved", "entered", "moved", "exited", "moved"}));
    EXPECT_EQ(view->last("entered").trackingArea, corner);
    EXPECT_EQ(view->last("entered").location, QPointF(10, 10));
    EXPECT_EQ(view->last("moved").trackingArea, whole);

    view->removeTrackingArea(whole);
    move(QPoint(15, 95));
    move(QPoint(150, 95)); // out of the view
    EXPECT_EQ(view->names.mid(5), (QStringList{"entered", "exited"})) << "no more moves";
}

// The pointer stays where it is while views move, grow, shrink, show, hide and make tracking
// areas under it: each hears the pointer as if it had moved there, no later than the next turn
// of the event loop, and one that still finds it where it was hears no move.
TEST_F(ViewInWindow, TrackingAreasFollowEveryChangeUnderAStillPointer)
{
    Probe *left = add({10, 10, 60, 60});
    Probe *right = add({120, 10, 60, 60});
    for (Probe *probe : {left, right})
        probe->addTrackingArea({{}, TrackingArea::MouseEnteredAndExited | TrackingArea::MouseMoved | TrackingArea::InVisibleRect, 0});
    move(QPoint(40, 40));
    ASSERT_EQ(left->names, (QStringList{"entered", "moved"}));
    const auto settled = [] { QCoreApplication::processEvents(); };

    struct Step
    {
        const char *change;
        std::function<void()> make;
        QStringList left, right;
    };
    const QList<Step> steps{
        {"nothing changes", [] {}, {}, {}},
        {"the views swap places", [&] { left->move(120, 10); right->move(10, 10); }, {"exited"}, {"entered", "moved"}},
        {"the one under the pointer shrinks from it", [&] { right->resize(20, 20); }, {}, {"exited"}},
        {"it grows under it again", [&] { right->resize(60, 60); }, {}, {"entered", "moved"}},
        {"it moves a little under it", [&] { right->move(15, 10); }, {}, {"moved"}},
        {"it is hidden", [&] { right->hide(); }, {}, {"exited"}},
        {"it is shown", [&] { right->show(); }, {}, {"entered", "moved"}},
        {"an area is made under the pointer", [&] { right->addTrackingArea({QRectF(0, 0, 60, 60), TrackingArea::MouseEnteredAndExited, 0}); },
         {}, {"entered"}},
    };
    for (const Step &step : steps) {
        for (Probe *probe : {left, right}) {
            probe->names.clear();
            probe->events.clear();
        }
        step.make();
        settled();
        EXPECT_EQ(left->names, step.left) << step.change;
        EXPECT_EQ(right->names, step.right) << step.change;
    }
    EXPECT_EQ(right->last("entered").location, QPointF(25, 30)) << "where the pointer lies in the moved view, y-up";
}

TEST(View, CursorRectanglesSetTheCursorUnlessTheWindowDisablesThem)
{
    platform::Window window;
    auto *view = new View;
    window.setCentralWidget(view);
    window.resize(100, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint origin = view->mapTo(&window, QPoint(0, 0));
    view->addCursorRect(QRectF(0, 0, 20, 20), Qt::PointingHandCursor);
    const struct { QPoint at; bool disabled; Qt::CursorShape shape; } moves[] = {
        {{10, 10}, false, Qt::PointingHandCursor}, {{50, 90}, false, Qt::ArrowCursor},
        {{10, 10}, true, Qt::ArrowCursor}, {{12, 12}, false, Qt::PointingHandCursor},
    };
    for (const auto &m : moves) {
        m.disabled ? window.disableCursorRects() : window.enableCursorRects();
        QTest::mouseMove(window.windowHandle(), origin + QPoint(m.at.x(), view->height() - m.at.y()));
        EXPECT_EQ(view->cursor().shape(), m.shape) << m.at.x() << "," << m.at.y() << (m.disabled ? " disabled" : "");
    }
}

TEST(AspectRatioLayout, KeepsItsOneItemInProportionCentredInItsSpaceAndRefusesRatiosThatAreNoProportion)
{
    QWidget container;
    auto *layout = new AspectRatioLayout(&container);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *first = new QWidget;
    auto *preview = new QWidget;
    layout->addWidget(first);
    platform::LogCapture log;
    layout->addWidget(preview);
    EXPECT_EQ(layout->count(), 1);
    EXPECT_EQ(layout->itemAt(0)->widget(), preview);
    EXPECT_TRUE(log.contains("Warning: An aspect-ratio layout holds one item"));

    const struct { QSize space; double ratio; QRect expected; } cases[] = {
        {{200, 100}, 1.0, {50, 0, 100, 100}},  // wider space: full height
        {{200, 100}, 4.0, {0, 25, 200, 50}},   // taller space: full width
    };
    for (const auto &fit : cases) {
        layout->setRatio(fit.ratio);
        layout->setGeometry(QRect(QPoint(), fit.space));
        EXPECT_EQ(preview->geometry(), fit.expected) << fit.space.width() << "x" << fit.space.height() << " at " << fit.ratio;
    }

    layout->setRatio(0.5);
    layout->setRatio(std::numeric_limits<double>::infinity());
    EXPECT_EQ(layout->ratio(), 0.5);
    EXPECT_TRUE(log.contains("Warning: Aspect ratio inf ignored"));
}

TEST(View, SubviewsTakeUpTheirMasksShareOfASuperviewResizeInProportionToTheFlexibleLengths)
{
    View superview;
    superview.setFrame(QRectF(0, 0, 400, 300));
    auto *leftAndWidth = new View(&superview);
    leftAndWidth->setFrame(QRectF(50, 20, 150, 100));
    leftAndWidth->setAutoresizingMask(platform::Autoresizing::FlexibleLeftMargin | platform::Autoresizing::WidthSizable);
    auto *heightAndTop = new View(&superview);
    heightAndTop->setFrame(QRectF(10, 20, 30, 100));
    heightAndTop->setAutoresizingMask(platform::Autoresizing::HeightSizable | platform::Autoresizing::FlexibleTopMargin);
    auto *fixed = new View(&superview);
    fixed->setFrame(QRectF(5, 10, 20, 20));

    superview.setFrame(QRectF(0, 0, 500, 440));
    EXPECT_EQ(leftAndWidth->frame(), QRectF(75, 20, 225, 100)) << "100 shared 50 : 150";
    EXPECT_EQ(heightAndTop->frame(), QRectF(10, 20, 30, 150)) << "140 shared 100 : 180 (top margin 300-20-100)";
    EXPECT_EQ(fixed->frame(), QRectF(5, 10, 20, 20));
}

// Every subview hears of its superview's new size, once, with the size before; one without a mask
// keeps its frame.
TEST(View, EverySubviewHearsOfItsSuperviewsNewSizeAndOneWithoutAMaskKeepsItsFrame)
{
    struct Listening : View
    {
        using View::View;
        QList<QSizeF> heard;
        void resizeWithOldSuperviewSize(const QSizeF &oldSize) override
        {
            heard.append(oldSize);
            View::resizeWithOldSuperviewSize(oldSize);
        }
    };
    View superview;
    superview.setFrame(QRectF(0, 0, 400, 300));
    auto *plain = new Listening(&superview);
    plain->setFrame(QRectF(5, 10, 20, 20));
    auto *sizable = new Listening(&superview);
    sizable->setFrame(QRectF(0, 0, 400, 300));
    sizable->setAutoresizingMask(platform::Autoresizing::WidthSizable | platform::Autoresizing::HeightSizable);

    superview.setFrame(QRectF(0, 0, 400, 360));
    EXPECT_EQ(plain->heard, QList<QSizeF>{QSizeF(400, 300)});
    EXPECT_EQ(sizable->heard, QList<QSizeF>{QSizeF(400, 300)});
    EXPECT_EQ(plain->frame(), QRectF(5, 10, 20, 20));
    EXPECT_EQ(sizable->frame(), QRectF(0, 0, 400, 360));
    superview.setFrame(QRectF(0, 0, 400, 360));
    EXPECT_EQ(plain->heard.size(), 1) << "the same size is no change";
}

TEST(View, ASubviewFarOffStaysFarOffWhenItsSuperviewGrows)
{
    platform::View board;
    board.setFrame(QRectF(0, 0, 100, 100));
    auto *far = new platform::View(&board);
    far->setGeometry(0, 0, 10, 10);
    far->move(0, std::numeric_limits<int>::max() - 50);
    board.setFrame(QRectF(0, 0, 100, 300));
    EXPECT_EQ(far->y(), QWIDGETSIZE_MAX) << "kept, not wrapped round to a negative place";
}
