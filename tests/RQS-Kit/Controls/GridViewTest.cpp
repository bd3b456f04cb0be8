#include "RQS-Kit/Controls/QSGridViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

struct Recorder : QSGridViewDelegate
{
    void selectedItemWithContext(QSGridViewController *, const QVariant &context) override { selections << context; }
    QVariantList selections;
};

QImage square()
{
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    return picture;
}

// A grid 600 wide without a vertical scroller.
void shape(QSGridViewController &grid)
{
    grid.scrollView()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.scrollView()->resize(600, 400);
}

} // namespace

TEST(GridView, SixHundredWideGivesTwoColumnsAt20And390)
{
    QSGridViewController grid;
    shape(grid);
    ASSERT_TRUE(grid.setIconWidth(200));
    const int section = grid.addSection(QSGridItem::Selectable);
    for (int i = 0; i < 3; ++i)
        grid.addImage(square(), QString(), i, i, section);
    grid.refreshLayout(0);
    EXPECT_EQ(grid.layout().columns(), 2);
    EXPECT_DOUBLE_EQ(grid.layout().extraSpace(), 170);
    const QList<QSGridItem *> tiles = grid.gridItemsInSection(section);
    EXPECT_DOUBLE_EQ(tiles[0]->frame().x(), 20);
    EXPECT_DOUBLE_EQ(tiles[1]->frame().x(), 390);
    EXPECT_DOUBLE_EQ(tiles[2]->frame().x(), 20);
    EXPECT_GT(tiles[0]->frame().y(), tiles[2]->frame().y()) << "the second row lies below";
}

TEST(GridView, SelectionPassesFromOneTileToTheNext)
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

TEST(GridView, ARemoveClickRemovesTheTileWhatTheDelegateDoesAndTellsOfALostSelection)
{
    QSGridViewController grid;
    Recorder recorder;
    grid.setDelegate(&recorder);
    const int section = grid.addSection(QSGridItem::Selectable | QSGridItem::HasRemove);
    QSGridItem *tile = grid.addImage(square(), QString(), 7, 7, section);
    tile->setSelected(true);
    grid.gridItemShouldRemove(tile);
    EXPECT_TRUE(grid.gridItemsInSection(section).isEmpty());
    EXPECT_EQ(recorder.selections.last(), QVariant());
}

TEST(GridView, TheHundredAndFirstSectionIsRefusedAndBadIndicesAreIgnored)
{
    QSGridViewController grid;
    for (int i = 0; i < 100; ++i)
        grid.addSection(0);
    platform::LogCapture log;
    EXPECT_EQ(grid.addSection(0), -1);
    EXPECT_TRUE(log.contains(QStringLiteral("Error: more then 100 sections")));
    EXPECT_EQ(grid.addImage(square(), QString(), 1, 1, 100), nullptr);
    grid.removeSection(-3);
    EXPECT_EQ(grid.sectionCount(), 100);
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: No grid section 100")));
}

TEST(GridView, AnUnusableStoredIconWidthFallsBackAndEachGridKeepsItsOwnColumns)
{
    platform::UserDefaults::standardUserDefaults()->setDouble(-5, QStringLiteral("IconWidth"));
    platform::LogCapture log;
    QSGridViewController narrow;
    EXPECT_DOUBLE_EQ(narrow.iconWidth(), 200);
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: Refused icon width -5")));
    EXPECT_FALSE(narrow.setAspectRatio(0));

    const int section = narrow.addSection(0);
    QSGridItem *tile = narrow.addImage(square(), QString(), 1, 1, section);
    narrow.addImage(square(), QString(), 2, 2, section);
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

TEST(GridView, AGridTallerThanItsViewScrollsOnlyUpAndDown)
{
    QSGridViewController grid;
    grid.scrollView()->resize(600, 300);
    grid.scrollView()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.scrollView()));
    ASSERT_TRUE(grid.setIconWidth(200));
    const int section = grid.addSection(QSGridItem::Selectable);
    for (int i = 0; i < 12; ++i)
        grid.addImage(square(), QString(), i, i, section);
    grid.refreshLayout(0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(grid.scrollView()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid.scrollView()->horizontalScrollBar()->isVisible());
}

// The user hovers a tile of a shown grid and clicks its remove button: the tile leaves the grid.
TEST(GridView, ClickingAHoveredTilesRemoveButtonTakesItOutOfTheGrid)
{
    QSGridViewController grid;
    grid.scrollView()->resize(600, 400);
    grid.scrollView()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.scrollView()));
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
