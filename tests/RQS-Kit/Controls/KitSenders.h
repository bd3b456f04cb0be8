#pragma once

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
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "RQS-Kit/Helper/QSFileLoader.h"
#include "RQS-Kit/Helper/QSSingleButtonPanel.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/fx/Filter.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/ui/Control.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include "support/PlacedPointer.h"

#include <QApplication>
#include <QFile>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cctype>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

// Every kit class that tells a delegate what happens, each as a row: made with a delegate that
// counts what it is told into a count that outlives it, and driven, one event or call at a time,
// through every message it sends. The delegate tests walk these rows.

namespace kitsenders {

using Step = std::function<void()>;

// QTest takes y-down points; the views' numbers are y-up.
inline QPoint down(const QWidget &view, double x, double y) { return QPoint(int(x), int(view.height() - y)); }

inline QImage square(const QColor &colour = Qt::gray)
{
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// The press, each move and the release of a drag, as steps of their own.
inline QList<Step> dragSteps(QWidget *target, const QList<QPoint> &points)
{
    const QPointer<QWidget> widget(target);
    QList<Step> steps{[=] { QTest::mousePress(widget, Qt::LeftButton, {}, points.first()); }};
    for (const QPoint &point : points.mid(1))
        steps.append([=] { QTest::mouseMove(widget, point); });
    steps.append([=] { QTest::mouseRelease(widget, Qt::LeftButton, {}, points.last()); });
    return steps;
}

inline QList<Step> clickSteps(QWidget *target, QPoint at)
{
    const QPointer<QWidget> widget(target);
    return {[=] { QTest::mousePress(widget, Qt::LeftButton, {}, at); }, [=] { QTest::mouseRelease(widget, Qt::LeftButton, {}, at); }};
}

inline Step sendLeave(QWidget *target)
{
    const QPointer<QWidget> widget(target);
    return [=] {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(widget, &leave);
    };
}

// The pointer over a control, a click, a drag, a click made in code and the space key, then the
// pointer away and any menu it opened closed.
inline QList<Step> controlSteps(platform::Control *target)
{
    const QPointer<platform::Control> control(target);
    const QPoint middle = target->rect().center();
    return QList<Step>{[=] { QTest::mouseMove(control, middle); }} + clickSteps(target, middle)
         + dragSteps(target, {middle, middle + QPoint(4, -2), middle + QPoint(10, -5)})
         + QList<Step>{[=] { control->performClick(); },
                       [=] { QTest::keyPress(control, Qt::Key_Space); },
                       [=] { QTest::keyRelease(control, Qt::Key_Space); },
                       [=] { QTest::mouseMove(control->window(), QPoint(control->window()->width() - 2, control->window()->height() - 2)); },
                       [] {
                           while (QWidget *popup = QApplication::activePopupWidget())
                               popup->close();
                       }};
}

// A control of the class on a shown window of its own, sending its action to the target.
struct ControlOnWindow
{
    ControlOnWindow(const QString &name, QObject *target)
        : shown(new QWidget)
    {
        shown->resize(200, 100);
        control = qobject_cast<platform::Control *>(platform::InterfaceLoader::make(name, shown));
        if (!control)
            return;
        control->setGeometry(10, 10, 120, 40);
        control->setAction(QStringLiteral("act"));
        control->setTarget(target);
        shown->show();
        (void)QTest::qWaitForWindowExposed(shown);
    }
    ~ControlOnWindow() { delete shown; }
    ControlOnWindow(const ControlOnWindow &) = delete;
    ControlOnWindow &operator=(const ControlOnWindow &) = delete;

    QPointer<QWidget> shown;
    QPointer<platform::Control> control;
};

// What every counting delegate shares: the count it adds to, which outlives it, the messages that
// told it something, and what it does on being told (a callee that ends what told it, say).
struct Counting : QObject
{
    explicit Counting(int &told)
        : told(told)
    {
    }
    // A message that tells of something.
    void tell(const char *message)
    {
        ++told;
        heard.append(QString::fromLatin1(message));
        if (onTold)
            onTold(QString::fromLatin1(message));
    }
    // A question asked for an answer, or a message the sender sends as it goes.
    void ask() const { ++told; }

    int &told;
    QStringList heard;
    std::function<void(const QString &)> onTold;
};

struct ViewCounter : Counting, QSViewDelegate
{
    using Counting::Counting;
    bool takesClicks() const override { return ask(), true; }
    void viewWasClicked(QSImageView *) override { tell(__func__); }
    void viewDidAutoresize(QSImageView *) override { tell(__func__); }
};

struct DropCounter : Counting, QSDropViewDelegate
{
    using Counting::Counting;
    std::optional<bool> dropViewDroppedFile(QSDropView *, const QString &) override { return tell(__func__), true; }
    void dropViewFinishedDropping(QSDropView *) override { tell(__func__); }
};

struct PrintCounter : Counting, QSImagePrintViewDelegate
{
    using Counting::Counting;
    QImage printImageForView(QSImagePrintView *, const QSizeF &) override { return ask(), square(); }
};

struct RotationCounter : Counting, QSRotationViewDelegate
{
    using Counting::Counting;
    void rotationViewDidRotate(QSRotationView *, double, bool) override { tell(__func__); }
    bool takesResizes() const override { return ask(), true; }
    void rotationViewDidResize(QSRotationView *, double, bool) override { tell(__func__); }
};

struct ResizeCounter : Counting, QSResizeViewDelegate
{
    using Counting::Counting;
    void resizeViewDidResize(QSResizeView *, quint64, const QSizeF &, int) override { tell(__func__); }
};

struct RowCounter : Counting, QSRowViewDelegate
{
    using Counting::Counting;
    void rowWasClicked(QSRowView *) override { tell(__func__); }
    bool rowChangedTitle(QSRowView *, const QString &) override { return tell(__func__), false; }
    void rowChangedHover(QSRowView *, bool) override { tell(__func__); }
};

struct ListCounter : Counting, QSListViewDelegate
{
    using Counting::Counting;
    void listViewDidInsertEntry(QSListView *, QSListEntryView *, qsizetype) override { tell(__func__); }
    void listViewDidRemoveEntry(QSListView *, QSListEntryView *) override { tell(__func__); }
    void listViewDidMoveEntry(QSListView *, QSListEntryView *, qsizetype, qsizetype) override { tell(__func__); }
    void listViewDidSelectEntry(QSListView *, QSListEntryView *) override { tell(__func__); }
    void listViewEntryEnableDidChange(QSListView *, QSListEntryView *, bool) override { tell(__func__); }
    bool listViewCanOpenEntry(QSListView *, QSListEntryView *) override { return ask(), true; }
    void copyListEntry(QSListEntryView *) override { tell(__func__); }
    void pasteListEntry(QSListEntryView *) override { tell(__func__); }
    bool acceptPasteForListEntry(QSListEntryView *) override { return ask(), true; }
    void listViewShouldShowFrame(QSListView *, QRectF, QRectF, bool) override { tell(__func__); }
    std::optional<double> listViewWillResize(QSListView *, double) override { return ask(), std::nullopt; }
    void listViewWillDealloc(QSListView *) override { ask(); }
};

struct EntryCounter : Counting, QSListEntryViewDelegate
{
    using Counting::Counting;
    void listEntryWasClicked(QSListEntryView *) override { tell(__func__); }
    void listEntryEnableDidChange(QSListEntryView *, bool) override { tell(__func__); }
    void listEntryNeedUpdate(QSListEntryView *, bool) override { tell(__func__); }
    void removeListEntry(QSListEntryView *) override { tell(__func__); }
    void dragListEntry(QSListEntryView *, QSizeF, bool) override { tell(__func__); }
    void entryWillOpen(QSListEntryView *) override { tell(__func__); }
    void entryDidOpen(QSListEntryView *) override { tell(__func__); }
    void entryWillClose(QSListEntryView *) override { tell(__func__); }
    void entryDidClose(QSListEntryView *) override { tell(__func__); }
    void copyListEntry(QSListEntryView *) override { tell(__func__); }
    void pasteListEntry(QSListEntryView *) override { tell(__func__); }
    bool acceptPasteForListEntry(QSListEntryView *) override { return ask(), true; }
};

struct TileCounter : Counting, QSGridItemDelegate
{
    using Counting::Counting;
    void gridItemWasSelected(QSGridItem *) override { tell(__func__); }
    void gridItemWasExecuted(QSGridItem *) override { tell(__func__); }
    void gridItemShouldRemove(QSGridItem *) override { tell(__func__); }
    void gridItemChangedPinState(QSGridItem *, bool) override { tell(__func__); }
    void gridItemChangedHoverState(QSGridItem *, bool) override { tell(__func__); }
};

struct GridCounter : Counting, QSGridViewDelegate
{
    using Counting::Counting;
    void selectedItemWithContext(QSGridViewController *, const QVariant &) override { tell(__func__); }
    void executeItemWithContext(QSGridViewController *, const QVariant &) override { tell(__func__); }
    void removeItemWithContext(QSGridViewController *, const QVariant &) override { tell(__func__); }
    void changedPin(QSGridViewController *, bool, const QVariant &) override { tell(__func__); }
    void hovering(QSGridViewController *, bool, const QVariant &) override { tell(__func__); }
};

struct StackCounter : Counting, QSStackViewDelegate
{
    using Counting::Counting;
    void didSelectStackView(QSStackView *) override { tell(__func__); }
};

struct PanelCounter : Counting, QSSingleButtonPanelDelegate
{
    using Counting::Counting;
    void panelWasClicked(QSSingleButtonPanel *) override { tell(__func__); }
    void panelChangedHovered(QSSingleButtonPanel *, bool) override { tell(__func__); }
    void panelDidHide(QSSingleButtonPanel *) override { tell(__func__); }
};

struct DrawerCounter : Counting, QSWindowDrawerDelegate
{
    using Counting::Counting;
    void windowDrawerDidHide(QSWindowDrawer *) override { tell(__func__); }
};

struct NoteCounter : Counting, QSNoteControllerDelegate
{
    using Counting::Counting;
    void note(QSNoteController *, QSButton *) override { tell(__func__); }
};

struct LoaderCounter : Counting, QSFileLoaderDelegate
{
    using Counting::Counting;
    void fileLoaderDidFinish(QSFileLoader *) override { tell(__func__); }
    void fileLoaderDidFail(QSFileLoader *, const QString &) override { tell(__func__); }
    void fileLoaderDidCancel(QSFileLoader *) override { tell(__func__); }
    void fileLoader(QSFileLoader *, double) override { tell("fileLoaderProgress"); }
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
    bool setValueForKey(const QString &, const QVariant &) override { return tell(__func__), true; }
    void storeSetting(const QString &, const QVariant &) override {}
    void setImageResource(const QString &, const QString &) override { tell(__func__); }
    bool isRelative(const QString &) const override { return false; }
    double effectProportion() const override { return 0; }
};

// One kit class with what it tells: what it is, how it is given its delegate, the steps that drive
// it through every message it sends, and what shows that it still works without its delegate. It
// owns what it made, whatever of it is still there.
struct DelegateUse
{
    virtual ~DelegateUse() = default;
    // The delegate, counting into told, now the subject's; the caller owns it.
    virtual Counting *attach(int &told) = 0;
    // One event or call each, so that none runs on once the subject went.
    virtual QList<Step> steps() = 0;
    // What sends the messages, and the window a caller would delete with it (none for a loader).
    virtual QObject *sender() = 0;
    virtual QWidget *window() = 0;
    // "" when the subject works on as one without a delegate, else what does not.
    virtual QString stillWorks() { return {}; }
    // Messages the steps first bring about inside Qt's own handling of a window event, after
    // which Qt reads the widgets that had the event: sent as Qt resizes the window (which may
    // not go there), and as Qt tells widgets that the pointer entered or left them (none of
    // which may go there).
    virtual QStringList sentAsTheWindowResizes() const { return {}; }
    virtual QStringList sentAsThePointerCrosses() const { return {}; }

    void drive()
    {
        for (const Step &step : steps())
            step();
    }
};

// A view on a shown window of its own.
template <class View>
struct OnWindow : DelegateUse
{
    template <class... Arguments>
    OnWindow(QSize windowSize, QRect geometry, Arguments... arguments)
        : shown(new platform::View)
    {
        shown->resize(windowSize);
        view = new View(arguments..., shown.data());
        view->setGeometry(geometry);
        placePointerAway();
        shown->show();
        (void)QTest::qWaitForWindowExposed(shown);
    }
    ~OnWindow() override { delete shown; }
    QObject *sender() override { return view; }
    QWidget *window() override { return shown; }

    QPointer<platform::View> shown;
    QPointer<View> view;
};

struct ImageViewUse : OnWindow<QSImageView>
{
    ImageViewUse()
        : OnWindow({200, 200}, {20, 20, 100, 100})
    {
        view->setAutoresizingMask(platform::Autoresizing::WidthSizable);
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new ViewCounter(told);
        view->setViewDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        return clickSteps(view.data(), QPoint(50, 50)) << [this] { shown->resize(shown->width() + 30, shown->height()); };
    }
    QString stillWorks() override { return view->width() == 130 ? QString() : QStringLiteral("no longer follows its window; "); }
    QStringList sentAsTheWindowResizes() const override { return {"viewDidAutoresize"}; }
};

struct DropViewUse : OnWindow<QSDropView>
{
    DropViewUse()
        : OnWindow({200, 200}, {0, 0, 200, 200})
    {
        square().save(folder.filePath("dropped.png"));
        view->setSupportedTypes({"png"});
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new DropCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        data.setUrls({QUrl::fromLocalFile(folder.filePath("dropped.png"))});
        return {[this] {
                    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(view, &enter);
                },
                [this] {
                    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(view, &drop);
                }};
    }
    QTemporaryDir folder;
    QMimeData data;
};

struct PrintViewUse : OnWindow<QSImagePrintView>
{
    PrintViewUse()
        : OnWindow({200, 200}, {0, 0, 200, 200})
    {
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new PrintCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override { return {[this] { view->grab(); }}; }
};

struct RotationViewUse : OnWindow<QSRotationView>
{
    RotationViewUse()
        : OnWindow({200, 200}, {0, 0, 200, 200})
    {
    }
    Counting *attach(int &told) override
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
    QList<Step> steps() override
    {
        // At an axis point: a resize as well.
        return QList<Step>{[this] { QTest::mouseMove(view, onRing(45)); }} + dragSteps(view.data(), {onRing(10), onRing(20), onRing(30)})
             + dragSteps(view.data(), {onRing(45), onRing(45, 90), onRing(45, 80)});
    }
};

struct ResizeViewUse : OnWindow<QSResizeView>
{
    ResizeViewUse()
        : OnWindow({200, 200}, {0, 0, 100, 100})
    {
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new ResizeCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override { return dragSteps(view.data(), {down(*view, 97, 50), down(*view, 107, 50), down(*view, 117, 50)}); }
};

struct RowViewUse : OnWindow<QSRowView>
{
    QStringList sentAsThePointerCrosses() const override { return {"rowChangedHover"}; }
    RowViewUse()
        : OnWindow({300, 58}, {0, 0, 300, 58})
    {
        view->setEditable(true);
        view->setHoverable(true);
        view->setTitle(QStringLiteral("Shade"));
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new RowCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        const QPoint title(60, 30), elsewhere(250, 10);
        const auto wait = [] { QTest::qWait(QApplication::doubleClickInterval() + 100); };
        // A double click on the title edits it; Return ends the edit.
        return QList<Step>{[this, elsewhere] { QTest::mouseMove(view, elsewhere); }} + clickSteps(view.data(), elsewhere)
             + QList<Step>{wait} + clickSteps(view.data(), title)
             + QList<Step>{[this, title] { QTest::mouseDClick(view, Qt::LeftButton, {}, title); },
                           [this, title] { QTest::mouseRelease(view, Qt::LeftButton, {}, title); },
                           [this] {
                               editor = QApplication::focusWidget();
                               if (editor)
                                   QTest::keyClicks(editor, "Tint");
                           },
                           [this] {
                               if (editor)
                                   QTest::keyPress(editor, Qt::Key_Return);
                           },
                           [this] {
                               if (editor)
                                   QTest::keyRelease(editor, Qt::Key_Return);
                           },
                           wait, sendLeave(view.data())};
    }
    QPointer<QWidget> editor;
};

// The list on a window, as its client shows it.
struct ListViewUse : OnWindow<QSListView>
{
    ListViewUse()
        : OnWindow({300, 300}, {0, 0, 300, 300})
    {
        for (int i = 0; i < 2; ++i)
            view->addListEntry(new QSBasicListEntryView(QSListEntryView::Removable | QSListEntryView::CopyPaste | QSListEntryView::EnableBox));
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new ListCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        const auto entry = [this] { return view->entries().value(1); };
        return {[this] { view->addListEntry(new QSBasicListEntryView(QSListEntryView::Removable | QSListEntryView::CopyPaste)); },
                [this] { view->moveEntryFrom(2, 0); },
                [=, this] { view->listEntryWasClicked(entry()); },
                [=, this] { view->listEntryEnableDidChange(entry(), false); },
                [=, this] { view->listEntryNeedUpdate(entry(), true); },
                [=, this] { view->copyListEntry(entry()); },
                [=, this] { view->pasteListEntry(entry()); },
                [=, this] { view->acceptPasteForListEntry(entry()); },
                [=] { entry()->setState(1); },
                [=] { entry()->setState(2); },
                [=] { entry()->setState(3); },
                [=] { entry()->setState(0); },
                [this] { view->updateListLayout(QSListView::Immediate); },
                [this] { view->removeListEntryAtIndex(0); },
                [this] { (void)QTest::qWaitFor([&] { return view->runningAnimations() == 0; }, 3000); },
                [this] { delete view; }};
    }
};

struct ListEntryUse : OnWindow<QSBasicListEntryView>
{
    ListEntryUse()
        : OnWindow({300, 80}, {0, 0, 300, 60})
    {
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new EntryCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        QList<Step> steps{[this] { QTest::mouseMove(view, QPoint(150, 30)); }};
        steps << clickSteps(view.data(), QPoint(150, 30)) << [this] { view->setSelected(true); } << [this] { view->needsUpdate(true); }
              << [this] { view->enableEntry(nullptr); } << [this] { view->removeEntry(nullptr); }
              << [this] { view->copyEntry(nullptr); } << [this] { view->pasteEntry(nullptr); }
              << [this] { view->dragEntry(&handle); };
        for (int state : {1, 2, 3, 0})
            steps << [this, state] { view->setState(state); };
        return steps << sendLeave(view.data());
    }
    QSDragButton handle;
};

// A tile with every button, shown large enough to reach each of them.
struct GridItemUse : OnWindow<QSGridItem>
{
    QStringList sentAsThePointerCrosses() const override { return {"gridItemChangedHoverState"}; }
    GridItemUse()
        : OnWindow({200, 160}, {20, 20, 160, 120},
                   unsigned(QSGridItem::HasRemove | QSGridItem::HasPin | QSGridItem::Selectable | QSGridItem::Executable))
    {
        view->setImage(square());
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new TileCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        const QPoint middle(80, 60), remove(15, 15), pin(140, 15);
        return QList<Step>{[this, middle] { QTest::mouseMove(view, middle); }} + clickSteps(view.data(), middle)
             + QList<Step>{[this, middle] { QTest::mouseDClick(view, Qt::LeftButton, {}, middle); },
                           [this, middle] { QTest::mouseRelease(view, Qt::LeftButton, {}, middle); }}
             + clickSteps(view.data(), pin) + clickSteps(view.data(), remove) + QList<Step>{[this] { view->setSelected(false); }, sendLeave(view.data())};
    }
    QString stillWorks() override
    {
        view->setSelected(true);
        return view->isSelected() ? QString() : QStringLiteral("a tile can no longer be selected; ");
    }
};

// The grid in a window of its own, told by its tiles what their clicks and the pointer make them
// tell.
struct GridUse : DelegateUse
{
    GridUse()
    {
        rqs::registerKitClasses();
        shown->setCentralWidget(grid->view());
        shown->resize(400, 300);
        shown->show();
        section = grid->addSection(QSGridItem::Selectable | QSGridItem::Executable | QSGridItem::HasPin | QSGridItem::HasRemove);
        for (int i = 0; i < 3; ++i)
            grid->addImage(square(), QString(), i, i, section);
    }
    ~GridUse() override
    {
        delete grid;
        delete shown;
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new GridCounter(told);
        grid->setDelegate(delegate);
        return delegate;
    }
    QSGridItem *tile(int index) const { return grid->gridItemsInSection(section).value(index); }
    QList<Step> steps() override
    {
        return {[this] { tile(0)->setSelected(true); },
                [this] { tile(1)->setSelected(true); },
                [this] { grid->gridItemChangedHoverState(tile(1), true); },
                [this] { grid->gridItemChangedPinState(tile(1), true); },
                [this] { grid->gridItemWasExecuted(tile(1)); },
                [this] { grid->gridItemShouldRemove(tile(2)); },
                [this] { grid->gridItemChangedHoverState(tile(1), false); }};
    }
    QObject *sender() override { return grid; }
    QWidget *window() override { return shown; }
    QString stillWorks() override
    {
        return grid->gridItemsInSection(section).size() == 2 ? QString() : QStringLiteral("the removed tile stayed; ");
    }
    QPointer<QSGridViewController> grid = new QSGridViewController;
    QPointer<platform::Window> shown = new platform::Window;
    int section = 0;
};

struct StackUse : OnWindow<QSStackView>
{
    StackUse()
        : OnWindow({300, 300}, {0, 0, 300, 300})
    {
        view->addGridItem(QSGridItem::gridItem(square(), QString(), 1, QSGridItem::Selectable), false);
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new StackCounter(told);
        view->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        const QPoint onPile = down(*view, 150, 10);
        return QList<Step>{[this, onPile] { QTest::mouseMove(view, onPile); }} + clickSteps(view.data(), onPile);
    }
};

struct SingleButtonPanelUse : DelegateUse
{
    SingleButtonPanelUse()
    {
        rqs::registerKitClasses();
        parent->setGeometry(100, 100, 400, 300);
        placePointerAway();
        parent->show();
        (void)QTest::qWaitForWindowExposed(parent);
    }
    ~SingleButtonPanelUse() override
    {
        delete panel;
        delete parent;
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new PanelCounter(told);
        panel->showOver(parent, {60, 40}, delegate, "Printed", "Show");
        return delegate;
    }
    QList<Step> steps() override
    {
        return {[this] { QTest::mouseMove(panel->window(), QPoint(5, 5)); },
                [this] {
                    QEvent enter(QEvent::Enter);
                    QApplication::sendEvent(panel->view(), &enter);
                },
                [] { QTest::qWait(50); },
                [this] { panel->buttonClicked(); },
                [this] { platform::NotificationCenter::defaultCenter()->post(platform::Window::DidResignKeyNotification, panel->window()); }};
    }
    QObject *sender() override { return panel; }
    QWidget *window() override { return parent; }
    QString stillWorks() override
    {
        int told = 0;
        PanelCounter next(told);
        panel->showOver(parent, {60, 40}, &next, "Again", "Show");
        panel->buttonClicked();
        panel->close();
        return told > 0 ? QString() : QStringLiteral("a new delegate is not told; ");
    }
    QPointer<QSChildSupportWindow> parent = new QSChildSupportWindow;
    QPointer<QSSingleButtonPanel> panel = new QSSingleButtonPanel;
};

struct DrawerUse : DelegateUse
{
    DrawerUse()
    {
        parent->setCentralWidget(new QWidget);
        parent->setGeometry(100, 100, 500, 300);
        parent->show();
        (void)QTest::qWaitForWindowExposed(parent);
        auto *content = new QWidget;
        content->resize(150, 100);
        drawer->setContentView(content);
    }
    ~DrawerUse() override
    {
        delete drawer;
        delete parent;
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new DrawerCounter(told);
        drawer->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        return {[this] { drawer->showOverView(parent->centralWidget()); },
                [] { QTest::qWait(QSWindowDrawer::AnimationTime + 50); },
                [this] { drawer->hideDrawer(); },
                [this] { (void)QTest::qWaitFor([&] { return !drawer->window()->isVisible(); }, 5000); }};
    }
    QObject *sender() override { return drawer; }
    QWidget *window() override { return parent; }
    QString stillWorks() override { return drawer->window()->isVisible() ? QStringLiteral("the drawer stays out; ") : QString(); }
    QPointer<QSChildSupportWindow> parent = new QSChildSupportWindow;
    QPointer<QSWindowDrawer> drawer = new QSWindowDrawer;
};

struct NoteUse : DelegateUse
{
    NoteUse()
    {
        rqs::registerKitClasses();
        parent->setGeometry(100, 200, 600, 400);
        parent->makeKeyAndOrderFront(nullptr);
        (void)QTest::qWaitForWindowExposed(parent);
    }
    ~NoteUse() override
    {
        delete note;
        delete parent;
    }
    Counting *attach(int &told) override
    {
        auto *delegate = new NoteCounter(told);
        note->setDelegate(delegate);
        return delegate;
    }
    QList<Step> steps() override
    {
        const auto cancel = [this] { return QPointer<QWidget>(note->cancelButton()); };
        return {[this] {
                    note->attachToWindow(parent, 0.5);
                    (void)QTest::qWaitForWindowExposed(note->window());
                },
                [=] { QTest::mousePress(cancel(), Qt::LeftButton, {}, cancel()->rect().center()); },
                [=] { QTest::mouseRelease(cancel(), Qt::LeftButton, {}, cancel()->rect().center()); }};
    }
    QObject *sender() override { return note; }
    QWidget *window() override { return parent; }
    QString stillWorks() override { return note->window()->isVisible() ? QStringLiteral("the note stays open; ") : QString(); }
    QPointer<platform::Window> parent = new platform::Window;
    QPointer<QSNoteController> note = new QSNoteController;
};

// The panel placed in a window, as an inspector places it: it outlives its effect.
struct SettingsViewUse : DelegateUse
{
    ~SettingsViewUse() override { delete shown; }
    Counting *attach(int &told) override
    {
        auto *host = new HostCounter(told);
        shown->resize(320, 80);
        panel = new QSEffectSettingsView(host, shown);
        shown->show();
        (void)QTest::qWaitForWindowExposed(shown);
        return host;
    }
    QList<Step> steps() override
    {
        const auto slider = [this] { return QPointer<QWidget>(qobject_cast<QSSlider *>(panel->settingsControls().value(0))); };
        const auto box = [this] { return QPointer<QWidget>(panel->settingsControls().value(1)); };
        return clickSteps(slider(), QPoint(slider()->width() - 5, slider()->height() / 2))
             + QList<Step>{[=] { QTest::keyPress(slider(), Qt::Key_Left); }, [=] { QTest::keyRelease(slider(), Qt::Key_Left); }}
             + clickSteps(box(), QPoint(5, box()->height() / 2)) + QList<Step>{[this] { panel->updateSettings(); }};
    }
    QObject *sender() override { return panel; }
    QWidget *window() override { return shown; }
    QPointer<QWidget> shown = new QWidget;
    QPointer<QSEffectSettingsView> panel;
};

// A download of a local file, of one that is missing, and one cancelled.
struct FileLoaderUse : DelegateUse
{
    FileLoaderUse()
    {
        QFile file(folder.filePath("feed.xml"));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray("feed ").repeated(20000));
    }
    ~FileLoaderUse() override { delete loader; }
    Counting *attach(int &told) override
    {
        auto *delegate = new LoaderCounter(told);
        loader->setDelegate(delegate);
        return delegate;
    }
    // Until the file is written or the failure logged.
    void load(const QString &from, const QString &to)
    {
        loader->setFileUrl(QUrl::fromLocalFile(folder.filePath(from)).toString());
        loader->setFileName(folder.filePath(to));
        platform::LogCapture log;
        loader->startDownload();
        (void)QTest::qWaitFor([&] { return QFile::exists(folder.filePath(to)) || !log.lines().filter("Downloading").isEmpty(); }, 5000);
    }
    QList<Step> steps() override
    {
        return {[this] { load("feed.xml", "copy.xml"); },
                [this] { load("missing.xml", "none.xml"); },
                [this] {
                    loader->setFileUrl(QUrl::fromLocalFile(folder.filePath("feed.xml")).toString());
                    loader->startDownload();
                },
                [this] { loader->cancel(); }};
    }
    QObject *sender() override { return loader; }
    QWidget *window() override { return nullptr; }
    QString stillWorks() override
    {
        load("feed.xml", "again.xml");
        return QFile::exists(folder.filePath("again.xml")) ? QString() : QStringLiteral("no longer downloads; ");
    }
    QTemporaryDir folder;
    QPointer<QSFileLoader> loader = QSFileLoader::fileDownloaderFor({}, {}, {}).release();
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

inline const QList<Holder> &holders()
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
        {"QSFileLoader", use<FileLoaderUse>},
    };
    return all;
}

inline void PrintTo(const Holder &holder, std::ostream *out) { *out << holder.className; }

inline std::string testName(const char *className)
{
    std::string name = className;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

} // namespace kitsenders
