#include "RQS-Kit/Controls/QSGridItem.h"
#include "platform/layers/Layer.h"
#include "platform/ui/ViewEffects.h"

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <memory>

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QScopeGuard>
#include <QTest>

namespace {

struct Recorder : QObject, QSGridItemDelegate
{
    void gridItemShouldRemove(QSGridItem *) override { ++removals; }
    void gridItemChangedPinState(QSGridItem *, bool pinned) override { pins << pinned; }
    int removals = 0;
    QList<bool> pins;
};

QImage plain(const QColor &colour)
{
    QImage picture(160, 120, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// Grabs until the probe holds or a second has passed: the buttons fade in.
QImage grabWhen(QWidget &tile, const std::function<bool(const QImage &)> &holds)
{
    QElapsedTimer clock;
    clock.start();
    QImage shown = tile.grab().toImage();
    while (!holds(shown) && clock.elapsed() < 1000) {
        QTest::qWait(20);
        shown = tile.grab().toImage();
    }
    return shown;
}

bool darker(const QColor &colour, int limit) { return colour.red() < limit && colour.green() < limit && colour.blue() < limit; }

} // namespace

// On a light picture the hovered tile shows a dark remove disc in its top left corner and a pin in
// its top right one; a click on each does what it shows.
TEST(GridItem, AHoveredTileDrawsItsRemoveAndPinButtonsAndTheirClicksRemoveAndPin)
{
    QWidget window;
    window.resize(200, 160);
    QSGridItem tile(QSGridItem::HasRemove | QSGridItem::HasPin | QSGridItem::Selectable, &window);
    tile.setImage(plain(QColor(240, 240, 240)));
    tile.setFrame(QRectF(20, 20, 160, 120));
    Recorder recorder;
    tile.setDelegate(&recorder);
    placePointerAway();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint removeCentre(5 + 10, 5 + 10), pinCentre(160 - 34 + 14, 5 + 10);

    const QImage away = tile.grab().toImage();
    EXPECT_TRUE(PixelProbe::isNear(away, removeCentre + QPoint(6, 0), QColor(240, 240, 240))) << "no button away from the tile";

    QTest::mouseMove(&tile, QPoint(80, 60));
    const QImage hovered = grabWhen(tile, [&](const QImage &shown) { return darker(shown.pixelColor(removeCentre + QPoint(6, 0)), 100); });
    EXPECT_TRUE(tile.isHovered());
    EXPECT_TRUE(darker(hovered.pixelColor(removeCentre + QPoint(6, 0)), 100)) << PixelProbe::describe(hovered, removeCentre + QPoint(6, 0)).toStdString();
    EXPECT_GT(hovered.pixelColor(removeCentre).lightness(), 200) << "the white cross in the disc";
    EXPECT_TRUE(darker(hovered.pixelColor(pinCentre + QPoint(-11, 0)), 100)) << PixelProbe::describe(hovered, pinCentre + QPoint(-11, 0)).toStdString();
    EXPECT_TRUE(PixelProbe::isNear(hovered, QPoint(80, 60), QColor(240, 240, 240))) << "the picture stays clear";

    // Pressed, the pin takes its pressed look; released, the tile is pinned with the set pin shown.
    QTest::mouseMove(&tile, pinCentre);
    QTest::mousePress(&tile, Qt::LeftButton, {}, pinCentre);
    QTest::mouseRelease(&tile, Qt::LeftButton, {}, pinCentre);
    EXPECT_EQ(recorder.pins, QList<bool>{true});
    EXPECT_TRUE(tile.isPinned());
    QTest::mouseMove(&tile, QPoint(80, 60));
    const QImage pinned = tile.grab().toImage();
    const QColor head = pinned.pixelColor(126 + 17, 5 + 6);
    EXPECT_TRUE(head.red() > 150 && head.green() < 110) << "the set pin has a red head, not " << PixelProbe::describe(pinned, QPoint(143, 11)).toStdString();

    QTest::mouseMove(&tile, removeCentre);
    QTest::mousePress(&tile, Qt::LeftButton, {}, removeCentre);
    QTest::mouseRelease(&tile, Qt::LeftButton, {}, removeCentre);
    EXPECT_EQ(recorder.removals, 1);
    EXPECT_FALSE(tile.isSelected()) << "a button click does not select";
}

// A badge keeps its size and sits at the top right corner, moved by its own origin, also when the
// tile grows; a new badge replaces the old one, which its caller gets back as it gave it.
TEST(GridItem, ABadgeSitsAtTheTopRightCornerByItsOffsetAndStaysThere)
{
    QWidget window;
    QSGridItem tile(0, &window);
    tile.setImage(plain(Qt::gray));
    tile.setFrame(QRectF(0, 0, 100, 100));
    auto *badge = new platform::View;
    badge->setFrame(QRectF(6, 4, 24, 16));
    tile.setBadge(badge);
    EXPECT_EQ(badge->frame(), QRectF(100 - 24 + 6, 100 - 16 + 4, 24, 16));
    tile.setFrame(QRectF(0, 0, 150, 120));
    EXPECT_EQ(badge->frame(), QRectF(150 - 24 + 6, 120 - 16 + 4, 24, 16));
    const std::unique_ptr<platform::View> second(new platform::View);
    EXPECT_EQ(tile.setBadge(second.get()), badge) << "the old badge is handed back";
    ASSERT_FALSE(QPointer<platform::View>(badge).isNull()) << "the caller may still hold the old badge";
    EXPECT_EQ(badge->parent(), nullptr) << "it left the tile";
    EXPECT_EQ(badge->frame(), QRectF(6, 4, 24, 16)) << "with its offset as its frame";
    EXPECT_EQ(tile.setBadge(badge), second.get());
    EXPECT_EQ(second->parent(), nullptr) << "the caller's again";
    EXPECT_EQ(badge->frame(), QRectF(150 - 24 + 6, 120 - 16 + 4, 24, 16)) << "set again, it sits where it did";
    tile.setBadge(nullptr);
    EXPECT_EQ(tile.badge(), nullptr);
    delete badge;
}

// Set up animated, a tile glides from where it is to the largest rectangle of its picture's aspect
// in the cell; set up at once, it is there on return.
TEST(GridItem, SetUpAnimatedATileGlidesIntoItsCell)
{
    QWidget window;
    window.resize(300, 300);
    QSGridItem tile(0, &window);
    tile.setImage(plain(Qt::gray));
    tile.setFrame(QRectF(0, 0, 40, 30));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // A 4:3 picture in a 200 × 100 cell: 133 × 100, centred.
    const QRectF cell(50, 100, 200, 100);
    const QRectF target = tile.frameInRect(cell);
    EXPECT_NEAR(target.width(), 133.33, 0.01);
    EXPECT_NEAR(target.x(), 83.33, 0.01);
    tile.setupInRect(cell, true, 0.2);
    EXPECT_EQ(tile.frame(), QRectF(0, 0, 40, 30)) << "not there at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return tile.frame() == QRectF(83, 100, 133, 100); }))
        << tile.frame().x() << "," << tile.frame().y() << " " << tile.frame().width();
    tile.setupInRect(QRectF(0, 0, 120, 120), false);
    EXPECT_EQ(tile.frame(), QRectF(0, 15, 120, 90));
}

namespace {

struct HoverRecorder : QObject, QSGridItemDelegate
{
    void gridItemChangedHoverState(QSGridItem *, bool hovering) override { hovers << hovering; }
    QList<bool> hovers;
};

} // namespace

// The hover follows the pointer, not only its moves: a tile that appears under a still pointer is
// hovered, and once it has glided away from it shows its plain look again and says so.
TEST(GridItem, ATileGlidingAwayFromAStillPointerLosesItsHoverAndOneGlidingUnderItGainsIt)
{
    QWidget window;
    window.resize(400, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The platform's pointer, which Qt asks where it is, not only a move event; put back after.
    const auto restore = qScopeGuard([was = QCursor::pos()] { QCursor::setPos(was); });
    QCursor::setPos(window.mapToGlobal(QPoint(60, 60)));
    QCoreApplication::processEvents();

    QSGridItem tile(QSGridItem::HasRemove | QSGridItem::HasTitle | QSGridItem::Selectable, nullptr);
    tile.setImage(plain(QColor(240, 240, 240)));
    HoverRecorder recorder;
    tile.setDelegate(&recorder);
    tile.setParent(&window);
    tile.setFrame(QRectF(20, 200, 100, 75)); // y-up: Qt's (20, 25) to (120, 100)
    tile.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tile.isHovered(); }, 1000)) << "shown under the pointer";
    EXPECT_EQ(tile.removeLayer()->opacity(), 1);

    tile.setupInRect(QRectF(250, 20, 100, 75), true, 0.15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tile.frame() == QRectF(250, 20, 100, 75); }, 2000));
    EXPECT_FALSE(tile.isHovered());
    EXPECT_EQ(recorder.hovers, (QList<bool>{true, false})) << "the delegate hears the hover end";
    EXPECT_EQ(tile.removeLayer()->opacity(), 0) << "the remove button goes";
    ASSERT_TRUE(QTest::qWaitFor([&] { return tile.removeLayer()->presentedOpacity() == 0; }, 2000));

    tile.setupInRect(QRectF(20, 200, 100, 75), true, 0.15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tile.frame() == QRectF(20, 200, 100, 75); }, 2000));
    EXPECT_TRUE(tile.isHovered()) << "back under the pointer";
    EXPECT_EQ(recorder.hovers, (QList<bool>{true, false, true}));
}

// Placed in its grid, a tile keeps its distance from the top left corner as the grid grows.
TEST(GridItem, ATileKeepsItsPlaceFromTheTopLeftWhenItsSuperviewGrows)
{
    EXPECT_EQ(QSGridItem(0, nullptr).autoresizingMask(),
              unsigned(platform::Autoresizing::FlexibleRightMargin | platform::Autoresizing::FlexibleBottomMargin));
    platform::View grid;
    grid.setFrame(QRectF(0, 0, 300, 300));
    auto *tile = new QSGridItem(0, nullptr);
    tile->setImage(plain(Qt::gray));
    grid.addSubview(tile);
    tile->setFrame(QRectF(10, 190, 100, 100)); // 10 from the top
    grid.setFrame(QRectF(0, 0, 400, 350));
    EXPECT_EQ(tile->frame(), QRectF(10, 240, 100, 100));
}

TEST(GridItem, StyleOneTakesAwayTheShadowsOfTheViewAndTheLayer)
{
    QSGridItem tile(0, nullptr);
    tile.setImage(plain(Qt::gray));
    platform::setViewShadow(&tile, platform::Shadow{Qt::black, QSizeF(0, -2), 4});
    tile.layer()->setShadowColor(Qt::black);
    tile.setStyle(2);
    EXPECT_TRUE(platform::viewShadow(&tile).has_value()) << "other styles keep them";
    tile.setStyle(1);
    EXPECT_FALSE(platform::viewShadow(&tile).has_value());
    EXPECT_EQ(tile.layer()->shadowColor().alpha(), 0);
    EXPECT_EQ(tile.layer()->borderWidth(), 0);
}

// A caller that names its tiles reads their titles back, whether or not the tiles show a title
// strip.
TEST(GridItem, ATileKeepsItsTitleWithOrWithoutATitleStrip)
{
    for (const unsigned settings : {0u, unsigned(QSGridItem::Selectable), unsigned(QSGridItem::HasTitle | QSGridItem::TitleAlways)}) {
        SCOPED_TRACE(settings);
        std::unique_ptr<QSGridItem> tile(QSGridItem::gridItem(plain(Qt::gray), QStringLiteral("Sunset"), 7, settings));
        EXPECT_EQ(tile->title(), "Sunset");
        tile->setTitle(QStringLiteral("Dawn"));
        EXPECT_EQ(tile->title(), "Dawn");
    }
}

namespace {

// The window the window system shows a drag's picture in, once it is up.
QWindow *dragPicture()
{
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && QByteArray(window->metaObject()->className()) == "QShapedPixmapWindow")
            return window;
    }
    return nullptr;
}

// What the X server shows: the drag's picture is a window of its own.

void pointer(const QStringList &arguments) { xdotool(qEnvironmentVariable("DISPLAY"), arguments); }

QStringList at(const QPoint &place) { return {"mousemove", "--sync", QString::number(place.x()), QString::number(place.y())}; }

} // namespace

// Dragged out with the real pointer, a tile's picture covers the tile (a picture twice as wide as
// the square tile overhangs it by half a tile on either side) and stays under the pointer where the
// press began: moved by (200, 150), it lies over the tile's place moved by as much.
TEST(GridItemOnDesktop, TheDraggedPictureCoversTheTileAndIsHeldWhereThePressBegan)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QWidget window;
    window.setGeometry(150, 150, 560, 440);
    QSGridItem tile(0, &window);
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            picture.setPixelColor(x, y, Qt::blue);
    tile.setImage(picture);
    tile.setContext(QStringLiteral("/tmp/Holiday.png"));
    tile.setGeometry(80, 60, 100, 100);
    Recorder recorder;
    tile.setDelegate(&recorder);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, DesktopTimeout));
    settledFrame(&window);
    const QPoint pressed = tile.mapToGlobal(QPoint(30, 40));
    // The tile shows its picture's left part there on the screen before it is pressed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return PixelProbe::isNear(screenNow(), pressed, Qt::red, 40); }, DesktopTimeout));

    const QPoint moved(200, 150);
    QImage shown;
    bool dropped = false;
    QTimer watch;
    watch.setInterval(20);
    // The drag runs its own event loop until the drop: the pointer is moved and the screen read
    // from within it.
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWindow *dragged = dragPicture();
        if (!dragged)
            return;
        watch.stop();
        const QPoint started = dragged->position();
        pointer(at(pressed + moved));
        (void)QTest::qWaitFor([&] { return (dragged->position() - started).manhattanLength() > 200; }, DesktopTimeout);
        QImage last = screenNow();
        for (int unchanged = 0, turns = 0; unchanged < 3 && turns < 60; ++turns) {
            QTest::qWait(50);
            const QImage now = screenNow();
            unchanged = now == last ? unchanged + 1 : 0;
            last = now;
        }
        shown = last;
        pointer({"mouseup", "1"});
        dropped = true;
    });
    watch.start();
    pointer(at(pressed));
    pointer({"mousedown", "1"});
    // A drag that never began must not leave the button held for the cases after this one.
    const auto release = qScopeGuard([&] {
        if (!dropped)
            pointer({"mouseup", "1"});
    });
    pointer(at(pressed + QPoint(12, 0)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dropped; }, DesktopTimeout)) << "the drag began and ended";
    QTest::qWait(100);
    const QRect place(tile.mapToGlobal(QPoint()) + moved, tile.size());
    saveScreenshot(shown.copy(place.adjusted(-80, -40, 80, 40)), "grid-item-drag");
    const QList<std::pair<QPoint, QColor>> probes{
        {place.topLeft() + QPoint(25, 50), Qt::red},    {place.topLeft() + QPoint(75, 50), Qt::blue},
        {place.topLeft() + QPoint(-25, 10), Qt::red},   {place.topLeft() + QPoint(125, 90), Qt::blue},
        {place.topLeft() + QPoint(-45, 95), Qt::red},   {place.topLeft() + QPoint(145, 5), Qt::blue},
    };
    const QStringList wrong = PixelProbe::mismatches(shown, probes, 40);
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join("; ").toStdString();
}
