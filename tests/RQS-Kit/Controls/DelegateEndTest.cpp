#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "RQS-Kit/Controls/QSImagePrintView.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "RQS-Kit/Controls/QSNoteController.h"
#include "RQS-Kit/Controls/QSResizeView.h"
#include "RQS-Kit/Controls/QSRotationView.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "RQS-Kit/Helper/QSSingleButtonPanel.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/layers/Layer.h"
#include "platform/fx/Filter.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/ui/Control.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include "PileClicks.h"
#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <cctype>
#include <cmath>
#include <functional>
#include <memory>

// Every kit class that tells a delegate, a target or an owner what happens holds it so that its
// end is noticed: ended first, it is told nothing more, and the class goes on working without it.
// Each class is a row, made with a delegate that counts what it is told into a count that outlives
// it, and driven through every message it sends: once with the delegate alive, which shows that the
// drive reaches it, and once after the delegate was deleted.

static_assert(!std::is_convertible_v<QSGridItemDelegate *, platform::Delegate<QSGridItemDelegate>>,
              "a delegate that is no QObject, whose end nothing could notice, does not compile");
static_assert(std::is_convertible_v<QSGridViewController *, platform::Delegate<QSGridItemDelegate>>);

namespace {

// QTest takes y-down points; the views' numbers are y-up.
QPoint down(const QWidget &view, double x, double y) { return QPoint(int(x), int(view.height() - y)); }

QImage square(const QColor &colour = Qt::gray)
{
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// The press, drags and release of a pointer over the widget, at y-down points.
void dragAlong(QWidget &widget, const QList<QPoint> &points)
{
    QTest::mousePress(&widget, Qt::LeftButton, {}, points.first());
    for (const QPoint &point : points.mid(1))
        QTest::mouseMove(&widget, point);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, points.last());
}

// What every counting delegate shares: the count it adds to, which outlives it.
struct Counting : QObject
{
    explicit Counting(int &told)
        : told(told)
    {
    }
    int &told;
};

struct ViewCounter : Counting, QSViewDelegate
{
    using Counting::Counting;
    bool takesClicks() const override { return ++told, true; }
    void viewWasClicked(QSImageView *) override { ++told; }
    void viewDidAutoresize(QSImageView *) override { ++told; }
};

struct DropCounter : Counting, QSDropViewDelegate
{
    using Counting::Counting;
    std::optional<bool> dropViewDroppedFile(QSDropView *, const QString &) override { return ++told, true; }
    void dropViewFinishedDropping(QSDropView *) override { ++told; }
};

struct PrintCounter : Counting, QSImagePrintViewDelegate
{
    using Counting::Counting;
    QImage printImageForView(QSImagePrintView *, const QSizeF &) override { return ++told, square(); }
};

struct RotationCounter : Counting, QSRotationViewDelegate
{
    using Counting::Counting;
    void rotationViewDidRotate(QSRotationView *, double, bool) override { ++told; }
    bool takesResizes() const override { return ++told, true; }
    void rotationViewDidResize(QSRotationView *, double, bool) override { ++told; }
};

struct ResizeCounter : Counting, QSResizeViewDelegate
{
    using Counting::Counting;
    void resizeViewDidResize(QSResizeView *, quint64, const QSizeF &, int) override { ++told; }
};

struct RowCounter : Counting, QSRowViewDelegate
{
    using Counting::Counting;
    void rowWasClicked(QSRowView *) override { ++told; }
    bool rowChangedTitle(QSRowView *, const QString &) override { return ++told, false; }
    void rowChangedHover(QSRowView *, bool) override { ++told; }
};

struct ListCounter : Counting, QSListViewDelegate
{
    using Counting::Counting;
    void listViewDidInsertEntry(QSListView *, QSListEntryView *, qsizetype) override { ++told; }
    void listViewDidRemoveEntry(QSListView *, QSListEntryView *) override { ++told; }
    void listViewDidMoveEntry(QSListView *, QSListEntryView *, qsizetype, qsizetype) override { ++told; }
    void listViewDidSelectEntry(QSListView *, QSListEntryView *) override { ++told; }
    void listViewEntryEnableDidChange(QSListView *, QSListEntryView *, bool) override { ++told; }
    bool listViewCanOpenEntry(QSListView *, QSListEntryView *) override { return ++told, true; }
    void copyListEntry(QSListEntryView *) override { ++told; }
    void pasteListEntry(QSListEntryView *) override { ++told; }
    bool acceptPasteForListEntry(QSListEntryView *) override { return ++told, true; }
    void listViewShouldShowFrame(QSListView *, QRectF, QRectF, bool) override { ++told; }
    std::optional<double> listViewWillResize(QSListView *, double) override { return ++told, std::nullopt; }
    void listViewWillDealloc(QSListView *) override { ++told; }
};

struct EntryCounter : Counting, QSListEntryViewDelegate
{
    using Counting::Counting;
    void listEntryWasClicked(QSListEntryView *) override { ++told; }
    void listEntryEnableDidChange(QSListEntryView *, bool) override { ++told; }
    void listEntryNeedUpdate(QSListEntryView *, bool) override { ++told; }
    void removeListEntry(QSListEntryView *) override { ++told; }
    void dragListEntry(QSListEntryView *, QSizeF, bool) override { ++told; }
    void entryWillOpen(QSListEntryView *) override { ++told; }
    void entryDidOpen(QSListEntryView *) override { ++told; }
    void entryWillClose(QSListEntryView *) override { ++told; }
    void entryDidClose(QSListEntryView *) override { ++told; }
    void copyListEntry(QSListEntryView *) override { ++told; }
    void pasteListEntry(QSListEntryView *) override { ++told; }
    bool acceptPasteForListEntry(QSListEntryView *) override { return ++told, true; }
};

struct TileCounter : Counting, QSGridItemDelegate
{
    using Counting::Counting;
    void gridItemWasSelected(QSGridItem *) override { ++told; }
    void gridItemWasExecuted(QSGridItem *) override { ++told; }
    void gridItemShouldRemove(QSGridItem *) override { ++told; }
    void gridItemChangedPinState(QSGridItem *, bool) override { ++told; }
    void gridItemChangedHoverState(QSGridItem *, bool) override { ++told; }
};

struct GridCounter : Counting, QSGridViewDelegate
{
    using Counting::Counting;
    void selectedItemWithContext(QSGridViewController *, const QVariant &) override { ++told; }
    void executeItemWithContext(QSGridViewController *, const QVariant &) override { ++told; }
    void removeItemWithContext(QSGridViewController *, const QVariant &) override { ++told; }
    void changedPin(QSGridViewController *, bool, const QVariant &) override { ++told; }
    void hovering(QSGridViewController *, bool, const QVariant &) override { ++told; }
};

struct StackCounter : Counting, QSStackViewDelegate
{
    using Counting::Counting;
    void didSelectStackView(QSStackView *) override { ++told; }
};

struct PanelCounter : Counting, QSSingleButtonPanelDelegate
{
    using Counting::Counting;
    void panelWasClicked(QSSingleButtonPanel *) override { ++told; }
    void panelChangedHovered(QSSingleButtonPanel *, bool) override { ++told; }
    void panelDidHide(QSSingleButtonPanel *) override { ++told; }
};

struct DrawerCounter : Counting, QSWindowDrawerDelegate
{
    using Counting::Counting;
    void windowDrawerDidHide(QSWindowDrawer *) override { ++told; }
};

struct NoteCounter : Counting, QSNoteControllerDelegate
{
    using Counting::Counting;
    void note(QSNoteController *, QSButton *) override { ++told; }
};

// An effect in miniature over a kit filter, with a slider and a check box.
struct HostCounter : Counting, QSEffectSettingsHost
{
    explicit HostCounter(int &told)
        : Counting(told)
    {
        rqs::registerKitFilters();
        shown = platform::fx::FilterRegistry::create("QSShapedBorderFilter");
    }
    std::unique_ptr<platform::fx::Filter> shown;
    QString effectName() const override { return "Border"; }
    QVariantMap settingsUI() const override
    {
        return {{"Width", QVariantMap{{"type", 0}, {"inputName", "inputWidth"}, {"minValue", 0}, {"maxValue", 1}}},
                {"Shadow", QVariantMap{{"type", 3}, {"inputName", "inputShadow"}}}};
    }
    QStringList settingsUIOrder() const override { return {"Width", "Shadow"}; }
    platform::fx::Filter *filter() const override { return shown.get(); }
    QVariant settingsValueForKey(const QString &) const override { return {}; }
    bool setValueForKey(const QString &, const QVariant &) override { return ++told, true; }
    void storeSetting(const QString &, const QVariant &) override {}
    void setImageResource(const QString &, const QString &) override { ++told; }
    bool isRelative(const QString &) const override { return false; }
    double effectProportion() const override { return 0; }
};

// One kit class with what it holds weakly: what it is, how it is given its delegate, how it is
// driven through every message it sends, and what shows that it still works without it.
struct DelegateUse
{
    virtual ~DelegateUse() = default;
    // The delegate, counting into told, now the subject's; the caller owns it.
    virtual QObject *attach(int &told) = 0;
    virtual void drive() = 0;
    // "" when the subject works on as one without a delegate, else what does not.
    virtual QString stillWorks() { return {}; }
};

// A view on a shown window of its own.
template <class View>
struct OnWindow
{
    template <class... Arguments>
    OnWindow(QSize windowSize, QRect geometry, Arguments... arguments)
    {
        window.resize(windowSize);
        view = new View(arguments..., &window);
        view->setGeometry(geometry);
        placePointerAway();
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    platform::View window;
    View *view;
};

struct ImageViewUse : DelegateUse, OnWindow<QSImageView>
{
    ImageViewUse()
        : OnWindow({200, 200}, {20, 20, 100, 100})
    {
        view->setAutoresizingMask(platform::Autoresizing::WidthSizable);
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new ViewCounter(told);
        view->setViewDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
        window.resize(window.width() + 30, window.height());
    }
    QString stillWorks() override { return view->width() == 130 ? QString() : QStringLiteral("no longer follows its window; "); }
};

struct DropViewUse : DelegateUse, OnWindow<QSDropView>
{
    DropViewUse()
        : OnWindow({200, 200}, {0, 0, 200, 200})
    {
        square().save(folder.filePath("dropped.png"));
        view->setSupportedTypes({"png"});
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new DropCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(folder.filePath("dropped.png"))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &enter);
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drop);
    }
    QTemporaryDir folder;
};

struct PrintViewUse : DelegateUse, OnWindow<QSImagePrintView>
{
    PrintViewUse()
        : OnWindow({200, 200}, {0, 0, 200, 200})
    {
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new PrintCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    void drive() override { view->grab(); }
};

struct RotationViewUse : DelegateUse, OnWindow<QSRotationView>
{
    RotationViewUse()
        : OnWindow({200, 200}, {0, 0, 200, 200})
    {
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new RotationCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QPoint onRing(double degrees, double radius = 95) const
    {
        const double a = degrees * M_PI / 180;
        return down(*view, 100 + radius * std::cos(a), 100 + radius * std::sin(a));
    }
    void drive() override
    {
        QTest::mouseMove(view, onRing(45));
        dragAlong(*view, {onRing(10), onRing(20), onRing(30)});
        // At an axis point: a resize as well.
        dragAlong(*view, {onRing(45), onRing(45, 90), onRing(45, 80)});
    }
};

struct ResizeViewUse : DelegateUse, OnWindow<QSResizeView>
{
    ResizeViewUse()
        : OnWindow({200, 200}, {0, 0, 100, 100})
    {
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new ResizeCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    void drive() override { dragAlong(*view, {down(*view, 97, 50), down(*view, 107, 50), down(*view, 117, 50)}); }
};

struct RowViewUse : DelegateUse, OnWindow<QSRowView>
{
    RowViewUse()
        : OnWindow({300, 58}, {0, 0, 300, 58})
    {
        view->setEditable(true);
        view->setHoverable(true);
        view->setTitle(QStringLiteral("Shade"));
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new RowCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        const QPoint title(60, 30), elsewhere(250, 10);
        QTest::mouseMove(view, elsewhere);
        QTest::mouseClick(view, Qt::LeftButton, {}, elsewhere);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        // A double click on the title edits it; Return ends the edit.
        QTest::mouseClick(view, Qt::LeftButton, {}, title);
        QTest::mouseDClick(view, Qt::LeftButton, {}, title);
        QTest::mouseRelease(view, Qt::LeftButton, {}, title);
        if (QWidget *editor = QApplication::focusWidget()) {
            QTest::keyClicks(editor, "Tint");
            QTest::keyClick(editor, Qt::Key_Return);
        }
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view, &leave);
    }
};

struct ListViewUse : DelegateUse
{
    ListViewUse()
    {
        list->setFrame(QRectF(0, 0, 300, 300));
        for (int i = 0; i < 2; ++i)
            list->addListEntry(new QSBasicListEntryView(QSListEntryView::Removable | QSListEntryView::CopyPaste | QSListEntryView::EnableBox));
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new ListCounter(told);
        list->setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        list->addListEntry(new QSBasicListEntryView(QSListEntryView::Removable | QSListEntryView::CopyPaste));
        list->moveEntryFrom(2, 0);
        QSListEntryView *entry = list->entryAtIndex(1);
        list->listEntryWasClicked(entry);
        list->listEntryEnableDidChange(entry, false);
        list->listEntryNeedUpdate(entry, true);
        list->copyListEntry(entry);
        list->pasteListEntry(entry);
        list->acceptPasteForListEntry(entry);
        entry->setState(1);
        entry->setState(2);
        entry->setState(3);
        entry->setState(0);
        list->updateListLayout(QSListView::Immediate);
        list->removeListEntryAtIndex(0);
        (void)QTest::qWaitFor([&] { return list->runningAnimations() == 0; }, 3000);
        list.reset();
    }
    std::unique_ptr<QSListView> list = std::make_unique<QSListView>();
};

struct ListEntryUse : DelegateUse, OnWindow<QSBasicListEntryView>
{
    ListEntryUse()
        : OnWindow({300, 80}, {0, 0, 300, 60})
    {
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new EntryCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        QTest::mouseMove(view, QPoint(150, 30));
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(150, 30));
        view->setSelected(true);
        view->needsUpdate(true);
        view->enableEntry(nullptr);
        view->removeEntry(nullptr);
        view->copyEntry(nullptr);
        view->pasteEntry(nullptr);
        QSDragButton handle;
        view->dragEntry(&handle);
        for (int state : {1, 2, 3, 0})
            view->setState(state);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view, &leave);
    }
};

// A tile with every button, shown large enough to reach each of them.
struct GridItemUse : DelegateUse, OnWindow<QSGridItem>
{
    GridItemUse()
        : OnWindow({200, 160}, {20, 20, 160, 120},
                   unsigned(QSGridItem::HasRemove | QSGridItem::HasPin | QSGridItem::Selectable | QSGridItem::Executable))
    {
        view->setImage(square());
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new TileCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        const QPoint middle(80, 60), remove(15, 15), pin(140, 15);
        QTest::mouseMove(view, middle);
        QTest::mouseClick(view, Qt::LeftButton, {}, middle);
        QTest::mouseDClick(view, Qt::LeftButton, {}, middle);
        QTest::mouseClick(view, Qt::LeftButton, {}, pin);
        QTest::mouseClick(view, Qt::LeftButton, {}, remove);
        view->setSelected(false);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view, &leave);
    }
    QString stillWorks() override
    {
        view->setSelected(true);
        return view->isSelected() ? QString() : QStringLiteral("a tile can no longer be selected; ");
    }
};

struct GridUse : DelegateUse
{
    GridUse()
    {
        rqs::registerKitClasses();
        grid.view();
        section = grid.addSection(QSGridItem::Selectable | QSGridItem::Executable | QSGridItem::HasPin | QSGridItem::HasRemove);
        for (int i = 0; i < 3; ++i)
            grid.addImage(square(), QString(), i, i, section);
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new GridCounter(told);
        grid.setDelegate(delegate);
        return delegate;
    }
    // What the tiles tell the grid, as their clicks and the pointer make them do.
    void drive() override
    {
        const QList<QSGridItem *> tiles = grid.gridItemsInSection(section);
        tiles[0]->setSelected(true);
        tiles[1]->setSelected(true);
        grid.gridItemChangedHoverState(tiles[1], true);
        grid.gridItemChangedPinState(tiles[1], true);
        grid.gridItemWasExecuted(tiles[1]);
        grid.gridItemShouldRemove(tiles[2]);
        grid.gridItemChangedHoverState(tiles[1], false);
    }
    QString stillWorks() override
    {
        return grid.gridItemsInSection(section).size() == 2 ? QString() : QStringLiteral("the removed tile stayed; ");
    }
    QSGridViewController grid;
    int section = 0;
};

struct StackUse : DelegateUse, OnWindow<QSStackView>
{
    StackUse()
        : OnWindow({300, 300}, {0, 0, 300, 300})
    {
        view->addGridItem(QSGridItem::gridItem(square(), QString(), 1, QSGridItem::Selectable), false);
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new StackCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        const QPoint onPile = down(*view, 150, 10);
        QTest::mouseMove(view, onPile);
        QTest::mouseClick(view, Qt::LeftButton, {}, onPile);
    }
};

struct SingleButtonPanelUse : DelegateUse
{
    SingleButtonPanelUse()
    {
        rqs::registerKitClasses();
        parent.setGeometry(100, 100, 400, 300);
        placePointerAway();
        parent.show();
        (void)QTest::qWaitForWindowExposed(&parent);
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new PanelCounter(told);
        panel.showOver(&parent, {60, 40}, delegate, "Printed", "Show");
        return delegate;
    }
    void drive() override
    {
        QSChildSupportWindow *window = panel.window();
        QTest::mouseMove(window, QPoint(5, 5));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(panel.view(), &enter);
        QTest::qWait(50);
        panel.buttonClicked();
        platform::NotificationCenter::defaultCenter()->post(platform::Window::DidResignKeyNotification, window);
    }
    QString stillWorks() override
    {
        int told = 0;
        PanelCounter next(told);
        panel.showOver(&parent, {60, 40}, &next, "Again", "Show");
        panel.buttonClicked();
        panel.close();
        return told > 0 ? QString() : QStringLiteral("a new delegate is not told; ");
    }
    QSChildSupportWindow parent;
    QSSingleButtonPanel panel;
};

struct DrawerUse : DelegateUse
{
    DrawerUse()
    {
        parent.setCentralWidget(new QWidget);
        parent.setGeometry(100, 100, 500, 300);
        parent.show();
        (void)QTest::qWaitForWindowExposed(&parent);
        auto *content = new QWidget;
        content->resize(150, 100);
        drawer.setContentView(content);
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new DrawerCounter(told);
        drawer.setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        drawer.showOverView(parent.centralWidget());
        QTest::qWait(QSWindowDrawer::AnimationTime + 50);
        drawer.hideDrawer();
        (void)QTest::qWaitFor([&] { return !drawer.window()->isVisible(); }, 5000);
    }
    QString stillWorks() override { return drawer.window()->isVisible() ? QStringLiteral("the drawer stays out; ") : QString(); }
    QSChildSupportWindow parent;
    QSWindowDrawer drawer;
};

struct NoteUse : DelegateUse
{
    NoteUse()
    {
        rqs::registerKitClasses();
        parent.setGeometry(100, 200, 600, 400);
        parent.makeKeyAndOrderFront(nullptr);
        (void)QTest::qWaitForWindowExposed(&parent);
    }
    QObject *attach(int &told) override
    {
        auto *delegate = new NoteCounter(told);
        note.setDelegate(delegate);
        return delegate;
    }
    void drive() override
    {
        note.attachToWindow(&parent, 0.5);
        (void)QTest::qWaitForWindowExposed(note.window());
        QSButton *button = note.cancelButton();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    QString stillWorks() override { return note.window()->isVisible() ? QStringLiteral("the note stays open; ") : QString(); }
    platform::Window parent;
    QSNoteController note;
};

// The panel placed in a window, as an inspector places it: it outlives its effect.
struct SettingsViewUse : DelegateUse
{
    QObject *attach(int &told) override
    {
        auto *host = new HostCounter(told);
        window.resize(320, 80);
        panel = new QSEffectSettingsView(host, &window);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        return host;
    }
    void drive() override
    {
        auto *slider = qobject_cast<QSSlider *>(panel->settingsControls().value(0));
        if (!slider)
            return;
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 5, slider->height() / 2));
        QTest::keyClick(slider, Qt::Key_Left);
        QWidget *box = panel->settingsControls().value(1);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        panel->updateSettings();
    }
    QWidget window;
    QSEffectSettingsView *panel = nullptr;
};

struct Holder
{
    const char *className;
    std::function<std::unique_ptr<DelegateUse>()> make;
};

template <class Use>
std::unique_ptr<DelegateUse> use()
{
    return std::make_unique<Use>();
}

const QList<Holder> &holders()
{
    static const QList<Holder> all{
        {"QSImageView", use<ImageViewUse>},
        {"QSDropView", use<DropViewUse>},
        {"QSImagePrintView", use<PrintViewUse>},
        {"QSRotationView", use<RotationViewUse>},
        {"QSResizeView", use<ResizeViewUse>},
        {"QSRowView", use<RowViewUse>},
        {"QSListView", use<ListViewUse>},
        {"QSListEntryView", use<ListEntryUse>},
        {"QSGridItem", use<GridItemUse>},
        {"QSGridViewController", use<GridUse>},
        {"QSStackView", use<StackUse>},
        {"QSSingleButtonPanel", use<SingleButtonPanelUse>},
        {"QSWindowDrawer", use<DrawerUse>},
        {"QSNoteController", use<NoteUse>},
        {"QSEffectSettingsView", use<SettingsViewUse>},
    };
    return all;
}

void PrintTo(const Holder &holder, std::ostream *out) { *out << holder.className; }

std::string testName(const char *className)
{
    std::string name = className;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

} // namespace

class KitDelegate : public ::testing::TestWithParam<Holder>
{
protected:
    void SetUp() override { rqs::registerKitClasses(); }
};

TEST_P(KitDelegate, EndedFirstIsToldNothingAndTheClassWorksOnWithoutIt)
{
    const char *name = GetParam().className;
    {
        int told = 0;
        std::unique_ptr<DelegateUse> live = GetParam().make();
        std::unique_ptr<QObject> delegate(live->attach(told));
        live->drive();
        EXPECT_GT(told, 0) << name << " told a living delegate nothing: the drive misses it";
    }
    int told = 0;
    std::unique_ptr<DelegateUse> ended = GetParam().make();
    delete ended->attach(told);
    // What it heard while it lived is not counted.
    told = 0;
    ended->drive();
    EXPECT_EQ(told, 0) << name << " told a delegate that was deleted";
    EXPECT_EQ(ended->stillWorks().toStdString(), "") << name;
}

INSTANTIATE_TEST_SUITE_P(EveryKitClassThatHoldsADelegate, KitDelegate, ::testing::ValuesIn(holders()),
                         [](const ::testing::TestParamInfo<Holder> &info) { return testName(info.param.className); });

// Every class that holds a delegate weakly (platform::WeakDelegate lists them) has a row above.
TEST(KitDelegates, EveryKitClassThatHoldsADelegateIsWalked)
{
    QStringList walked;
    for (const Holder &holder : holders())
        walked << QString::fromLatin1(holder.className);
    const QStringList found = platform::weakDelegateHolders();
    for (const QString &name : found)
        EXPECT_TRUE(walked.contains(name)) << name.toStdString() << " holds a delegate but is not walked";
    EXPECT_GE(found.size(), holders().size()) << "a walked class no longer holds a delegate";
}

// A control's target, ended first, hears nothing of the clicks, drags and keys that would send it
// the control's action; every control the interface files can make is walked.
namespace {

struct Target : QObject
{
    Q_OBJECT
public:
    explicit Target(int &told)
        : told(told)
    {
    }
    Q_INVOKABLE void act(QObject *) { ++told; }
    int &told;
};

void driveControl(platform::Control &control)
{
    const QPoint middle = control.rect().center();
    QTest::mouseClick(&control, Qt::LeftButton, {}, middle);
    dragAlong(control, {middle, middle + QPoint(4, -2), middle + QPoint(10, -5)});
    control.performClick();
    QTest::keyClick(&control, Qt::Key_Space);
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

} // namespace

TEST(KitDelegates, EveryKitControlsTargetEndedFirstHearsNothing)
{
    rqs::registerKitClasses();
    int controls = 0;
    for (const QString &name : platform::InterfaceLoader::registeredClassNames()) {
        QWidget window;
        window.resize(200, 100);
        auto *control = qobject_cast<platform::Control *>(platform::InterfaceLoader::make(name, &window));
        if (!control)
            continue;
        ++controls;
        control->setGeometry(10, 10, 120, 40);
        control->setAction(QStringLiteral("act"));
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        int liveTold = 0;
        {
            Target live(liveTold);
            control->setTarget(&live);
            driveControl(*control);
        }
        EXPECT_GT(liveTold, 0) << name.toStdString() << " sent a living target nothing: the drive misses it";
        int told = 0;
        auto *ended = new Target(told);
        control->setTarget(ended);
        delete ended;
        driveControl(*control);
        EXPECT_EQ(told, 0) << name.toStdString() << " sent its action to a target that was deleted";
        EXPECT_EQ(control->target(), nullptr) << name.toStdString();
    }
    EXPECT_GE(controls, 10) << "the buttons, the colour wells and the gradient picker";
}

namespace {

// A shipped effect whose panel has a slider, and that slider.
std::pair<std::unique_ptr<QSEffect>, QSSlider *> effectWithSlider()
{
    rqs::registerKitFilters();
    const QSEffectsCatalog &catalog = QSEffectsCatalog::shared();
    for (const QString &name : catalog.sortedDisplayNames()) {
        std::unique_ptr<QSEffect> effect = catalog.effectForDisplayName(name);
        if (!effect)
            continue;
        for (QWidget *control : effect->settingsView()->settingsControls()) {
            if (auto *slider = qobject_cast<QSSlider *>(control))
                return {std::move(effect), slider};
        }
    }
    return {};
}

void clickWithThePointer(const QPoint &global)
{
    if (QCursor::pos() != global)
        xdotool(qEnvironmentVariable("DISPLAY"), {"mousemove", "--sync", QString::number(global.x()), QString::number(global.y())});
    xdotool(qEnvironmentVariable("DISPLAY"), {"click", "1"});
}

} // namespace

// On a real window: the pile whose delegate was deleted, and an effect's panel whose effect was
// deleted, clicked with the real pointer, tell nobody and stay on the screen as they were; the
// panel's slider still moves.
TEST(KitDelegatesOnDesktop, APileAndAnEffectPanelClickedAfterWhatTheyTellWentStayAndWork)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    platform::Window window;
    window.setCentralWidget(new QWidget);
    window.setGeometry(100, 100, 640, 360);
    auto *pile = new QSStackView(window.centralWidget());
    pile->setGeometry(0, 0, 300, 360);
    QImage picture(160, 90, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QSGridItem *card = QSGridItem::gridItem(picture, QString(), 1, 0);
    pile->addGridItem(card, true);
    auto [effect, slider] = effectWithSlider();
    ASSERT_TRUE(slider) << "a shipped effect with a slider";
    QPointer<QSEffectSettingsView> panel = effect->settingsView();
    panel->setParent(window.centralWidget());
    panel->move(320, 20);
    panel->show();
    int clicks = 0;
    PileClicks live(clicks);
    pile->setDelegate(&live);
    window.makeKeyAndOrderFront(nullptr);
    const QImage before = paintedScreen(&window);
    const QPointF cardCentre = card->layer()->convertPointToLayer(card->layer()->bounds().center(), pile->layer());
    const QPoint onCard = pile->mapToGlobal(QPoint(qRound(cardCentre.x()), qRound(pile->height() - cardCentre.y())));
    ASSERT_TRUE(PixelProbe::isNear(before, onCard, Qt::darkCyan, 40)) << PixelProbe::describe(before, onCard).toStdString();
    const QRect sliderOnScreen(slider->mapToGlobal(QPoint(0, 0)), slider->size());
    clickWithThePointer(onCard);
    ASSERT_TRUE(settle());
    ASSERT_EQ(clicks, 1) << "the click on the card reaches the pile's delegate";

    auto *gone = new PileClicks(clicks);
    pile->setDelegate(gone);
    delete gone;
    effect.reset();
    const int value = slider->value();
    clickWithThePointer(onCard);
    clickWithThePointer(sliderOnScreen.center() + QPoint(sliderOnScreen.width() / 2 - 4, 0));
    xdotool(qEnvironmentVariable("DISPLAY"), {"key", "End"});
    ASSERT_TRUE(settle());
    const QImage after = paintedScreen(&window);
    saveScreenshot(after.copy(window.frameGeometry()), "KitDelegatesOnDesktop-pile-and-panel-after-their-delegates-went");

    EXPECT_EQ(clicks, 1) << "the pile told a delegate that was deleted";
    EXPECT_TRUE(PixelProbe::isNear(after, onCard, Qt::darkCyan, 40)) << PixelProbe::describe(after, onCard).toStdString();
    ASSERT_TRUE(panel);
    EXPECT_NE(slider->value(), value) << "the slider no longer moves";
    EXPECT_EQ(slider->value(), slider->maximum()) << "the slider no longer takes keys";
    EXPECT_NE(after.copy(sliderOnScreen), before.copy(sliderOnScreen)) << "the screen does not show the slider moved";
}

#include "DelegateEndTest.moc"
