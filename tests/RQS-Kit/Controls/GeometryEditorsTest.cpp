#include "RQS-Kit/Controls/QS3DView.h"
#include "RQS-Kit/Controls/QSCropView.h"
#include "RQS-Kit/Controls/QSResizeView.h"
#include "RQS-Kit/Controls/QSRotationView.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "RQS-Kit/Helper/QSHintController.h"
#include "platform/foundation/PropertyList.h"
#include "platform/layers/Layer.h"
#include "support/PlacedPointer.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMatrix4x4>
#include <QTest>

#include <cmath>

namespace {

// QTest takes y-down points; the views' numbers are y-up.
QPoint down(const QWidget &view, double x, double y) { return QPoint(int(x), int(view.height() - y)); }

struct Reports : QObject, QSResizeViewDelegate, QSRotationViewDelegate
{
    QList<QSizeF> changes;
    quint64 sides = 0;
    QList<double> angles;
    void resizeViewDidResize(QSResizeView *, quint64 s, const QSizeF &change, int) override { sides = s, changes << change; }
    void rotationViewDidRotate(QSRotationView *, double degrees, bool) override { angles << degrees; }
};

} // namespace

TEST(ResizeView, APressThreeFromTheRightAndATwentyPointDragReportTwentyThenOnlyWhatIsNew)
{
    QSResizeView view;
    view.resize(100, 100);
    Reports reports;
    view.setDelegate(&reports);
    QTest::mousePress(&view, Qt::LeftButton, {}, down(view, 97, 50));
    QTest::mouseMove(&view, down(view, 117, 50));
    EXPECT_EQ(reports.sides, quint64(QSResizeView::Right));
    EXPECT_EQ(reports.changes.value(1), QSizeF(20, 0));
    view.resize(120, 100);
    QTest::mouseMove(&view, down(view, 122, 50));
    EXPECT_EQ(reports.changes.last(), QSizeF(5, 0)) << "measured against the grown view";
    QTest::mouseRelease(&view, Qt::LeftButton, {}, down(view, 122, 50));
}

TEST(ResizeView, HoveredCornersAskForCursorsAt45And135BeforeAnyPressAndTurnedLayersAddTheirAngle)
{
    QSResizeView view;
    view.resize(100, 100);
    view.updateCursorForLocation({97, 97}, 0);
    EXPECT_EQ(view.lastCursorAngle(), 45);
    EXPECT_TRUE(view.currentCursor().has_value()) << "shown from the hovered point, not the last press";
    view.updateCursorForLocation({97, 3}, 0);
    EXPECT_EQ(view.lastCursorAngle(), 135);
    view.updateCursorForLocation({97, 50}, 30);
    EXPECT_EQ(view.lastCursorAngle(), 30);
    view.updateCursorForLocation({50, 50}, 0);
    EXPECT_FALSE(view.currentCursor().has_value());
}

TEST(ResizeView, TheResizeCursorShowsTheShippedHintTextNotItsKey)
{
    QWidget window;
    auto *field = new QLabel(&window);
    const std::shared_ptr<QSHintController> hints = QSHintController::addHintConrollerForWindow(&window, field);
    auto *view = new QSResizeView(&window);
    view->resize(100, 100);
    view->updateCursorForLocation({97, 97}, 0);
    const QVariantMap shipped =
        platform::PropertyList::read(qEnvironmentVariable("FOLDWISE_RESOURCES") + "/en.lproj/Localizable.strings").toMap();
    ASSERT_TRUE(shipped.contains("ResizeFrameHint"));
    EXPECT_EQ(field->text(), shipped.value("ResizeFrameHint").toString());
    EXPECT_NE(field->text(), "ResizeFrameHint");
}

TEST(ResizeView, PressesOutsideTheAllowedSidesFallThroughAndASmallViewPrefersItsLeftSide)
{
    QSResizeView view;
    view.resize(100, 100);
    view.setAllowedSides(QSResizeView::Top);
    EXPECT_EQ(view.hitTest({3, 50}), nullptr);
    EXPECT_EQ(view.hitTest({50, 95}), &view);
    view.setAllowedSides(0);
    EXPECT_EQ(view.hitTest({50, 95}), nullptr);
    view.setAllowedSides(63);
    view.resize(20, 20);
    EXPECT_EQ(view.grabForLocation({10, 10}).sides & (QSResizeView::Left | QSResizeView::Right), quint64(QSResizeView::Left));
}

TEST(RotationView, RadiusIs70Or35AndOnlyTheRingWithinEightPointsTakesPresses)
{
    QSRotationView view;
    view.resize(200, 100);
    view.show();
    EXPECT_EQ(view.radius(), 70);
    EXPECT_EQ(view.hitTest({100 + 78, 50}), &view);
    EXPECT_EQ(view.hitTest({100 + 79, 50}), nullptr);
    EXPECT_EQ(view.hitTest({100, 50}), nullptr) << "the disc lets presses through";
    view.setRadiusReduction(50);
    EXPECT_EQ(view.radius(), 35);
}

TEST(RotationView, ADragFrom170ToMinus170DegreesTurnsOnByTwentyInsteadOfJumpingBack)
{
    QSRotationView view;
    view.resize(200, 200);
    view.show();
    Reports reports;
    view.setDelegate(&reports);
    const auto onRing = [&view](double degrees) {
        const double a = degrees * M_PI / 180;
        return down(view, 100 + 95 * std::cos(a), 100 + 95 * std::sin(a));
    };
    QTest::mousePress(&view, Qt::LeftButton, {}, onRing(170));
    QTest::mouseMove(&view, onRing(180));
    QTest::mouseMove(&view, onRing(-170));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, onRing(-170));
    ASSERT_FALSE(reports.angles.isEmpty());
    EXPECT_NEAR(reports.angles.last(), 20, 1.0);
}

namespace {

// A window whose editor lies over a label, with the hint line of the window beneath both.
struct EditorOverLabel
{
    QWidget window;
    QLabel *beneath = new QLabel(QStringLiteral("beneath"), &window);
    QLabel *hints = new QLabel(&window);
    std::shared_ptr<QSHintController> controller = QSHintController::addHintConrollerForWindow(&window, hints);

    EditorOverLabel()
    {
        window.resize(300, 300);
        beneath->setGeometry(0, 0, 300, 280);
        hints->setGeometry(0, 280, 300, 20);
    }
    void show(QWidget *editor)
    {
        editor->setParent(&window);
        editor->setGeometry(50, 40, 200, 200);
        editor->show();
        placePointerAway();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    // What Qt shows at a window point: the cursor of the first widget up from the one there that has one.
    Qt::CursorShape shownShape(const QPoint &at) const
    {
        QWidget *widget = window.childAt(at);
        while (widget && !widget->testAttribute(Qt::WA_SetCursor) && !widget->isWindow())
            widget = widget->parentWidget();
        return widget && widget->testAttribute(Qt::WA_SetCursor) ? widget->cursor().shape() : Qt::ArrowCursor;
    }
};

} // namespace

// The cursor and hint belong to the edge band: moved inward in steps of ten from the right edge,
// the pointer takes them along only while it is within ten points of the edge, though everything
// inside lets its presses through to the label beneath.
TEST(ResizeView, ThePointerMovingInwardFromTheRightEdgeLeavesTheCursorAndHintAtTheBand)
{
    EditorOverLabel scene;
    auto *view = new QSResizeView;
    scene.show(view);
    const QString hint = scene.hints->text();
    for (int x = 248; x >= 150; x -= 10) {
        const QPoint at(x, 140);
        QTest::mouseMove(scene.window.windowHandle(), at);
        const bool inBand = x > 250 - 10;
        EXPECT_EQ(scene.shownShape(at) == Qt::BitmapCursor, inBand) << "cursor at x " << x;
        EXPECT_EQ(view->currentCursor().has_value(), inBand) << "x " << x;
        EXPECT_EQ(scene.hints->text() != hint, inBand) << "hint at x " << x << ": " << scene.hints->text().toStdString();
    }
}

// Only the ring turns: from the ring to the centre the turning cursor goes once the pointer is more
// than eight points inside it.
TEST(RotationView, ThePointerMovingFromTheRingToTheCentreLeavesTheCursorAtTheRing)
{
    EditorOverLabel scene;
    auto *view = new QSRotationView;
    view->setHint(QStringLiteral("Drag the ring"));
    scene.show(view);
    // A 200 × 200 view has radius 95; its centre is the window's (150, 140).
    for (int inward = 0; inward <= 95; inward += 5) {
        const QPoint at(150 + 95 - inward, 140);
        QTest::mouseMove(scene.window.windowHandle(), at);
        const bool onRing = inward <= 8;
        EXPECT_EQ(scene.shownShape(at) == Qt::BitmapCursor, onRing) << inward << " inside the ring";
        EXPECT_EQ(scene.hints->text() == "Drag the ring", onRing) << inward << " inside the ring";
    }
}

namespace {

// Shows a 100-point editor inside a subview of a 3-D view turned by 30 degrees, hovers the point
// of the editor whose own cursor angle is 0, and answers the editor.
template <class Editor>
void expectCursorTurnedBy30(const QPointF &over)
{
    QWidget host;
    host.resize(300, 300);
    auto *view = new QS3DView(&host);
    view->setFrame(QRectF(0, 0, 300, 300));
    auto *subview = new platform::View;
    subview->setFrame(QRectF(50, 50, 160, 160));
    view->addSubview(subview);
    QMatrix4x4 turn;
    turn.rotate(30, 0, 0, 1);
    subview->layer()->setTransform(turn);
    auto *editor = new Editor;
    subview->addSubview(editor);
    editor->setFrame(QRectF(10, 10, 100, 100));
    placePointerAway();
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    const QPointF inView = subview->layer()->convertPointToLayer(editor->convertPointToView(over, subview), view->layer());
    QTest::mouseMove(host.windowHandle(), QPoint(qRound(inView.x()), qRound(300 - inView.y())));
    const char *name = Editor::staticMetaObject.className();
    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&host);
    ASSERT_TRUE(stack && stack->keys().contains(QVariant::fromValue(static_cast<QObject *>(editor)))) << name << ": its cursor is shown";
    EXPECT_NEAR(editor->lastCursorAngle(), 30, 1) << name << ": within the pixel the pointer stands on";
}

} // namespace

// Shown turned, an editor turns its cursors by as much more than the edge or ring under the
// pointer asks for, with nothing set by its client.
TEST(GeometryEditors, CursorsTurnWithTheSubviewOfA3DViewTheEditorIsShownIn)
{
    expectCursorTurnedBy30<QSResizeView>({97, 50});
    expectCursorTurnedBy30<QSRotationView>({95, 50}); // on the ring: radius 45 about (50, 50)
}

TEST(CropView, A400By200ImageIn300PointsShowsAt75AndTheCropIsTheCentred150PointSquare)
{
    QSCropView view;
    view.resize(300, 300);
    EXPECT_EQ(view.cropRect(), QRectF(0, 0, 1, 1)) << "no ratio yet: left alone, not NaN";
    view.setActiveAreaRatio(400.0 / 200.0);
    EXPECT_EQ(view.activeArea(), QRectF(0, 75, 300, 150));
    EXPECT_EQ(view.cropRect(), QRectF(0.25, 0, 0.5, 1));
    view.setCropRatio(2.0);
    EXPECT_EQ(view.cropRectInView().width(), 2 * view.cropRectInView().height());
}

TEST(CropView, ADragBeyondTheLeftEdgeStopsThereAndAPressBesideTheImageMovesNothing)
{
    QSCropView view;
    view.resize(300, 300);
    view.setActiveAreaRatio(2.0);
    view.show();
    QTest::mousePress(&view, Qt::LeftButton, {}, down(view, 150, 150));
    QTest::mouseMove(&view, down(view, 10, 150));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, down(view, 10, 150));
    EXPECT_EQ(view.cropRect(), QRectF(0, 0, 0.5, 1));
    QTest::mousePress(&view, Qt::LeftButton, {}, down(view, 150, 20));
    QTest::mouseMove(&view, down(view, 290, 20));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, down(view, 290, 20));
    EXPECT_EQ(view.cropRect(), QRectF(0, 0, 0.5, 1));
}
