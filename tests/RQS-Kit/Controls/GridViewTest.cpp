#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSBoxView.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/layers/Layer.h"
#include "platform/ui/ViewEffects.h"
#include "platform/ui/Window.h"

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QScrollBar>
#include <QVariantAnimation>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

struct Recorder : QObject, QSGridViewDelegate
{
    void selectedItemWithContext(QSGridViewController *, const QVariant &context) override { selections << context; }
    void removeItemWithContext(QSGridViewController *, const QVariant &context) override { removals << context; }
    QVariantList selections;
    QVariantList removals;
};

QImage square(const QColor &colour = Qt::gray)
{
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

class GridView : public ::testing::Test
{
protected:
    void SetUp() override { rqs::registerKitClasses(); }
    void TearDown() override { platform::FrameAnimation::setDefaultDuration(0.25); }

    // The grid's view shown at the size, with every outlet in place.
    static void show(QSGridViewController &grid, QSize size)
    {
        QWidget *view = grid.view();
        ASSERT_NE(view, nullptr);
        ASSERT_NE(grid.scrollView(), nullptr);
        ASSERT_NE(grid.container(), nullptr);
        ASSERT_NE(grid.backgroundView(), nullptr);
        view->resize(size);
        placePointerAway();
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }

    // A grid 600 wide without a vertical scroller, not shown.
    static void shape(QSGridViewController &grid)
    {
        ASSERT_NE(grid.view(), nullptr);
        grid.scrollView()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid.scrollView()->resize(600, 400);
    }

    // A selectable section of `count` grey tiles, the context and sort tag of each its number.
    static int addTiles(QSGridViewController &grid, int count)
    {
        const int section = grid.addSection(QSGridItem::Selectable);
        for (int i = 0; i < count; ++i)
            grid.addImage(square(), QString(), i, i, section);
        return section;
    }

    // Shown at 600 by 300 with twelve tiles 200 wide: six rows of two, taller than the view.
    static int showTallGrid(QSGridViewController &grid)
    {
        show(grid, QSize(600, 300));
        EXPECT_TRUE(grid.setIconWidth(200));
        const int section = addTiles(grid, 12);
        grid.refreshLayout(0);
        return section;
    }

    // Where a tile lies in the scroll view, in Qt's top-down coordinates.
    static QRect inScrollView(const QSGridViewController &grid, const QWidget *tile)
    {
        return QRect(tile->mapTo(grid.scrollView(), QPoint(0, 0)), tile->size());
    }

    static QList<int> animationDurations()
    {
        QList<int> durations;
        for (const QVariantAnimation *animation :
             qApp->findChildren<QVariantAnimation *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (animation->state() == QAbstractAnimation::Running)
                durations << animation->duration();
        }
        return durations;
    }
};

} // namespace

TEST_F(GridView, SixHundredWideGivesTwoColumnsAt20And390)
{
    QSGridViewController grid;
    shape(grid);
    ASSERT_TRUE(grid.setIconWidth(200));
    const int section = addTiles(grid, 3);
    grid.refreshLayout(0);
    EXPECT_EQ(grid.layout().columns(), 2);
    EXPECT_DOUBLE_EQ(grid.layout().extraSpace(), 170);
    const QList<QSGridItem *> tiles = grid.gridItemsInSection(section);
    EXPECT_DOUBLE_EQ(tiles[0]->frame().x(), 20);
    EXPECT_DOUBLE_EQ(tiles[1]->frame().x(), 390);
    EXPECT_DOUBLE_EQ(tiles[2]->frame().x(), 20);
    EXPECT_GT(tiles[0]->frame().y(), tiles[2]->frame().y()) << "the second row lies below";
}

TEST_F(GridView, TheSpacingAndMultipleSelectionCanBeSet)
{
    QSGridViewController grid;
    shape(grid);
    ASSERT_TRUE(grid.setIconWidth(150));
    grid.setGridSpacing(QSizeF(25, 25));
    grid.setAllowMultiSelection(true);
    const int section = grid.addSection(QSGridItem::Selectable);
    QSGridItem *a = grid.addImage(square(), QString(), QStringLiteral("A"), 1, section);
    QSGridItem *b = grid.addImage(square(), QString(), QStringLiteral("B"), 2, section);
    grid.refreshLayout(0);
    // A = 585, C = floor(585 / 175) = 3, E = (585 - 450 - 25) / 2 = 55.
    EXPECT_DOUBLE_EQ(a->frame().x(), 30);
    EXPECT_DOUBLE_EQ(b->frame().x(), 235);
    a->setSelected(true);
    b->setSelected(true);
    EXPECT_TRUE(a->isSelected());
    EXPECT_EQ(grid.selectedItem(), b);
}

TEST_F(GridView, SelectionPassesFromOneTileToTheNext)
{
    QSGridViewController grid;
    Recorder recorder;
    grid.setDelegate(&recorder);
    const int section = grid.addSection(QSGridItem::Selectable);
    QSGridItem *a = grid.addImage(square(), QString(), QStringLiteral("A"), 1, section);
    QSGridItem *b = grid.addImage(square(), QString(), QStringLiteral("B"), 2, section);
    a->setSelected(true);
    b->setSelected(true);
    EXPECT_FALSE(a->isSelected());
    EXPECT_EQ(grid.selectedItem(), b);
    EXPECT_EQ(recorder.selections, QVariantList({QStringLiteral("A"), QVariant(), QStringLiteral("B")}));
}

TEST_F(GridView, ARemoveClickRemovesTheTileWhatTheDelegateDoesAndTheSelectionGoesSilently)
{
    QSGridViewController grid;
    Recorder recorder;
    grid.setDelegate(&recorder);
    const int section = grid.addSection(QSGridItem::Selectable | QSGridItem::HasRemove);
    QSGridItem *tile = grid.addImage(square(), QString(), 7, 7, section);
    tile->setSelected(true);
    grid.gridItemShouldRemove(tile);
    EXPECT_TRUE(grid.gridItemsInSection(section).isEmpty());
    EXPECT_EQ(grid.selectedItem(), nullptr);
    EXPECT_EQ(recorder.removals, QVariantList({7}));
    EXPECT_EQ(recorder.selections, QVariantList({7})) << "the delegate hears of the removal only";
}

TEST_F(GridView, ReplacingASectionAtOnceClearsTheSelectionAndSaysSoOnce)
{
    QSGridViewController grid;
    Recorder recorder;
    grid.setDelegate(&recorder);
    const int section = grid.addSection(QSGridItem::Selectable);
    grid.addImage(square(), QString(), QStringLiteral("A"), 1, section)->setSelected(true);
    QSGridItem *b = QSGridItem::gridItem(square(), QString(), QStringLiteral("B"), QSGridItem::Selectable);
    grid.instantReplaceGridItems({b}, section);
    EXPECT_EQ(grid.gridItemsInSection(section), QList<QSGridItem *>({b}));
    EXPECT_EQ(grid.selectedItem(), nullptr);
    EXPECT_EQ(recorder.selections, QVariantList({QStringLiteral("A"), QVariant()}));
}

// A refresh with the section's own tiles, and a tile moved to another section, keep the tiles the
// grid handed back: they are there after the deferred layout half a second later.
TEST_F(GridView, ASectionRefreshedWithItsOwnTilesAndATileMovedToAnotherLiveThroughTheDeferredLayout)
{
    QSGridViewController grid;
    shape(grid);
    const int first = addTiles(grid, 3);
    const int second = grid.addSection(QSGridItem::Selectable);
    const QList<QSGridItem *> own = grid.gridItemsInSection(first);
    grid.instantReplaceGridItems(own, first);
    QSGridItem *moved = grid.removeItemAtIndex(grid.indexForObjectWithContext(2), false);
    ASSERT_EQ(moved, own[2]);
    grid.addGridItem(moved, second);
    ASSERT_TRUE(grid.needsLayout());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid.needsLayout(); }, 3000));
    EXPECT_EQ(grid.gridItemsInSection(first), own.mid(0, 2));
    EXPECT_EQ(grid.gridItemsInSection(second), QList<QSGridItem *>{moved});
    for (QSGridItem *tile : own) {
        EXPECT_EQ(tile->parentWidget(), grid.container());
        EXPECT_FALSE(tile->isHidden());
    }
}

// Removing a section drops its background: added again within the same turn it stays, else it
// goes.
TEST_F(GridView, ARemovedSectionsBackgroundStaysOnlyIfItsClientAddsItAgainAtOnce)
{
    QSGridViewController grid;
    shape(grid);
    QPointer<QSBoxView> box = new QSBoxView(QStringLiteral("Pictures"));
    const int section = grid.addSection(0, box);
    grid.removeSection(section);
    EXPECT_EQ(box->parent(), nullptr);
    EXPECT_EQ(grid.addSection(0, box), section);
    QTest::qWait(0);
    ASSERT_FALSE(box.isNull());
    EXPECT_EQ(box->parentWidget(), grid.container());

    grid.removeSection(section);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }, 5000));
}

TEST_F(GridView, TheHundredAndFirstSectionIsRefusedWithTheLastIndexAndBadIndicesAreIgnored)
{
    QSGridViewController grid;
    for (int i = 0; i < 100; ++i)
        grid.addSection(0);
    platform::LogCapture log;
    EXPECT_EQ(grid.addSection(0), 99);
    EXPECT_EQ(grid.sectionCount(), 100);
    EXPECT_TRUE(log.contains(QStringLiteral("Error: more then 100 sections")));
    EXPECT_EQ(grid.addImage(square(), QString(), 1, 1, 100), nullptr);
    grid.removeSection(-3);
    EXPECT_EQ(grid.sectionCount(), 100);
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: No grid section 100")));
}

TEST_F(GridView, AnUnusableStoredIconWidthFallsBackAndEachGridKeepsItsOwnColumns)
{
    platform::FrameAnimation::setDefaultDuration(0);
    platform::UserDefaults::standardUserDefaults()->setDouble(-5, QStringLiteral("IconWidth"));
    platform::LogCapture log;
    QSGridViewController narrow;
    EXPECT_DOUBLE_EQ(narrow.iconWidth(), 200);
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: Refused icon width -5")));
    EXPECT_FALSE(narrow.setAspectRatio(0));

    const int section = narrow.addSection(0);
    QSGridItem *tile = narrow.addImage(square(), QString(), 1, 1, section);
    narrow.addImage(square(), QString(), 2, 2, section);
    shape(narrow);
    narrow.scrollView()->resize(200, 400);
    narrow.refreshLayout(2);
    QSGridViewController wide;
    shape(wide);
    wide.refreshLayout(2);
    shape(narrow);
    narrow.refreshLayout(1);
    EXPECT_DOUBLE_EQ(narrow.gridItemsInSection(section)[1]->frame().x(), 390)
        << "another grid's layout does not make this one skip its own";
    EXPECT_EQ(tile->frame().x(), 20);
}

// The grid's parent narrows from 600 to 250 points: three columns become one and every tile can be
// scrolled to; nothing lies beyond the right edge.
TEST_F(GridView, AGridNarrowedFrom600To250KeepsEveryTileInsideTheView)
{
    platform::FrameAnimation::setDefaultDuration(0);
    platform::View parent;
    parent.resize(600, 400);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QSGridViewController grid;
    grid.setGridParentView(&parent);
    ASSERT_EQ(grid.view()->size(), QSize(600, 400));
    ASSERT_TRUE(grid.setIconWidth(155));
    const int section = addTiles(grid, 6);
    grid.refreshLayout(0);
    const QList<QSGridItem *> tiles = grid.gridItemsInSection(section);
    ASSERT_EQ(grid.layout().columns(), 3);
    EXPECT_NEAR(tiles[1]->frame().x(), 20 + 155 + grid.layout().extraSpace(), 1);
    saveScreenshot(&parent, QStringLiteral("grid-600"));

    parent.resize(250, 400);
    QCoreApplication::processEvents();
    saveScreenshot(&parent, QStringLiteral("grid-250"));
    EXPECT_EQ(grid.view()->size(), QSize(250, 400));
    EXPECT_EQ(grid.container()->width(), 250);
    EXPECT_EQ(grid.layout().columns(), 1);
    const int visibleWidth = grid.scrollView()->viewport()->width();
    for (const QSGridItem *tile : tiles) {
        const QRect shown = inScrollView(grid, tile);
        EXPECT_GE(shown.left(), 0) << tile->context().toInt();
        EXPECT_LE(shown.right(), visibleWidth) << tile->context().toInt();
        EXPECT_DOUBLE_EQ(tile->frame().x(), 20) << tile->context().toInt();
        EXPECT_GE(tile->frame().y(), 0) << "inside the container, so scrolling reaches it";
    }
    EXPECT_TRUE(grid.scrollView()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid.scrollView()->horizontalScrollBar()->isVisible());
}

TEST_F(GridView, ARelayoutGlidesTheTilesAndTheContainerOverTwoAndAHalfSecondsWhileShiftIsHeld)
{
    QSGridViewController grid;
    show(grid, QSize(600, 300));
    ASSERT_TRUE(grid.setIconWidth(200));
    const int section = addTiles(grid, 6);
    QSGridItem *last = grid.gridItemsInSection(section).last();
    const QRectF centred = last->frame();
    const int height = grid.container()->height();

    grid.refreshLayout(2);
    EXPECT_EQ(last->frame(), centred) << "the tile leaves the middle gliding";
    EXPECT_EQ(grid.container()->height(), height) << "and the container grows gliding";
    // Three rows of two: H = 2 * 35 + 2 * 15 + 3 * 215; the last tile in the second column of the
    // third row.
    const int H = 745;
    const double x = 200 + grid.layout().extraSpace() + 20;
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.container()->height() == H; })) << grid.container()->height();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return std::abs(last->frame().x() - x) <= 1 && last->frame().y() == H - (2 * 215 + 50 + 200);
    })) << last->frame().x() << "," << last->frame().y();

    QTest::keyPress(grid.view()->windowHandle(), Qt::Key_Shift, Qt::ShiftModifier);
    ASSERT_EQ(QGuiApplication::queryKeyboardModifiers(), Qt::ShiftModifier);
    ASSERT_TRUE(grid.setIconWidth(150));
    EXPECT_TRUE(animationDurations().contains(2500)) << "the tiles take 2.5 s";
    QSGridItem *first = grid.gridItemsInSection(section).first();
    grid.removeItemWithContext(first->context());
    QList<int> fades;
    for (const QVariantAnimation *fade : first->findChildren<QVariantAnimation *>())
        fades << fade->duration();
    EXPECT_TRUE(fades.contains(2000)) << "a removed tile fades over 2 s";
    QTest::keyRelease(grid.view()->windowHandle(), Qt::Key_Shift);
    EXPECT_EQ(QGuiApplication::queryKeyboardModifiers(), Qt::NoModifier);
}

TEST_F(GridView, SectionBackgroundsShowAsBoxesWithTheirTitleBandsAboveTheTiles)
{
    platform::FrameAnimation::setDefaultDuration(0);
    QSGridViewController grid;
    show(grid, QSize(600, 400));
    ASSERT_TRUE(grid.setIconWidth(120));
    auto *box = new QSBoxView(QStringLiteral("Pictures"));
    box->setBoxType(1);
    const int section = grid.addSection(QSGridItem::Selectable, box);
    for (int i = 0; i < 3; ++i)
        grid.addImage(square(Qt::white), QString(), i, i, section);
    grid.refreshLayout(0);
    QCoreApplication::processEvents();
    ASSERT_TRUE(box->isVisible());
    saveScreenshot(grid.view(), QStringLiteral("grid-section-background"));

    // Margin (5, 35), spacing (15, 15), 600 wide: A = 590 - V, three columns of 120.
    const QRectF frame = box->frame();
    EXPECT_DOUBLE_EQ(frame.x(), 5);
    EXPECT_DOUBLE_EQ(frame.height(), 20 + 135);
    const QImage shown = grid.view()->grab().toImage();
    const QRect boxInView(box->mapTo(grid.view(), QPoint(0, 0)), box->size());
    const QSGridItem *first = grid.gridItemsInSection(section).first();
    const QRect tileInView(first->mapTo(grid.view(), QPoint(0, 0)), first->size());
    // Between the tiles and in the tab lies the box's dark inside, not the grid's background.
    const QPoint between(tileInView.right() + 8, tileInView.center().y());
    const QPoint inTab(boxInView.left() + 10, boxInView.top() + 12);
    const QPoint outside(boxInView.right() - 20, boxInView.top() + 5);
    const QColor background = shown.pixelColor(outside);
    for (const QPoint &inside : {between, inTab}) {
        const QColor colour = shown.pixelColor(inside);
        EXPECT_LT(colour.lightness(), background.lightness() - 40)
            << PixelProbe::describe(shown, inside).toStdString() << " against " << PixelProbe::describe(shown, outside).toStdString();
    }
    EXPECT_NEAR(tileInView.top() - boxInView.top(), 20 + 7.5, 1) << "the tiles start below the title band";
}

TEST_F(GridView, TheScrollShadowsShowWhatLiesBeyondEachEdge)
{
    platform::FrameAnimation::setDefaultDuration(0);
    QSGridViewController grid;
    showTallGrid(grid);
    QCoreApplication::processEvents();
    ASSERT_GT(grid.container()->height(), 300);

    EXPECT_DOUBLE_EQ(grid.scrollPosition(), 0);
    EXPECT_DOUBLE_EQ(platform::viewAlpha(grid.topShadow()), 0) << "nothing above the top";
    EXPECT_DOUBLE_EQ(platform::viewAlpha(grid.bottomShadow()), 1);
    saveScreenshot(grid.view(), QStringLiteral("grid-shadows-top"));

    grid.setScrollPosition(1);
    EXPECT_DOUBLE_EQ(grid.scrollPosition(), 1);
    EXPECT_DOUBLE_EQ(platform::viewAlpha(grid.topShadow()), 1);
    EXPECT_DOUBLE_EQ(platform::viewAlpha(grid.bottomShadow()), 0);
    const QRectF visible = grid.scrollView()->documentVisibleRect();
    EXPECT_DOUBLE_EQ(visible.y(), 0) << "the bottom is in sight";

    // 7 points from the top: alpha 7 / 35 * 0.5.
    const double hidden = grid.container()->height() - visible.height();
    grid.setScrollPosition(7 / hidden);
    EXPECT_NEAR(platform::viewAlpha(grid.topShadow()), 0.1, 1e-9);
    EXPECT_NEAR(grid.scrollPosition(), 7 / hidden, 1e-9);
    saveScreenshot(grid.view(), QStringLiteral("grid-shadows-7-from-top"));

    grid.setShowShadows(false);
    EXPECT_DOUBLE_EQ(platform::viewAlpha(grid.topShadow()), 0);
    EXPECT_DOUBLE_EQ(platform::viewAlpha(grid.bottomShadow()), 0);
}

TEST_F(GridView, ANewTileAppearsInTheMiddleOfWhatIsInSight)
{
    platform::FrameAnimation::setDefaultDuration(0);
    QSGridViewController grid;
    const int section = showTallGrid(grid);
    grid.setScrollPosition(1);
    QSGridItem *added = grid.addImage(square(), QString(), 99, 99, section);
    const QPointF middle = grid.scrollView()->documentVisibleRect().center();
    EXPECT_NEAR(added->frame().center().x(), middle.x(), 1);
    EXPECT_NEAR(added->frame().center().y(), middle.y(), 1);
    EXPECT_TRUE(grid.scrollView()->viewport()->rect().contains(inScrollView(grid, added)));
}

// The user selects a tile and clicks the grid's empty background: the selection goes.
TEST_F(GridView, AClickOnTheBackgroundClearsTheSelection)
{
    QSGridViewController grid;
    Recorder recorder;
    grid.setDelegate(&recorder);
    show(grid, QSize(600, 400));
    ASSERT_TRUE(grid.setIconWidth(200));
    const int section = grid.addSection(QSGridItem::Selectable);
    QSGridItem *tile = grid.addImage(square(), QString(), QStringLiteral("A"), 1, section);
    grid.refreshLayout(0);
    QCoreApplication::processEvents();
    QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
    ASSERT_TRUE(tile->isSelected());
    QTest::qWait(QApplication::doubleClickInterval() + 50);

    QSImageView *background = grid.backgroundView();
    ASSERT_EQ(grid.view()->childAt(500, 300), background) << "no tile there";
    const QPoint empty = background->mapFrom(grid.view(), QPoint(500, 300));
    QTest::mouseClick(background, Qt::LeftButton, {}, empty);
    EXPECT_FALSE(tile->isSelected());
    EXPECT_EQ(grid.selectedItem(), nullptr);
    EXPECT_EQ(recorder.selections, QVariantList({QStringLiteral("A"), QVariant()}));
}

TEST_F(GridView, AGridTallerThanItsViewScrollsOnlyUpAndDown)
{
    QSGridViewController grid;
    showTallGrid(grid);
    QCoreApplication::processEvents();
    EXPECT_TRUE(grid.scrollView()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid.scrollView()->horizontalScrollBar()->isVisible());
}

// The user hovers a tile of a shown grid and clicks its remove button: the tile leaves the grid.
TEST_F(GridView, ClickingAHoveredTilesRemoveButtonTakesItOutOfTheGrid)
{
    QSGridViewController grid;
    show(grid, QSize(600, 400));
    ASSERT_TRUE(grid.setIconWidth(200));
    const int section = grid.addSection(QSGridItem::HasRemove | QSGridItem::Selectable);
    QSGridItem *tile = grid.addImage(square(), QString(), QStringLiteral("A"), 1, section);
    grid.addImage(square(), QString(), QStringLiteral("B"), 2, section);
    grid.refreshLayout(0);
    QCoreApplication::processEvents();
    const QPoint removeButton(15, 15);
    QTest::mouseMove(tile, QPoint(tile->width() / 2, tile->height() / 2));
    QTest::mouseMove(tile, removeButton);
    QTest::mousePress(tile, Qt::LeftButton, {}, removeButton);
    QTest::mouseRelease(tile, Qt::LeftButton, {}, removeButton);
    const QList<QSGridItem *> left = grid.gridItemsInSection(section);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.first()->context(), QVariant(QStringLiteral("B")));
}

namespace {

class GridViewOnDesktop : public GridView
{
};

} // namespace

// On the desktop, a window holding a grid of two sections, the first in a titled box, is narrowed
// from 600 to 250 points: its tiles glide into one column, every one of them within the window and
// reachable by scrolling, and the box follows them.
TEST_F(GridViewOnDesktop, AWindowNarrowedTo250PointsKeepsEveryTileInSight)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window window;
    auto *content = new platform::View;
    window.setCentralWidget(content);
    window.resize(600, 420);
    QSGridViewController grid;
    grid.setGridParentView(content);
    ASSERT_TRUE(grid.setIconWidth(155));
    auto *box = new QSBoxView(QStringLiteral("Pictures"));
    box->setBoxType(1);
    box->setLightLook(true);
    const int boxed = grid.addSection(QSGridItem::Selectable, box);
    const int plain = grid.addSection(QSGridItem::Selectable);
    const QList<QColor> colours{Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::darkCyan, Qt::darkMagenta};
    for (int i = 0; i < 3; ++i)
        grid.addImage(square(colours[i]), QString(), i, i, boxed);
    for (int i = 3; i < 5; ++i)
        grid.addImage(square(colours[i]), QString(), i, i, plain);
    window.show();
    ASSERT_FALSE(settledFrame(&window).isEmpty());
    grid.refreshLayout(0);
    ASSERT_EQ(grid.layout().columns(), 3);
    const QList<QSGridItem *> tiles = grid.gridItemsInSection(boxed) + grid.gridItemsInSection(plain);
    saveScreenshot(paintedScreen(&window).copy(settledFrame(&window)), QStringLiteral("desktop-grid-600"));

    window.resize(250, 420);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.view()->width() == 250; }, DesktopTimeout)) << grid.view()->width();
    const auto inside = [&] {
        for (const QSGridItem *tile : tiles) {
            const QRect shown = inScrollView(grid, tile);
            if (tile->frame().x() != 20 || shown.right() > grid.scrollView()->viewport()->width())
                return false;
        }
        return true;
    };
    EXPECT_TRUE(QTest::qWaitFor(inside, DesktopTimeout)) << "every tile in the one column";
    EXPECT_EQ(grid.layout().columns(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->frame().width() == 15 + 155; }, DesktopTimeout)) << box->frame().width();
    grid.setScrollPosition(0.5);
    saveScreenshot(paintedScreen(&window).copy(settledFrame(&window)), QStringLiteral("desktop-grid-250"));
    grid.setScrollPosition(1);
    EXPECT_TRUE(grid.scrollView()->viewport()->rect().intersects(inScrollView(grid, tiles.last())))
        << "the last tile is reached by scrolling";
}
