#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QS3DLayer.h"
#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSBoxView.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "RQS-Kit/Controls/QSOpenableListEntryView.h"
#include "RQS-Kit/Controls/QSOverlayScrollView.h"
#include "RQS-Kit/Controls/QSShadowedScrollView.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "platform/foundation/GuardedPointers.h"
#include "platform/layers/Layer.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/TakenViews.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewUndo.h"
#include "platform/ui/Window.h"

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

// A kit container holds the views its caller hands over while they are in it; a view one of its
// calls hands back is the caller's and outlives the container; a view it drops is deleted soon,
// unless the caller adds it again within the same turn or gives it a parent of its own. Each kit
// container is used as its callers use it: given back its own views, views taken out and added
// again, moved; after the deferred layouts and animations every view the caller holds is alive
// and shown where it belongs, and a view the caller deletes leaves the container. Refreshed a
// hundred times with new views, it holds only what it shows.

namespace {

QString describe(const QRectF &rect)
{
    return QStringLiteral("(%1, %2, %3, %4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

bool near(const QRectF &a, const QRectF &b)
{
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1 && std::abs(a.width() - b.width()) <= 1 &&
           std::abs(a.height() - b.height()) <= 1;
}

QSGridItem *tile(int number)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor::fromHsv(number * 40 % 360, 160, 200));
    QSGridItem *item = QSGridItem::gridItem(picture, QString(), number, QSGridItem::Selectable);
    item->setSortTag(number);
    return item;
}

// Where a view is, when it is not in its container, shown, and at the frame given ("" when it is).
QString placeOf(const QString &name, const platform::View *view, const QWidget *parent,
                const std::optional<QRectF> &frame = std::nullopt)
{
    if (!view)
        return name + QStringLiteral(" was deleted; ");
    if (view->parentWidget() != parent)
        return name + QStringLiteral(" is not in its container; ");
    if (view->isHidden())
        return name + QStringLiteral(" is hidden; ");
    if (frame && !near(view->frame(), *frame))
        return name + QStringLiteral(" at ") + describe(view->frame()) + QStringLiteral(" not ") + describe(*frame) +
               QStringLiteral("; ");
    return {};
}

// Counts the objects it tracks that are not destroyed yet.
class LiveCount : public QObject
{
public:
    void track(QObject *object)
    {
        ++m_live;
        connect(object, &QObject::destroyed, this, [this] { --m_live; });
    }
    int live() const { return m_live; }

private:
    int m_live = 0;
};

// A view the caller has after the container let it go, and the parent it should have.
struct TakenUp
{
    QString name;
    QPointer<QWidget> view;
    QWidget *parent;
};

// One kit container as its callers use it.
class ContainerUse
{
public:
    using Edit = std::pair<QString, std::function<void()>>;
    virtual ~ContainerUse() = default;
    // The caller's edits in order, each named.
    virtual QList<Edit> edits() = 0;
    // The caller deletes one of the views it gave.
    virtual void dropOne() = 0;
    // What is not where it belongs, once the container's deferred work is done; "" when all is.
    virtual QString misplaced() const = 0;
    virtual bool busy() const { return false; }
    // The caller fills the container afresh with new views, deleting those handed back to it, as a
    // long-lived window refreshes what it shows; answers the new views.
    virtual QList<QWidget *> refresh() = 0;
    // How many of one refresh's views the container shows.
    virtual int shownAfterRefresh() const = 0;
    // Views the container hands back, or drops and the caller gives a parent of its own (the
    // adopter) within the same turn.
    virtual QList<TakenUp> takeUp(QWidget *adopter) = 0;
    virtual void destroyContainer() = 0;
    // Every view the caller gave that it has not deleted itself.
    QList<QPointer<QWidget>> held;
};

// Two sections with box backgrounds; tiles 1 to 3 given by the caller, 4 made by the grid.
class GridUse : public ContainerUse
{
public:
    GridUse()
    {
        grid.view();
        grid.scrollView()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid.scrollView()->resize(600, 400);
        grid.setIconWidth(120);
        for (int s = 0; s < 2; ++s) {
            boxes << new QSBoxView(QStringLiteral("Section %1").arg(s));
            sections << grid.addSection(QSGridItem::Selectable, boxes[s]);
        }
        for (int i = 1; i <= 3; ++i) {
            tiles << tile(i);
            grid.addGridItem(tiles.last(), sections[0]);
        }
        QImage picture(48, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        tiles << grid.addImage(picture, QString(), 4, 4, sections[1]);
        expected = {{tiles[0], tiles[1], tiles[2]}, {tiles[3]}};
        for (QSGridItem *item : std::as_const(tiles))
            held << item;
        for (QSBoxView *box : std::as_const(boxes))
            held << box;
    }

    QList<Edit> edits() override
    {
        return {
            {"its own tiles handed back in", [this] { grid.instantReplaceGridItems(grid.gridItemsInSection(0), 0); }},
            {"a tile removed and added again",
             [this] { grid.addGridItem(grid.removeItemAtIndex(grid.indexForObjectWithContext(2), false), 0); }},
            {"a tile added again while it fades out",
             [this] {
                 grid.removeItemWithContext(1);
                 grid.addGridItem(tiles[0], 0);
             }},
            {"a tile moved to the other section",
             [this] {
                 grid.addGridItem(grid.removeItemAtIndex(grid.indexForObjectWithContext(3), false), 1);
                 expected = {{tiles[0], tiles[1]}, {tiles[2], tiles[3]}};
             }},
            {"a tile of the other section added without removing it first",
             [this] {
                 grid.addGridItem(tiles[3], 0);
                 expected = {{tiles[0], tiles[1], tiles[3]}, {tiles[2]}};
             }},
            {"the other section's tiles handed in",
             [this] {
                 grid.instantReplaceGridItems({tiles[3], tiles[2]}, 1);
                 expected = {{tiles[0], tiles[1]}, {tiles[2], tiles[3]}};
             }},
            {"a section removed and added again with its background and tiles",
             [this] {
                 const QList<QSGridItem *> handedBack = grid.gridItemsInSection(1);
                 grid.removeSection(1);
                 const int section = grid.addSection(QSGridItem::Selectable, boxes[1]);
                 for (QSGridItem *item : handedBack)
                     grid.addGridItem(item, section);
             }},
        };
    }
    void dropOne() override
    {
        delete tiles[1];
        expected[0].removeAll(nullptr);
    }
    bool busy() const override { return grid.needsLayout(); }

    QList<QWidget *> refresh() override
    {
        QList<QSGridItem *> fresh;
        for (int i = 1; i <= 20; ++i)
            fresh << tile(i);
        grid.instantReplaceGridItems(fresh, sections[0]);
        return {fresh.cbegin(), fresh.cend()};
    }
    int shownAfterRefresh() const override { return 20; }

    QList<TakenUp> takeUp(QWidget *adopter) override
    {
        QSGridItem *atOnce = grid.removeItemAtIndex(grid.indexForObjectWithContext(1), false);
        QSGridItem *fading = grid.removeItemAtIndex(grid.indexForObjectWithContext(2), true);
        grid.removeSection(1);
        boxes[1]->setParent(adopter);
        return {{"a tile handed back", atOnce, nullptr},
                {"a tile handed back while it fades out", fading, nullptr},
                {"a dropped background given a parent of the caller's own", boxes[1].data(), adopter}};
    }
    void destroyContainer() override { m_grid.reset(); }

    QString misplaced() const override
    {
        QString wrong;
        QList<QSGridLayout::Section> shapes;
        for (int s = 0; s < expected.size(); ++s) {
            if (grid.gridItemsInSection(s) != platform::livePointers(expected[s]))
                wrong += QStringLiteral("section %1 lists other tiles; ").arg(s);
            shapes.append({int(expected[s].size()), boxes[s] ? boxes[s]->titleSize().height() : 0.0, true});
        }
        const QSGridLayout &layout = grid.layout();
        const QList<QList<QRectF>> cells = layout.cells(shapes);
        const QList<QRectF> backgrounds = layout.backgroundFrames(shapes);
        for (int s = 0; s < expected.size(); ++s) {
            wrong += placeOf(QStringLiteral("background %1").arg(s), boxes[s], grid.container(), backgrounds[s]);
            for (int i = 0; i < expected[s].size(); ++i) {
                const QSGridItem *item = expected[s][i];
                const QString name = QStringLiteral("tile %1 of section %2").arg(i).arg(s);
                wrong += placeOf(name, item, grid.container(), item ? item->frameInRect(cells[s][i]) : QRectF());
                if (item && item->layer()->opacity() != 1)
                    wrong += name + QStringLiteral(" is transparent; ");
            }
        }
        return wrong;
    }

    std::unique_ptr<QSGridViewController> m_grid = std::make_unique<QSGridViewController>();
    QSGridViewController &grid = *m_grid;
    QList<int> sections;
    QList<QPointer<QSBoxView>> boxes;
    QList<QPointer<QSGridItem>> tiles;
    QList<QList<QPointer<QSGridItem>>> expected;
};

// A container of views in order: what the caller gave, and the order it expects them in.
template <class Item>
class SequenceUse : public ContainerUse
{
public:
    void dropOne() override
    {
        delete given[2];
        expected.removeAll(nullptr);
    }

protected:
    void give(Item *item)
    {
        given << item;
        held << item;
        expected << item;
    }
    // By the places of the views in the order given.
    void expect(std::initializer_list<int> order)
    {
        expected.clear();
        for (int i : order)
            expected << given[i];
    }
    // What the container lists when it is not what the caller expects, and each view out of its
    // place.
    QString compare(const QList<Item *> &listed, const std::function<QString(int, Item *)> &placeOfItem) const
    {
        QString wrong;
        if (listed != platform::livePointers(expected))
            wrong += QStringLiteral("it lists other views; ");
        for (int i = 0; i < expected.size(); ++i)
            wrong += placeOfItem(i, expected[i]);
        return wrong;
    }

    QList<QPointer<Item>> given;
    QList<QPointer<Item>> expected;
};

// A pile of four cards given by the caller.
class StackUse : public SequenceUse<QSGridItem>
{
public:
    StackUse()
    {
        stack.resize(400, 300);
        for (int i = 1; i <= 4; ++i) {
            give(tile(i));
            stack.addGridItem(given.last(), true);
        }
    }

    QList<Edit> edits() override
    {
        return {
            {"its own cards handed back in", [this] { stack.instantReplaceGridItems(stack.gridItems()); }},
            {"a card removed and put on top again",
             [this] {
                 stack.removeItemWithContext(2);
                 stack.addGridItem(given[1], false);
                 expect({1, 0, 2, 3});
             }},
            {"a card of the pile added again beneath it",
             [this] {
                 stack.addGridItem(given[0], true);
                 expect({1, 2, 3, 0});
             }},
            {"every card removed and added again",
             [this] {
                 const QList<QSGridItem *> handedBack = stack.gridItems();
                 stack.removeAllItems();
                 for (QSGridItem *card : handedBack)
                     stack.addGridItem(card, true);
             }},
        };
    }

    QList<QWidget *> refresh() override
    {
        QList<QSGridItem *> fresh;
        for (int i = 1; i <= 10; ++i)
            fresh << tile(i);
        stack.instantReplaceGridItems(fresh);
        return {fresh.cbegin(), fresh.cend()};
    }
    int shownAfterRefresh() const override { return 10; }

    QList<TakenUp> takeUp(QWidget *adopter) override
    {
        stack.removeItemWithContext(2);
        given[1]->setParent(adopter);
        return {{"a dropped card given a parent of the caller's own", given[1].data(), adopter}};
    }
    void destroyContainer() override { m_stack.reset(); }

    QString misplaced() const override
    {
        const QList<platform::Layer *> layers = stack.containerLayer()->sublayers();
        QString wrong = compare(stack.gridItems(), [&](int i, QSGridItem *card) {
            const QString name = QStringLiteral("card %1").arg(i);
            const QString place = placeOf(name, card, &stack);
            // The top card's layer is drawn last.
            if (place.isEmpty() && layers.value(layers.size() - 1 - i) != card->layer())
                return name + QStringLiteral(" is drawn out of its place in the pile; ");
            return place;
        });
        if (layers.size() != expected.size())
            wrong += QStringLiteral("%1 card layers in the pile for %2 cards; ").arg(layers.size()).arg(expected.size());
        return wrong;
    }

    std::unique_ptr<QSStackView> m_stack = std::make_unique<QSStackView>();
    QSStackView &stack = *m_stack;
};

// Three rows given by the caller.
class ListUse : public SequenceUse<QSListEntryView>
{
public:
    ListUse()
    {
        list.setFrame(QRectF(0, 0, 349, 300));
        for (const char *title : {"A", "B", "C"}) {
            auto *row = new QSBasicListEntryView(QSListEntryView::Removable | QSListEntryView::Draggable);
            row->setTitle(QString::fromLatin1(title));
            give(row);
            list.addListEntry(row);
        }
    }

    QList<Edit> edits() override
    {
        return {
            {"its own rows handed back in",
             [this] {
                 const QList<QSListEntryView *> handedBack = list.entries();
                 list.removeAllListEntries();
                 for (QSListEntryView *row : handedBack)
                     list.addListEntry(row);
             }},
            {"a row removed and inserted again",
             [this] {
                 list.removeListEntryAtIndex(1);
                 list.insertListEntry(given[1], 1);
             }},
            {"a row moved",
             [this] {
                 list.moveEntryFrom(0, 2);
                 expect({1, 2, 0});
             }},
        };
    }
    bool busy() const override { return list.runningAnimations() > 0; }

    // The undo history that could bring the removed rows back is cleared each time, as when the
    // list's document is closed.
    QList<QWidget *> refresh() override
    {
        list.removeAllListEntries();
        QList<QWidget *> fresh;
        for (int i = 0; i < 3; ++i) {
            fresh << new QSBasicListEntryView(QSListEntryView::Removable);
            list.addListEntry(static_cast<QSListEntryView *>(fresh.last()));
        }
        platform::undoManagerForView(&list)->removeAllActions();
        return fresh;
    }
    int shownAfterRefresh() const override { return 3; }

    QList<TakenUp> takeUp(QWidget *adopter) override
    {
        list.removeListEntryAtIndex(1);
        given[1]->setParent(adopter);
        return {{"a removed row given a parent of the caller's own", given[1].data(), adopter}};
    }
    void destroyContainer() override { m_list.reset(); }

    QString misplaced() const override
    {
        double y = 0;
        return compare(list.entries(), [&](int i, QSListEntryView *row) {
            const double height = row ? row->preferredHeight() : 0;
            y += height;
            return placeOf(QStringLiteral("row %1").arg(i), row, &list, QRectF(0, y - height, list.bounds().width(), height));
        });
    }

    std::unique_ptr<QSListView> m_list = std::make_unique<QSListView>();
    QSListView &list = *m_list;
};

// A container of one view the caller sets, replaces and takes away: a tile's badge, a row's
// content view, a drawer's content view.
class SlotUse : public ContainerUse
{
public:
    // The slot's holder, where the view shows, and its accessors.
    SlotUse(QWidget *holder, std::function<QWidget *()> shownIn, std::function<QWidget *()> get,
            std::function<QWidget *(QWidget *)> set, std::function<void()> show = {})
        : m_holder(holder)
        , m_shownIn(std::move(shownIn))
        , m_get(std::move(get))
        , m_set(std::move(set))
        , m_show(std::move(show))
    {
        for (QWidget *view : {first.data(), second.data()}) {
            view->resize(120, 30);
            held << view;
        }
        first->setFrame(QRectF(6, 4, 24, 16));
        second->setFrame(QRectF(0, 0, 20, 20));
        setAndShow(first);
    }
    ~SlotUse() override
    {
        delete m_holder;
        delete first;
        delete second;
    }

    QList<Edit> edits() override
    {
        return {
            {"its own view handed back in", [this] { setAndShow(m_get()); }},
            {"taken away and set again",
             [this] {
                 setAndShow(nullptr);
                 setAndShow(first);
             }},
            {"replaced and set again",
             [this] {
                 setAndShow(second);
                 setAndShow(first);
             }},
        };
    }
    void dropOne() override
    {
        delete first;
        delete second;
    }

    QList<QWidget *> refresh() override
    {
        auto *fresh = new platform::View;
        fresh->resize(120, 30);
        delete m_set(fresh);
        return {fresh};
    }
    int shownAfterRefresh() const override { return 1; }

    QList<TakenUp> takeUp(QWidget *) override
    {
        return {{"the view it replaced, handed back", m_set(second), nullptr}};
    }
    void destroyContainer() override
    {
        delete m_holder;
        m_holder = nullptr;
    }

    QString misplaced() const override
    {
        QString wrong;
        if (m_get() != expectedView())
            wrong += QStringLiteral("it holds another view; ");
        if (first)
            wrong += placeOf(QStringLiteral("the view"), first, m_shownIn());
        if (second && second->parent())
            wrong += QStringLiteral("the view it replaced is still in it; ");
        return wrong;
    }

    QPointer<platform::View> first = new platform::View;
    QPointer<platform::View> second = new platform::View;

private:
    QWidget *expectedView() const { return first.data(); }
    void setAndShow(QWidget *view)
    {
        m_set(view);
        if (m_show)
            m_show();
    }

    QWidget *m_holder;
    std::function<QWidget *()> m_shownIn;
    std::function<QWidget *()> m_get;
    std::function<QWidget *(QWidget *)> m_set;
    std::function<void()> m_show;
};

std::unique_ptr<ContainerUse> badgeUse()
{
    auto *item = tile(1);
    item->setFrame(QRectF(0, 0, 100, 100));
    return std::make_unique<SlotUse>(
        item, [item] { return item; }, [item] { return item->badge(); },
        [item](QWidget *view) { return item->setBadge(qobject_cast<platform::View *>(view)); });
}

template <class Row>
std::unique_ptr<ContainerUse> contentUse()
{
    auto *row = new Row;
    row->setSelected(true);
    row->setState(2);
    return std::make_unique<SlotUse>(
        row, [row] { return row->detailContainer(); }, [row] { return row->contentView(); },
        [row](QWidget *view) { return row->setContentView(view); });
}

template <class Scroll>
std::unique_ptr<ContainerUse> documentUse()
{
    auto *scroll = new Scroll;
    scroll->resize(200, 100);
    return std::make_unique<SlotUse>(
        scroll, [scroll] { return scroll->viewport(); }, [scroll] { return scroll->documentView(); },
        [scroll](QWidget *view) { return scroll->setDocumentView(view); });
}

std::unique_ptr<ContainerUse> drawerUse()
{
    auto *parent = new platform::Window;
    parent->setCentralWidget(new QWidget);
    parent->setGeometry(100, 100, 500, 300);
    parent->show();
    auto *drawer = new QSWindowDrawer(parent);
    return std::make_unique<SlotUse>(
        parent, [drawer] { return drawer->window()->centralWidget(); }, [drawer] { return drawer->contentView(); },
        [drawer](QWidget *view) { return drawer->setContentView(view); },
        [drawer, parent] { drawer->showOverView(parent->centralWidget()); });
}

struct Container
{
    const char *className;
    std::function<std::unique_ptr<ContainerUse>()> make;
};

const QList<Container> &containers()
{
    static const QList<Container> all{
        {"QSGridViewController", [] { return std::make_unique<GridUse>(); }},
        {"QSStackView", [] { return std::make_unique<StackUse>(); }},
        {"QSListView", [] { return std::make_unique<ListUse>(); }},
        {"QSGridItem", badgeUse},
        {"QSBasicListEntryView", contentUse<QSBasicListEntryView>},
        {"QSOpenableListEntryView", contentUse<QSOpenableListEntryView>},
        {"QSWindowDrawer", drawerUse},
        {"platform::ScrollView", documentUse<platform::ScrollView>},
        {"QSShadowedScrollView", documentUse<QSShadowedScrollView>},
        {"QSOverlayScrollView", documentUse<QSOverlayScrollView>},
    };
    return all;
}

void PrintTo(const Container &container, std::ostream *out) { *out << container.className; }

// Once the deferred layouts and animations ran: what is not where it belongs.
std::string settled(const ContainerUse &use)
{
    QTest::qWait(0);
    (void)QTest::qWaitFor([&] { return !use.busy(); }, 5000);
    (void)QTest::qWaitFor([&] { return !use.busy() && use.misplaced().isEmpty(); }, 5000);
    return use.misplaced().toStdString();
}

} // namespace

class KitContainer : public ::testing::TestWithParam<Container>
{
protected:
    void SetUp() override { rqs::registerKitClasses(); }
};

TEST_P(KitContainer, KeepsWhatItsCallerHandsOverAliveAndShownWhereItBelongs)
{
    const char *name = GetParam().className;
    std::unique_ptr<ContainerUse> use = GetParam().make();
    ASSERT_EQ(settled(*use), "") << name << " as it was filled";
    for (const ContainerUse::Edit &edit : use->edits()) {
        edit.second();
        EXPECT_EQ(settled(*use), "") << name << " after " << edit.first.toStdString();
        for (const QPointer<QWidget> &view : std::as_const(use->held))
            ASSERT_FALSE(view.isNull()) << name << " deleted a view its caller holds, after " << edit.first.toStdString();
    }
    use->dropOne();
    EXPECT_EQ(settled(*use), "") << name << " after its caller deleted a view it holds";
}

TEST_P(KitContainer, HoldsOnlyWhatItShowsAfterAHundredRefreshes)
{
    const char *name = GetParam().className;
    std::unique_ptr<ContainerUse> use = GetParam().make();
    LiveCount made;
    QList<QPointer<QWidget>> last;
    for (int round = 0; round < 100; ++round) {
        last.clear();
        for (QWidget *view : use->refresh()) {
            made.track(view);
            last << view;
        }
        // One refresh a turn, as a window's would be.
        QTest::qWait(0);
    }
    (void)QTest::qWaitFor([&] { return !use->busy(); }, 5000);
    QTest::qWait(0);
    for (const QPointer<QWidget> &view : std::as_const(last))
        ASSERT_TRUE(view && view->parent()) << name << " let a view of the last refresh go";
    EXPECT_EQ(made.live(), use->shownAfterRefresh()) << name << " holds views of earlier refreshes";
}

TEST_P(KitContainer, WhatItHandsBackOrItsCallerTakesUpOutlivesIt)
{
    const char *name = GetParam().className;
    std::unique_ptr<ContainerUse> use = GetParam().make();
    QWidget adopter;
    const QList<TakenUp> taken = use->takeUp(&adopter);
    ASSERT_FALSE(taken.isEmpty()) << name;
    use->destroyContainer();
    // Past the turn in which the container went, and its deferred deletions.
    QTest::qWait(0);
    QTest::qWait(0);
    for (const TakenUp &up : taken) {
        ASSERT_FALSE(up.view.isNull()) << name << " deleted " << up.name.toStdString() << " when it went";
        EXPECT_EQ(up.view->parent(), up.parent) << name << ": " << up.name.toStdString();
        EXPECT_TRUE(up.parent || up.view->isHidden()) << name << ": " << up.name.toStdString() << " is shown on its own";
        delete up.view;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKitContainer, KitContainer, ::testing::ValuesIn(containers()),
                         [](const ::testing::TestParamInfo<Container> &info) {
                             std::string name = info.param.className;
                             std::replace(name.begin(), name.end(), ':', '_');
                             return name;
                         });

// The grid's view may go before its controller, with the window that shows it: a tile handed back
// while it fades out is the caller's all the same, and its fade ends without it.
TEST(KitContainers, ATileHandedBackWhileItFadesOutlivesTheGridsViewGoingFirst)
{
    rqs::registerKitClasses();
    GridUse use;
    auto *window = new QWidget;
    use.grid.view()->setParent(window);
    // Two tiles side by side among the grid's views, both fading.
    QList<QPointer<QSGridItem>> fading;
    for (const int context : {2, 3})
        fading << use.grid.removeItemAtIndex(use.grid.indexForObjectWithContext(context), true);
    const QPointer<QSGridItem> shown = use.tiles[0];
    ASSERT_TRUE(fading[0] && fading[1] && shown);
    delete window;
    EXPECT_TRUE(shown.isNull()) << "a tile the grid still showed stays with its view";
    for (const QPointer<QSGridItem> &tile : std::as_const(fading)) {
        ASSERT_FALSE(tile.isNull()) << "the tile handed back went with the grid's view";
        EXPECT_EQ(tile->parent(), nullptr);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return fading[0] && fading[1] && fading[0]->layer()->opacity() == 1 && fading[1]->layer()->opacity() == 1; }, 5000))
        << "the fade ends and leaves the tile as it was given";
    for (const QPointer<QSGridItem> &tile : std::as_const(fading)) {
        ASSERT_FALSE(tile.isNull());
        EXPECT_EQ(tile->parent(), nullptr);
        delete tile.data();
    }
}

// A kit view that takes views out for its callers keeps them with platform::TakenViews; every
// such class the interface files can make is walked above.
TEST(KitContainers, EveryKitViewThatHandsViewsBackIsWalked)
{
    rqs::registerKitClasses();
    QStringList walked;
    for (const Container &container : containers())
        walked << QString::fromLatin1(container.className);
    int containersFound = 0;
    for (const QString &name : platform::InterfaceLoader::registeredClassNames()) {
        const std::unique_ptr<QWidget> made(platform::InterfaceLoader::make(name));
        ASSERT_TRUE(made) << name.toStdString();
        if (!made->findChild<platform::TakenViews *>(QString(), Qt::FindDirectChildrenOnly))
            continue;
        ++containersFound;
        EXPECT_TRUE(walked.contains(name)) << name.toStdString() << " hands views back to its callers but is not walked";
    }
    EXPECT_GE(containersFound, 8) << "the grid item, the stack, the list, both rows and the scroll views";
}

namespace {

// A container that tells its tiles apart by context, with three tiles added without one.
struct ContextKeeper
{
    const char *className;
    // The tiles it lists after three were added, each without a context.
    std::function<QList<QSGridItem *>(const QList<QSGridItem *> &)> addThree;
};

QSGridItem *tileWithoutContext(unsigned settings = QSGridItem::Selectable, const QColor &colour = Qt::darkCyan)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(colour);
    return QSGridItem::gridItem(picture, QString(), QVariant(), settings);
}

} // namespace

// A missing context equals no other: three tiles or cards added without one are three.
TEST(KitContainers, ItemsWithoutAContextAreEachTheirOwn)
{
    rqs::registerKitClasses();
    QSGridViewController grid;
    grid.view();
    const int section = grid.addSection(QSGridItem::Selectable);
    QSStackView stack;
    stack.resize(400, 300);
    const QList<ContextKeeper> keepers{
        {"QSGridViewController",
         [&](const QList<QSGridItem *> &tiles) {
             for (QSGridItem *item : tiles)
                 grid.addGridItem(item, section);
             return grid.gridItemsInSection(section);
         }},
        {"QSStackView",
         [&](const QList<QSGridItem *> &cards) {
             for (QSGridItem *card : cards)
                 stack.addGridItem(card, false);
             return stack.gridItems();
         }},
    };
    for (const ContextKeeper &keeper : keepers) {
        const QList<QSGridItem *> three{tileWithoutContext(), tileWithoutContext(), tileWithoutContext()};
        const QList<QPointer<QSGridItem>> given(three.cbegin(), three.cend());
        const QList<QSGridItem *> listed = keeper.addThree(three);
        QTest::qWait(0);
        EXPECT_EQ(listed.size(), 3) << keeper.className << " kept one tile for three without a context";
        for (int i = 0; i < 3; ++i) {
            ASSERT_FALSE(given[i].isNull()) << keeper.className << " deleted tile " << i;
            EXPECT_TRUE(listed.contains(given[i].data())) << keeper.className << " lost tile " << i;
        }
    }
}

// The user clicks the remove button of the last of three tiles without a context: that tile goes,
// the other two stay.
TEST(KitContainers, TheRemoveButtonOfATileWithoutAContextRemovesThatTile)
{
    rqs::registerKitClasses();
    QSGridViewController grid;
    QWidget *view = grid.view();
    ASSERT_NE(view, nullptr);
    view->resize(600, 400);
    placePointerAway();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    ASSERT_TRUE(grid.setIconWidth(120));
    const int section = grid.addSection(QSGridItem::HasRemove | QSGridItem::Selectable);
    const QList<QSGridItem *> three{tileWithoutContext(QSGridItem::HasRemove | QSGridItem::Selectable),
                                    tileWithoutContext(QSGridItem::HasRemove | QSGridItem::Selectable),
                                    tileWithoutContext(QSGridItem::HasRemove | QSGridItem::Selectable)};
    const QList<QPointer<QSGridItem>> tiles(three.cbegin(), three.cend());
    // Added at once, so that the tiles are three whatever their contexts say.
    grid.instantReplaceGridItems(three, section);
    ASSERT_EQ(grid.gridItemsInSection(section).size(), 3);
    QCoreApplication::processEvents();
    QSGridItem *clicked = tiles[2];
    const QPoint removeButton(15, 15);
    QTest::mouseMove(clicked, QPoint(clicked->width() / 2, clicked->height() / 2));
    QTest::mouseMove(clicked, removeButton);
    QTest::mousePress(clicked, Qt::LeftButton, {}, removeButton);
    QTest::mouseRelease(clicked, Qt::LeftButton, {}, removeButton);
    EXPECT_EQ(grid.gridItemsInSection(section), QList<QSGridItem *>({tiles[0], tiles[1]}))
        << "QSGridViewController removed another tile than the one clicked";
    EXPECT_TRUE(QTest::qWaitFor([&] { return tiles[2].isNull(); }, 5000))
        << "QSGridViewController keeps the removed tile it handed back to nobody";
    EXPECT_FALSE(tiles[0].isNull() || tiles[1].isNull());
}

namespace {

// Moves the real pointer there through the X server.
void movePointer(const QPoint &global)
{
    // A synchronised move waits for the pointer to move, which it does not when it is there.
    if (QCursor::pos() != global)
        xdotool(qEnvironmentVariable("DISPLAY"), {"mousemove", "--sync", QString::number(global.x()), QString::number(global.y())});
}

} // namespace

// On the desktop the user hovers the last of three tiles without a context in a grid and clicks
// its remove button with the real pointer: that tile leaves the screen, the other two stay.
TEST(KitContainersOnDesktop, TheRemoveButtonClickedTakesItsOwnTileWithoutAContextOffTheScreen)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    platform::Window window;
    auto *content = new platform::View;
    window.setCentralWidget(content);
    window.resize(600, 300);
    QSGridViewController grid;
    grid.setGridParentView(content);
    ASSERT_TRUE(grid.setIconWidth(150));
    const unsigned settings = QSGridItem::HasRemove | QSGridItem::Selectable;
    const QList<QColor> colours{QColor(180, 30, 30), QColor(30, 150, 30), QColor(30, 30, 180)};
    const int section = grid.addSection(settings);
    QList<QSGridItem *> three;
    for (const QColor &colour : colours)
        three << tileWithoutContext(settings, colour);
    const QList<QPointer<QSGridItem>> tiles(three.cbegin(), three.cend());
    grid.instantReplaceGridItems(three, section);
    window.show();
    const QRect frame = settledFrame(&window);
    ASSERT_FALSE(frame.isEmpty());
    const QImage before = paintedScreen(&window);
    for (int i = 0; i < 3; ++i) {
        const QPoint centre = tiles[i]->mapToGlobal(tiles[i]->rect().center());
        ASSERT_TRUE(PixelProbe::isNear(before, centre, colours[i], 30)) << "tile " << i << " is "
                                                                         << PixelProbe::describe(before, centre).toStdString();
    }
    const QPoint removedCentre = tiles[2]->mapToGlobal(tiles[2]->rect().center());

    movePointer(removedCentre);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tiles[2]->isHovered(); }, DesktopTimeout)) << "the pointer is over the tile";
    movePointer(tiles[2]->mapToGlobal(QPoint(15, 15)));
    xdotool(qEnvironmentVariable("DISPLAY"), {"click", "1"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return tiles[2].isNull(); }, DesktopTimeout))
        << "QSGridViewController did not let the clicked tile go";
    EXPECT_EQ(grid.gridItemsInSection(section), QList<QSGridItem *>({tiles[0], tiles[1]}));
    movePointer(frame.bottomRight() + QPoint(40, 40));
    const QImage after = paintedScreen(&window);
    saveScreenshot(after.copy(frame), QStringLiteral("desktop-grid-remove-without-context"));
    for (int i = 0; i < 2; ++i) {
        ASSERT_FALSE(tiles[i].isNull()) << "QSGridViewController deleted tile " << i;
        const QPoint centre = tiles[i]->mapToGlobal(tiles[i]->rect().center());
        EXPECT_TRUE(PixelProbe::isNear(after, centre, colours[i], 30))
            << "tile " << i << " is not on the screen: " << PixelProbe::describe(after, centre).toStdString();
    }
    EXPECT_FALSE(PixelProbe::isNear(after, removedCentre, colours[2], 30))
        << "the clicked tile still shows: " << PixelProbe::describe(after, removedCentre).toStdString();
}
