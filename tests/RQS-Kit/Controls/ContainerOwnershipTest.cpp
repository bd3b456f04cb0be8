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
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

// What a caller hands over to a kit container stays alive: the container deletes only what it
// made itself and nobody holds; a view the caller gave, or was handed back, lives until the caller
// drops it. Each kit container is used as its callers use it: given back its own views, views
// taken out and added again, moved; after the deferred layouts and animations every view the
// caller holds is alive and shown where it belongs, and a view the caller deletes leaves the
// container.

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

    QSGridViewController grid;
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

    QSStackView stack;
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

    QString misplaced() const override
    {
        double y = 0;
        return compare(list.entries(), [&](int i, QSListEntryView *row) {
            const double height = row ? row->preferredHeight() : 0;
            y += height;
            return placeOf(QStringLiteral("row %1").arg(i), row, &list, QRectF(0, y - height, list.bounds().width(), height));
        });
    }

    QSListView list;
};

// A container of one view the caller sets, replaces and takes away: a tile's badge, a row's
// content view, a drawer's content view.
class SlotUse : public ContainerUse
{
public:
    // The slot's holder, where the view shows, and its accessors.
    SlotUse(QWidget *holder, std::function<QWidget *()> shownIn, std::function<QWidget *()> get,
            std::function<void(QWidget *)> set, std::function<void()> show = {})
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
    ~SlotUse() override { delete m_holder; }

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
    std::function<void(QWidget *)> m_set;
    std::function<void()> m_show;
};

std::unique_ptr<ContainerUse> badgeUse()
{
    auto *item = tile(1);
    item->setFrame(QRectF(0, 0, 100, 100));
    return std::make_unique<SlotUse>(
        item, [item] { return item; }, [item] { return item->badge(); },
        [item](QWidget *view) { item->setBadge(qobject_cast<platform::View *>(view)); });
}

template <class Row>
std::unique_ptr<ContainerUse> contentUse()
{
    auto *row = new Row;
    row->setSelected(true);
    row->setState(2);
    return std::make_unique<SlotUse>(
        row, [row] { return row->detailContainer(); }, [row] { return row->contentView(); },
        [row](QWidget *view) { row->setContentView(view); });
}

template <class Scroll>
std::unique_ptr<ContainerUse> documentUse()
{
    auto *scroll = new Scroll;
    scroll->resize(200, 100);
    return std::make_unique<SlotUse>(
        scroll, [scroll] { return scroll->viewport(); }, [scroll] { return scroll->documentView(); },
        [scroll](QWidget *view) { scroll->setDocumentView(view); });
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
        [drawer](QWidget *view) { drawer->setContentView(view); },
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

INSTANTIATE_TEST_SUITE_P(EveryKitContainer, KitContainer, ::testing::ValuesIn(containers()),
                         [](const ::testing::TestParamInfo<Container> &info) {
                             std::string name = info.param.className;
                             std::replace(name.begin(), name.end(), ':', '_');
                             return name;
                         });

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
