#include "RQS-Kit/Controls/QSGridItem.h"

#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

struct TileClient : QObject, QSGridItemDelegate
{
    void gridItemWasSelected(QSGridItem *item) override { selections << item->isSelected(); }
    void gridItemWasExecuted(QSGridItem *) override { ++executions; }
    void gridItemChangedHoverState(QSGridItem *, bool hovering) override { hovers << hovering; }
    QList<bool> selections;
    int executions = 0;
    QList<bool> hovers;
};

QImage light()
{
    QImage picture(160, 120, QImage::Format_RGB32);
    picture.fill(QColor(240, 240, 240));
    return picture;
}

// A tile of 160 × 120 in a window shown away from the pointer.
struct ShownTile
{
    explicit ShownTile(unsigned settings)
        : tile(settings, &window)
    {
        window.setGeometry(300, 300, 200, 160);
        tile.setImage(light());
        tile.setTitle("Leaf");
        tile.setFrame(QRectF(20, 20, 160, 120));
        tile.setDelegate(&client);
        placePointerAway();
        window.show();
    }
    QWidget window;
    QSGridItem tile;
    TileClient client;
};

// The title strip darkens the bottom of a light picture where no letter is.
bool stripShown(QSGridItem &tile) { return tile.grab().toImage().pixelColor(3, tile.height() - 4).lightness() < 160; }

// The strip fades in and out: waits until it is shown, or hidden.
bool stripBecomes(QSGridItem &tile, bool shown)
{
    return QTest::qWaitFor([&] { return stripShown(tile) == shown; }, 5000);
}

// A moved pointer reaches the tile once the platform delivers the move: waits for it.
bool hoverBecomes(QSGridItem &tile, bool hovered)
{
    return QTest::qWaitFor([&] { return tile.isHovered() == hovered; }, 5000);
}

// QTest's double click is the second press alone.
void doubleClick(QWidget &widget, QPoint at)
{
    QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(&widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, at);
}

} // namespace

// Made with 0x1F a tile shows its title only while the pointer is over it; with 0x5F always.
TEST(GridItem, TheTitleShowsWhileHoveredOrAlwaysAsTheTilesSettingsSay)
{
    for (const unsigned settings : {0x1Fu, 0x5Fu}) {
        SCOPED_TRACE(settings);
        ShownTile shown(settings);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
        const bool always = settings & QSGridItem::TitleAlways;
        EXPECT_EQ(stripShown(shown.tile), always) << "away";
        QTest::mouseMove(&shown.tile, QPoint(80, 60));
        EXPECT_TRUE(hoverBecomes(shown.tile, true));
        EXPECT_TRUE(stripBecomes(shown.tile, true)) << "hovered";
        QTest::mouseMove(&shown.window, QPoint(10, 10));
        EXPECT_TRUE(hoverBecomes(shown.tile, false));
        if (always) {
            // Longer than the strip would take to fade out.
            QTest::qWait(500);
            EXPECT_TRUE(stripShown(shown.tile)) << "away again";
        } else {
            EXPECT_TRUE(stripBecomes(shown.tile, false)) << "away again";
        }
        EXPECT_EQ(shown.client.hovers, (QList<bool>{true, false}));
    }
}

// A single click toggles a selectable tile's selection, or executes a tile that is only
// executable; the second click of a double click executes an executable tile.
TEST(GridItem, ClicksSelectOrExecuteAsTheTileCan)
{
    enum Gesture { Click, DoubleClick };
    const struct
    {
        const char *tile;
        unsigned settings;
        QList<Gesture> gestures;
        QList<bool> selections;
        int executions;
    } cases[] = {
        {"executable", QSGridItem::Executable, {Click}, {}, 1},
        {"executable, double click", QSGridItem::Executable, {DoubleClick}, {}, 2},
        {"selectable and executable", QSGridItem::Selectable | QSGridItem::Executable, {Click, Click}, {true, false}, 0},
        {"selectable and executable, double click", QSGridItem::Selectable | QSGridItem::Executable, {DoubleClick}, {true}, 1},
        {"selectable, double click", QSGridItem::Selectable, {DoubleClick}, {true}, 0},
        {"neither", 0, {Click, DoubleClick}, {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tile);
        ShownTile shown(c.settings);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
        const QPoint middle(80, 60);
        QTest::mouseMove(&shown.tile, middle);
        for (const Gesture gesture : c.gestures) {
            if (gesture == Click)
                QTest::mouseClick(&shown.tile, Qt::LeftButton, {}, middle);
            else
                doubleClick(shown.tile, middle);
        }
        EXPECT_EQ(shown.client.selections, c.selections);
        EXPECT_EQ(shown.client.executions, c.executions);
        EXPECT_EQ(shown.tile.isSelected(), !c.selections.isEmpty() && c.selections.last());
    }
}
