#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "RQS-Kit/Controls/QSColorView.h"
#include "RQS-Kit/Controls/QSOpenableListEntryView.h"
#include "platform/foundation/Log.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewEffects.h"
#include "platform/ui/ViewUndo.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

// The list's passes and moves as its client hears them.
struct Client : QObject, QSListViewDelegate
{
    int passes = 0;
    std::optional<double> listViewWillResize(QSListView *, double) override
    {
        ++passes;
        return std::nullopt;
    }
};

class Lists : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::FrameAnimation::setDefaultDuration(0);
        list.resize(349, 10);
        list.show();
        list.setDelegate(&client);
        for (const char *title : {"A", "B", "C"}) {
            auto *row = new QSBasicListEntryView(QSListEntryView::Draggable);
            row->setTitle(QString::fromLatin1(title));
            list.addListEntry(row);
        }
        turn();
        undo()->removeAllActions();
    }
    void TearDown() override { platform::FrameAnimation::setDefaultDuration(0.25); }

    static void turn() { QCoreApplication::processEvents(); }
    platform::UndoManager *undo() { return platform::undoManagerForView(&list); }
    QString titles() const
    {
        QString order;
        for (QSListEntryView *row : list.entries())
            order += row->title();
        return order;
    }

    Client client;
    QSListView list;
};

} // namespace

TEST_F(Lists, InsertRemoveAndMoveAreUndoneAndRedoneUnderTheirNames)
{
    auto *row = new QSBasicListEntryView;
    row->setTitle(QStringLiteral("D"));
    list.insertListEntry(row, 1);
    turn();
    EXPECT_EQ(titles(), QStringLiteral("ADBC"));
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Insert entry"));
    list.removeListEntryAtIndex(0);
    turn();
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Remove entry"));
    list.setEntryDenomination(QStringLiteral("layer"));
    list.moveEntryFrom(2, 0);
    turn();
    EXPECT_EQ(titles(), QStringLiteral("CDB"));
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Reorder layer"));

    undo()->undo();
    EXPECT_EQ(titles(), QStringLiteral("DBC"));
    undo()->undo();
    EXPECT_EQ(titles(), QStringLiteral("ADBC"));
    EXPECT_EQ(undo()->redoActionName(), QStringLiteral("Insert layer")) << "redo is the inverse's own insert";
    undo()->undo();
    EXPECT_EQ(titles(), QStringLiteral("ABC"));
    undo()->redo();
    undo()->redo();
    undo()->redo();
    EXPECT_EQ(titles(), QStringLiteral("CDB"));
}

// A row lives while any undo or redo step refers to it, however many do and whatever turns of the
// event loop pass between undo and redo: each edit made in one turn, undone, then, after turns in
// which the rows each step let go would have been deleted, redone and undone again. The list is the
// one kit container whose removals can be undone.
TEST_F(Lists, UndoAWaitAndRedoKeepEveryRowAStepRefersTo)
{
    auto *d = new QSBasicListEntryView;
    d->setTitle(QStringLiteral("D"));
    const QList<QPointer<QSListEntryView>> rows{list.entryAtIndex(0), list.entryAtIndex(1), list.entryAtIndex(2), d};
    const struct
    {
        const char *edit;
        std::function<void()> make;
        const char *before, *after;
    } cases[] = {
        {"a row added, removed and added again", [&] {
             list.addListEntry(d);
             list.removeListEntryAtIndex(3);
             list.addListEntry(d);
         }, "ABC", "ABCD"},
        {"three rows replaced by themselves 100 times", [&] {
             for (int time = 0; time < 100; ++time) {
                 const QList<QSListEntryView *> entries = list.entries();
                 list.removeAllListEntries();
                 for (QSListEntryView *entry : entries)
                     list.addListEntry(entry);
             }
         }, "ABCD", "ABCD"},
        {"every row removed", [&] { list.removeAllListEntries(); }, "ABCD", ""},
    };
    const auto waitTurns = [] {
        // The deferred deletions of the turns between.
        for (int turn = 0; turn < 3; ++turn)
            QTest::qWait(1);
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.edit);
        c.make();
        turn();
        ASSERT_EQ(titles(), QString::fromLatin1(c.after));
        ASSERT_TRUE(undo()->undo());
        EXPECT_EQ(titles(), QString::fromLatin1(c.before));
        waitTurns();
        ASSERT_TRUE(undo()->redo());
        EXPECT_EQ(titles(), QString::fromLatin1(c.after));
        waitTurns();
        ASSERT_TRUE(undo()->undo());
        EXPECT_EQ(titles(), QString::fromLatin1(c.before));
        waitTurns();
        ASSERT_TRUE(undo()->redo());
        EXPECT_EQ(titles(), QString::fromLatin1(c.after));
        for (const QPointer<QSListEntryView> &row : rows)
            EXPECT_TRUE(row) << "a row a step refers to was deleted";
    }
    // Once no step refers to them any more, the rows out of the list go.
    undo()->removeAllActions();
    waitTurns();
    EXPECT_EQ(std::count_if(rows.cbegin(), rows.cend(), [](const QPointer<QSListEntryView> &row) { return row.isNull(); }), 4);
}

TEST_F(Lists, AWholeDragIsOneReorderStepAndADragEndingWhereItBeganIsNone)
{
    const QSizeF still(0, 0);
    QSListEntryView *a = list.entryAtIndex(0);
    list.dragListEntry(a, still, false);
    list.dragListEntry(a, QSizeF(0, 45), false);
    list.dragListEntry(a, QSizeF(0, 45), false);
    EXPECT_EQ(titles(), QStringLiteral("BCA"));
    list.dragListEntry(a, QSizeF(0, -90), false);
    list.dragListEntry(a, still, true);
    turn();
    EXPECT_EQ(titles(), QStringLiteral("ABC"));
    EXPECT_FALSE(undo()->canUndo()) << "the row came back to where it began";

    list.dragListEntry(a, still, false);
    for (int step = 0; step < 6; ++step)
        list.dragListEntry(a, QSizeF(0, 15), false);
    list.dragListEntry(a, still, true);
    turn();
    EXPECT_EQ(titles(), QStringLiteral("BCA"));
    EXPECT_EQ(undo()->undoActionName(), QStringLiteral("Reorder entry"));
    EXPECT_EQ(a->frame(), QRectF(0, 90, 349, 45)) << "dropped into its slot";
    undo()->undo();
    EXPECT_EQ(titles(), QStringLiteral("ABC"));
    EXPECT_FALSE(undo()->canUndo()) << "one step for the whole drag";
}

TEST_F(Lists, FixedRowsNeverMove)
{
    list.setFixed(1);
    const QSizeF still(0, 0);
    EXPECT_FALSE(list.moveEntryFrom(0, 2));
    EXPECT_FALSE(list.moveEntryFrom(2, 0));
    QSListEntryView *c = list.entryAtIndex(2);
    list.dragListEntry(c, still, false);
    list.dragListEntry(c, QSizeF(0, -50), false);
    EXPECT_EQ(titles(), QStringLiteral("ACB"));
    list.dragListEntry(c, QSizeF(0, -500), true);
    EXPECT_EQ(titles(), QStringLiteral("ACB")) << "never below the fixed row";
}

TEST_F(Lists, ManyChangesInOneTurnGiveOneLayoutPass)
{
    client.passes = 0;
    for (int i = 0; i < 20; ++i)
        list.addListEntry(new QSBasicListEntryView);
    list.moveEntryFrom(3, 7);
    list.removeListEntryAtIndex(0);
    turn();
    EXPECT_EQ(client.passes, 1);
    EXPECT_EQ(list.height(), 22 * 45);
}

TEST_F(Lists, BadIndexesAreRefusedWithAWarning)
{
    platform::LogCapture log;
    EXPECT_EQ(list.entryAtIndex(3), nullptr);
    auto *stray = new QSBasicListEntryView;
    EXPECT_FALSE(list.insertListEntry(stray, 4));
    delete stray;
    EXPECT_FALSE(list.removeListEntryAtIndex(-1));
    EXPECT_FALSE(list.moveEntryFrom(5, 0));
    EXPECT_EQ(log.lines().filter(QStringLiteral("Warning: ")).size(), 4);
    EXPECT_EQ(titles(), QStringLiteral("ABC"));
}

// Set in code or through the property an interface file sets, a negative count is kept as 0.
TEST_F(Lists, RunningAnimationsAreSetAndANegativeCountIsKeptAsZero)
{
    const struct { qint64 set, kept; } cases[] = {{3, 3}, {-2, 0}, {0, 0}, {qint64(1) << 40, qint64(1) << 40}, {-(qint64(1) << 40), 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.set);
        list.setRunningAnimations(c.set);
        EXPECT_EQ(list.runningAnimations(), c.kept);
        list.setRunningAnimations(7);
        ASSERT_TRUE(list.setProperty("runningAnimations", c.set));
        EXPECT_EQ(list.property("runningAnimations").toLongLong(), c.kept);
    }
}

// A client that gives the list its superview's whole height: the rows stand at the top of it.
struct FillsItsSuperview : QObject, QSListViewDelegate
{
    std::optional<double> listViewWillResize(QSListView *list, double) override { return list->superview()->height(); }
};

// Whatever the list's own autoresizing, a superview grown taller (not wider) lays the list out
// again: two rows of 45 under the top of a superview of 200 stand at 110 and 155, of 300 at 210 and
// 255.
TEST(ListView, ASuperviewGrownTallerLaysOutAListItsDelegateSizes)
{
    platform::FrameAnimation::setDefaultDuration(0);
    const auto restore = qScopeGuard([] { platform::FrameAnimation::setDefaultDuration(0.25); });
    const struct { const char *name; unsigned mask; } cases[] = {
        {"no autoresizing", platform::Autoresizing::None},
        {"height sizable", platform::Autoresizing::HeightSizable},
        {"width and height sizable", platform::Autoresizing::WidthSizable | platform::Autoresizing::HeightSizable},
        {"flexible bottom margin", platform::Autoresizing::FlexibleBottomMargin},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        platform::View superview;
        superview.setFrame(QRectF(0, 0, 300, 200));
        auto *list = new QSListView;
        superview.addSubview(list);
        list->setFrame(QRectF(0, 0, 300, 200));
        list->setAutoresizingMask(c.mask);
        FillsItsSuperview client;
        list->setDelegate(&client);
        for (int row = 0; row < 2; ++row)
            list->addListEntry(new QSBasicListEntryView);
        QCoreApplication::processEvents();
        ASSERT_EQ(list->entryAtIndex(0)->frame().y(), 110);

        superview.setFrame(QRectF(0, 0, 300, 300));
        QCoreApplication::processEvents();
        EXPECT_EQ(list->height(), 300);
        EXPECT_EQ(list->entryAtIndex(0)->frame().y(), 210);
        EXPECT_EQ(list->entryAtIndex(1)->frame().y(), 255);
        EXPECT_EQ(list->lastLine()->frame().y(), 209) << "one point under the lowest row";
        list->setDelegate(nullptr);
    }
}

// The closing line under the lowest row resizes as a row inserted at the bottom does.
TEST(ListView, TheClosingLineTakesTheAutoresizingOfARowInsertedAtTheBottom)
{
    QSListView list;
    list.resize(300, 10);
    auto *first = new QSBasicListEntryView;
    first->setAutoresizingMask(platform::Autoresizing::WidthSizable);
    list.insertListEntry(first, 0);
    EXPECT_EQ(list.lastLine()->autoresizingMask(), platform::Autoresizing::WidthSizable);
    auto *above = new QSBasicListEntryView;
    above->setAutoresizingMask(platform::Autoresizing::FlexibleLeftMargin);
    list.insertListEntry(above, 1);
    EXPECT_EQ(list.lastLine()->autoresizingMask(), platform::Autoresizing::WidthSizable) << "only a row at index 0 gives it";
    auto *lowest = new QSBasicListEntryView;
    lowest->setAutoresizingMask(platform::Autoresizing::WidthSizable | platform::Autoresizing::FlexibleTopMargin);
    list.insertListEntry(lowest, 0);
    EXPECT_EQ(list.lastLine()->autoresizingMask(), platform::Autoresizing::WidthSizable | platform::Autoresizing::FlexibleTopMargin);
}

TEST(ListEntries, RowHeightsFollowContentHoverAndSelection)
{
    QSBasicListEntryView basic;
    EXPECT_EQ(basic.preferredHeight(), 45);
    auto *content = new QWidget;
    content->resize(100, 30);
    basic.setContentView(content);
    EXPECT_EQ(basic.preferredHeight(), 75);

    QSListView list;
    auto *openable = new QSOpenableListEntryView;
    list.addListEntry(openable);
    EXPECT_EQ(openable->preferredHeight(), 58);
    openable->rowChangedHover(openable->rowView(), true);
    EXPECT_EQ(openable->preferredHeight(), 78);
    openable->rowChangedHover(openable->rowView(), false);
    auto *settings = new QWidget;
    settings->resize(100, 40);
    openable->setContentView(settings);
    list.setSelectedEntry(openable);
    EXPECT_EQ(openable->preferredHeight(), 98);
}

TEST(ListEntries, ThePasteButtonSits19PointsFurtherRightWithoutDragOrRemoveButton)
{
    const QSBasicListEntryView bare(QSListEntryView::CopyPaste);
    const QSBasicListEntryView handled(QSListEntryView::CopyPaste | QSListEntryView::Draggable);
    EXPECT_EQ(bare.entryPasteButton()->frame().x(), 349 - 65 - 12 - 8);
    EXPECT_EQ(bare.entryPasteButton()->frame().x() - handled.entryPasteButton()->frame().x(), 19);
    EXPECT_EQ(bare.entryCopyButton()->frame().x(), bare.entryPasteButton()->frame().x() - 69);
}

TEST(ListEntries, AContentViewSetWhileTheRowIsOpenShows)
{
    platform::FrameAnimation::setDefaultDuration(0);
    QSListView list;
    auto *row = new QSOpenableListEntryView;
    list.addListEntry(row);
    list.setSelectedEntry(row);
    list.updateListLayout(QSListView::Immediate);
    ASSERT_EQ(row->state(), 2);
    auto *settings = new QWidget;
    settings->resize(100, 40);
    row->setContentView(settings);
    EXPECT_EQ(settings->parentWidget(), row->detailContainer());
    platform::FrameAnimation::setDefaultDuration(0.25);
}

TEST(ListEntries, HoveringABasicRowShowsItsButtonsAndLeavingHidesThem)
{
    platform::FrameAnimation::setDefaultDuration(0);
    QSBasicListEntryView row(QSListEntryView::Removable | QSListEntryView::CopyPaste);
    row.mouseEntered({});
    QCoreApplication::processEvents();
    EXPECT_EQ(platform::viewAlpha(row.removeButton()), 1.0);
    EXPECT_EQ(platform::viewAlpha(row.entryCopyButton()), 1.0);
    row.mouseExited({});
    QCoreApplication::processEvents();
    EXPECT_EQ(platform::viewAlpha(row.removeButton()), 0.0);
    EXPECT_EQ(platform::viewAlpha(row.entryPasteButton()), 0.0);
    platform::FrameAnimation::setDefaultDuration(0.25);
}

TEST(ListEntries, ResizedRowsKeepTheirControlsAtTheTopRight)
{
    QSBasicListEntryView basic(QSListEntryView::Removable | QSListEntryView::Draggable);
    basic.setFrame(QRectF(0, 0, 449, 75));
    EXPECT_EQ(basic.removeButton()->frame(), QRectF(449 - 21 - 10, 75 - 17, 11, 11));
    EXPECT_EQ(basic.dragButton()->frame(), QRectF(449 - 24 - 10, 75 - 27, 16, 8));

    QSOpenableListEntryView openable(QSListEntryView::Removable | QSListEntryView::Draggable);
    openable.show();
    openable.setFrame(QRectF(0, 0, 449, 98));
    QSRowView *header = openable.rowView();
    EXPECT_EQ(header->frame(), QRectF(0, 40, 449, 58));
    EXPECT_EQ(header->removeButton()->frame(), QRectF(449 - 27, 37, 11, 11));
    EXPECT_EQ(header->dragButton()->frame(), QRectF(449 - 29, 25, 16, 8));
}

// Rows of both kinds widen with a superview of their own; a basic row keeps its distance from the
// superview's bottom edge, an openable one hangs from its top edge.
TEST(ListEntries, BothRowKindsWidenWithTheirSuperviewAndKeepTheirEdge)
{
    const struct
    {
        const char *name;
        std::function<QSListEntryView *()> make;
        double yAfter;
    } cases[] = {
        {"basic", [] { return new QSBasicListEntryView; }, 50},
        {"openable", [] { return new QSOpenableListEntryView; }, 150},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        platform::View superview;
        superview.resize(400, 200);
        superview.show();
        QSListEntryView *row = c.make();
        superview.addSubview(row);
        const double height = row->frame().height();
        row->setFrame(QRectF(0, 50, 400, height));
        superview.resize(600, 300);
        EXPECT_EQ(row->frame(), QRectF(0, c.yAfter, 600, height));
    }
}

// In a list, rows take a new width from the list's next layout pass, not from their autoresizing.
TEST(ListView, ItsRowsArePlacedByItsLayoutPassesAlone)
{
    platform::FrameAnimation::setDefaultDuration(0);
    const auto restore = qScopeGuard([] { platform::FrameAnimation::setDefaultDuration(0.25); });
    QSListView list;
    list.resize(400, 10);
    list.show();
    auto *basic = new QSBasicListEntryView;
    auto *openable = new QSOpenableListEntryView;
    list.addListEntry(basic);
    list.addListEntry(openable);
    list.updateListLayout(QSListView::Immediate);
    const QRectF basicFrame = basic->frame(), openableFrame = openable->frame();
    ASSERT_EQ(basicFrame.width(), 400);
    list.resize(600, list.height() + 100);
    EXPECT_EQ(basic->frame(), basicFrame);
    EXPECT_EQ(openable->frame(), openableFrame);
    QCoreApplication::processEvents();
    EXPECT_EQ(basic->frame().width(), 600);
    EXPECT_EQ(openable->frame().width(), 600);
}

// The enable box's title casts a white shadow one point right and one down, as the title of a row
// without the box does.
TEST(ListEntries, TheEnableBoxTitleCastsAWhiteShadow)
{
    QSBasicListEntryView row(QSListEntryView::EnableBox);
    // Without descenders, which the box's 22 points cut off.
    row.setTitle(QStringLiteral("Blur"));
    QCheckBox *box = row.enabledBox();
    ASSERT_TRUE(box);
    QImage drawn(box->size(), QImage::Format_RGB32);
    drawn.fill(QColor(128, 128, 128));
    box->render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
    const QColor title(17, 62, 91);
    QRect ink, shadow;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor pixel = drawn.pixelColor(x, y);
            if (std::abs(pixel.red() - title.red()) + std::abs(pixel.green() - title.green()) + std::abs(pixel.blue() - title.blue()) < 30)
                ink |= QRect(x, y, 1, 1);
            if (std::min({pixel.red(), pixel.green(), pixel.blue()}) > 235)
                shadow |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(ink.isEmpty()) << "the title shows";
    ASSERT_FALSE(shadow.isEmpty()) << "its shadow shows";
    EXPECT_EQ(shadow.bottomRight(), ink.bottomRight() + QPoint(1, 1));
}
