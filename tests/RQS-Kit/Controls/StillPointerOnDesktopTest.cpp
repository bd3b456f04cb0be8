#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QS3DView.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSCropView.h"
#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSInfoHoverButton.h"
#include "RQS-Kit/Controls/QSResizeView.h"
#include "RQS-Kit/Controls/QSRotationView.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Controls/QSSymbolButton.h"
#include "RQS-Kit/Controls/QSTurnedCursorView.h"
#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "RQS-Kit/Helper/QSHintController.h"
#include "RQS-Kit/Helper/QSSingleButtonPanel.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "platform/layers/Layer.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/StillPointer.h"
#include "platform/ui/Window.h"

#include "support/Desktop.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QMatrix4x4>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <optional>

using platform::View;

namespace {

// Milliseconds: states come at once, but a machine with every core busy is slow to tell.
constexpr int deadline = 30000;

QVariant keyOf(QObject *object) { return QVariant::fromValue(object); }

// Moves the display's pointer as a user would and waits until the application has heard it there.
bool pointAt(const QPoint &global)
{
    xdotool(qEnvironmentVariable("DISPLAY"), {"mousemove", QString::number(global.x()), QString::number(global.y())});
    return QTest::qWaitFor([&] { return platform::StillPointer::position() == QPointF(global); }, deadline);
}

QImage screen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32); }

// What the screen shows of the area once it has settled: the same twice running.
QImage settledLook(const QRect &area)
{
    QImage last;
    (void)QTest::qWaitFor([&] {
        const QImage now = screen().copy(area);
        const bool settled = now == last;
        last = now;
        return settled;
    }, deadline);
    return last;
}

// The screen around the window, the still pointer marked with a red cross.
QImage markedScreen(const QRect &around, const QPoint &pointer)
{
    QImage shot = screen();
    QPainter painter(&shot);
    painter.setPen(QPen(Qt::red, 1));
    painter.drawLine(pointer - QPoint(6, 0), pointer + QPoint(6, 0));
    painter.drawLine(pointer - QPoint(0, 6), pointer + QPoint(0, 6));
    painter.end();
    return shot.copy(around.adjusted(-80, -80, 80, 80).intersected(shot.rect()));
}

// A window with a y-up content view and a hint line, and the pointer held still over the middle
// of the content.
struct Stage
{
    platform::Window window;
    View *content = new View;
    QLabel *hints = new QLabel;
    std::shared_ptr<QSHintController> hintController;
    QPoint pointer; // global

    Stage()
    {
        window.setCentralWidget(content);
        // Dark, so that the editors' white frames and rings show.
        QPalette dark = window.palette();
        dark.setColor(QPalette::Window, QColor(60, 70, 80));
        dark.setColor(QPalette::WindowText, Qt::white);
        window.setPalette(dark);
        window.resize(800, 600);
        content->addSubview(hints);
        hintController = QSHintController::addHintConrollerForWindow(&window, hints);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        settledFrame(&window);
        hints->setGeometry(10, content->height() - 25, 400, 25);
        pointer = content->mapToGlobal(QPoint(400, 300));
        EXPECT_TRUE(pointAt(pointer));
    }
    // Where the pointer is in the content, y-up.
    QPointF pointerInContent() const
    {
        const QPoint at = content->mapFromGlobal(pointer);
        return QPointF(at.x(), content->height() - at.y());
    }
    bool onCursorStack(QObject *key, const QWidget *of) const
    {
        const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(of);
        return stack && stack->keys().contains(keyOf(key));
    }
    // The cursor Qt shows under the pointer: the first one set from the widget there upwards.
    Qt::CursorShape shownCursor() const
    {
        QWidget *top = QApplication::topLevelAt(pointer);
        QWidget *widget = top ? top->childAt(top->mapFromGlobal(pointer)) : nullptr;
        for (widget = widget ? widget : top; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
            if (widget->testAttribute(Qt::WA_SetCursor))
                return widget->cursor().shape();
        }
        return Qt::ArrowCursor;
    }
    bool hintShown() const { return !hints->text().isEmpty(); }
};

// What a view shows of the pointer being over it; nullopt where the view has no such thing.
struct Facts
{
    // What a view does not have stays unknown.
    Facts(bool hovered, std::optional<bool> cursor = {}, std::optional<bool> shown = {}, std::optional<bool> hint = {}, QString detail = {})
        : hovered(hovered), cursor(cursor), shown(shown), hint(hint), detail(std::move(detail))
    {
    }

    bool hovered = false;
    std::optional<bool> cursor; // its cursor on its window's cursor stack
    std::optional<bool> shown;  // and shown under the pointer
    std::optional<bool> hint;   // its hint in the window's hint line
    QString detail;

    QString wrongFor(bool over) const
    {
        QStringList wrong;
        if (hovered != over)
            wrong << QStringLiteral("hovered %1").arg(hovered);
        for (const auto &[name, fact] : {std::pair{"cursor on the stack", cursor}, {"cursor shown", shown}, {"hint", hint}}) {
            if (fact && *fact != over)
                wrong << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(*fact);
        }
        return wrong.isEmpty() ? QString() : wrong.join(", ") + " (" + detail + ")";
    }
};

using Reader = std::function<Facts()>;

// Any tracking area of the view or a view inside it has the pointer.
bool anyAreaHasThePointer(QWidget *widget)
{
    QList<View *> views = widget->findChildren<View *>();
    if (auto *view = qobject_cast<View *>(widget))
        views.prepend(view);
    for (View *view : views) {
        for (const platform::TrackingArea &area : view->trackingAreas()) {
            if (view->isPointerInside(area.identifier))
                return true;
        }
    }
    return false;
}

bool tracksThePointer(View *view)
{
    QList<View *> views = view->findChildren<View *>();
    views.prepend(view);
    return std::any_of(views.cbegin(), views.cend(), [](View *each) { return !each->trackingAreas().isEmpty(); });
}

// Records what a tile tells its delegate.
struct TileHover : QObject, QSGridItemDelegate
{
    void gridItemChangedHoverState(QSGridItem *, bool hovered) override { last = hovered; }
    bool last = false;
};

// By kind of view, the most it shows of the hover; the first that fits wins, the last fits all.
Reader readerFor(QWidget *widget, Stage &stage, TileHover &tiles)
{
    if (auto *button = qobject_cast<QSButton *>(widget)) {
        return [&stage, button] {
            return Facts{button->buttonState() == 2, stage.onCursorStack(button, &stage.window),
                         stage.shownCursor() == Qt::PointingHandCursor, stage.hintShown(),
                         QStringLiteral("state %1").arg(button->buttonState())};
        };
    }
    if (auto *symbol = qobject_cast<QSSymbolButton *>(widget))
        return [symbol] { return Facts{symbol->hovered()}; };
    if (auto *editor = qobject_cast<QSTurnedCursorView *>(widget)) {
        return [&stage, editor] {
            return Facts{editor->currentCursor().has_value(), stage.onCursorStack(editor, &stage.window),
                         stage.shownCursor() == Qt::BitmapCursor, stage.hintShown()};
        };
    }
    if (auto *crop = qobject_cast<QSCropView *>(widget)) {
        return [&stage, crop] {
            const bool open = stage.shownCursor() == Qt::OpenHandCursor;
            return Facts{stage.onCursorStack(crop, &stage.window), std::nullopt, open};
        };
    }
    if (auto *tile = qobject_cast<QSGridItem *>(widget))
        return [&tiles, tile] { return Facts{tile->isHovered() && tiles.last, std::nullopt, std::nullopt, std::nullopt,
                                                        QStringLiteral("tile %1, delegate %2").arg(tile->isHovered()).arg(tiles.last)}; };
    if (auto *stack = qobject_cast<QSStackView *>(widget)) {
        return [&stage, stack] {
            return Facts{stage.onCursorStack(stack, &stage.window), std::nullopt, stage.shownCursor() == Qt::PointingHandCursor,
                         std::nullopt, QStringLiteral("pile top %1").arg(stack->trackingTop())};
        };
    }
    return [widget] { return Facts{anyAreaHasThePointer(widget)}; };
}

struct Step
{
    QString change;
    std::function<void()> make;
    bool over; // the pointer is over the view's active part afterwards
};

// Each step made, then its state waited for; a failure names the view and the step. The screen
// at the first step that leaves the pointer over the view, drawn, is saved for a person to see.
void walk(const QString &name, const QList<Step> &steps, const std::function<Facts()> &facts, Stage &stage,
          const std::function<QRect()> &drawnIn)
{
    bool saved = false;
    for (const Step &step : steps) {
        step.make();
        const bool reached = QTest::qWaitFor([&] { return facts().wrongFor(step.over).isEmpty(); }, deadline);
        if (!reached) {
            ADD_FAILURE() << name.toStdString() << ", " << step.change.toStdString() << ": "
                          << facts().wrongFor(step.over).toStdString();
        }
        if (reached && step.over && !saved) {
            // Drawn now, as the hover left it, and then seen on the screen.
            stage.window.repaint();
            settledLook(drawnIn());
            saved = saveScreenshot(markedScreen(stage.window.frameGeometry(), stage.pointer), "still-pointer-" + name);
            EXPECT_TRUE(saved);
        }
    }
}

// Moves, resizes, hides, shows, removes and adds a view of the content, with the still pointer at
// its grip point (y-up, in the view) whenever it is at home.
QList<Step> standardSteps(Stage &stage, View *view, const QSizeF &size, const QPointF &grip)
{
    const QRectF home(stage.pointerInContent() - grip, size);
    const QRectF away = home.translated(260, 0);
    const QRectF shrunk(home.topLeft(), QSizeF(std::max(1.0, grip.x() - 10), std::max(1.0, grip.y() - 10)));
    return {
        {"added under the still pointer", [=, &stage] { view->setFrame(home); stage.content->addSubview(view); }, true},
        {"moved from under it", [=] { view->setFrame(away); }, false},
        {"moved back under it", [=] { view->setFrame(home); }, true},
        {"shrunk from under it", [=] { view->setFrame(shrunk); }, false},
        {"grown back under it", [=] { view->setFrame(home); }, true},
        {"hidden", [=] { view->hide(); }, false},
        {"shown again", [=] { view->show(); }, true},
        {"removed from its superview", [=] { view->removeFromSuperview(); }, false},
        {"added again", [=, &stage] { stage.content->addSubview(view); }, true},
    };
}

// Moves the pointer over points of the view (y-up), over its children, and back: the view
// reports no exit on the way.
void moveWithin(Stage &stage, const QString &name, QWidget *view, const QList<QPointF> &points,
                const std::function<bool()> &stillOver)
{
    for (const QPointF &point : points) {
        const QPoint global = view->mapToGlobal(QPoint(qRound(point.x()), qRound(view->height() - point.y())));
        ASSERT_TRUE(pointAt(global));
        // What the move set going is done.
        QCoreApplication::processEvents();
        EXPECT_TRUE(stillOver()) << name.toStdString() << ": an exit at " << point.x() << "," << point.y();
    }
    ASSERT_TRUE(pointAt(stage.pointer));
    EXPECT_TRUE(QTest::qWaitFor(stillOver, deadline)) << name.toStdString() << ": back where the pointer stays";
}

QImage plain(const QColor &colour)
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Sizes, set-up and grip points of the kit classes that need them; others are 160 × 60 and held
// in the middle.
struct ClassSetup
{
    ClassSetup(QSizeF size = {160, 60}, std::function<void(QWidget *)> configure = {}, std::function<QPointF(QWidget *)> grip = {},
               std::function<QList<QPointF>(QWidget *)> inner = {})
        : size(size), configure(std::move(configure)), grip(std::move(grip)), inner(std::move(inner))
    {
    }

    QSizeF size;
    std::function<void(QWidget *)> configure;
    std::function<QPointF(QWidget *)> grip; // y-up; the middle when none
    // Points over the view's children (y-up), where the pointer is still over the view.
    std::function<QList<QPointF>(QWidget *)> inner;
};

std::map<QString, ClassSetup> setups(TileHover &tiles)
{
    return {
        {"QSButton", {{160, 40}}},
        {"QSResizeView", {{160, 100},
                          [](QWidget *w) {
                              auto *view = static_cast<QSResizeView *>(w);
                              auto *tab = new QLabel("Tab", view);
                              tab->setGeometry(55, 10, 50, 20);
                              view->setTabWidth(60);
                              view->setTopTabContent(tab);
                          },
                          [](QWidget *) { return QPointF(157, 50); },
                          [](QWidget *) { return QList<QPointF>{{80, 80}, {80, 50}}; }}}, // the tab's label, the inside
        {"QSRotationView", {{160, 160}, [](QWidget *w) { static_cast<QSRotationView *>(w)->setHint("Turn it"); },
                            [](QWidget *) { return QPointF(80 + 75, 80); }}}, // on the ring: radius 75
        {"QSCropView", {{160, 120}, [](QWidget *w) { static_cast<QSCropView *>(w)->setActiveAreaRatio(160.0 / 120); }}},
        {"QSGridItem", {{120, 90}, [&tiles](QWidget *w) {
             auto *tile = static_cast<QSGridItem *>(w);
             tile->setImage(plain(Qt::darkCyan));
             tile->setDelegate(&tiles);
         }}},
        {"QSStackView", {{300, 260},
                         [](QWidget *w) {
                             for (int card = 0; card < 3; ++card)
                                 static_cast<QSStackView *>(w)->addGridItem(QSGridItem::gridItem(plain(Qt::darkYellow), "Card", card, 0), true);
                         },
                         [](QWidget *w) { return QPointF(150, static_cast<QSStackView *>(w)->trackingTop() / 2); },
                         [](QWidget *w) {
                             const double top = static_cast<QSStackView *>(w)->trackingTop();
                             return QList<QPointF>{{40, top / 3}, {260, top * 2 / 3}, {150, top - 4}}; // over one card and another
                         }}},
        {"QSGradientPicker", {{150, 27}}},
        {"QSSimpleColorWell", {{60, 27}}},
        {"QSRowView", {{300, 45}}},
        {"QSBasicListEntryView", {{300, 45}}},
        {"QSOpenableListEntryView", {{300, 45}}},
        {"QSSymbolButton", {{60, 40}}},
    };
}

// The class made as an interface file makes it, alone.
QWidget *loaded(const QString &className, const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QString(className).replace("::", "_") + ".ui");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return nullptr;
    file.write(QStringLiteral("<ui version=\"4.0\"><class>Probe</class><widget class=\"%1\" name=\"probe\"/></ui>").arg(className).toUtf8());
    file.close();
    return platform::InterfaceLoader::loadFile(path, nullptr);
}

// A button in a subview of a 3-D view, the subview turned: the 3-D view finds it by its layer.
void walkThreeDSubview(Stage &stage, TileHover &tiles)
{
    const QSizeF size(300, 200);
    auto *threeD = new QS3DView;
    threeD->setFrame(QRectF(QPointF(20, 20), size));
    auto *subview = new View;
    const QRectF placed(50, 40, 200, 120);
    subview->setFrame(placed);
    threeD->addSubview(subview);
    QMatrix4x4 turn;
    turn.rotate(20, 0, 0, 1);
    subview->layer()->setTransform(turn);
    auto *button = new QSButton;
    button->setName("DefaultStyle");
    button->setTitle("3-D");
    button->setHint("Click it");
    subview->addSubview(button);
    button->setFrame(QRectF(50, 40, 100, 40));
    const QPointF grip = subview->layer()->convertPointToLayer(button->convertPointToView({50, 20}, subview), threeD->layer());
    QList<Step> steps = standardSteps(stage, threeD, size, grip);
    steps << Step{"its subview moved from under the pointer inside the 3-D view", [=] { subview->setFrame(placed.translated(0, 70)); }, false}
          << Step{"its subview moved back", [=] { subview->setFrame(placed); }, true};
    walk("QS3DView subview", steps, readerFor(button, stage, tiles), stage,
         [threeD] { return QRect(threeD->mapToGlobal(QPoint()), threeD->size()); });
    delete threeD;
}

// A pile that grows under the still pointer shows the pointing hand at once.
void walkGrowingPile(Stage &stage, TileHover &tiles)
{
    auto *stack = new QSStackView;
    const QSizeF size(300, 300);
    stack->setFrame(QRectF(QPointF(20, 20), size));
    stack->addGridItem(QSGridItem::gridItem(plain(Qt::darkYellow), "Card", 0, 0), true);
    // Above one card, beneath the top of twenty.
    const QPointF grip(150, stack->trackingTop() + 25);
    const QRectF home(stage.pointerInContent() - grip, size);
    const QList<Step> steps{
        {"added with one card beneath the pointer", [=, &stage] { stack->setFrame(home); stage.content->addSubview(stack); }, false},
        {"filled with nineteen more, growing under the pointer",
         [=] {
             for (int card = 1; card < 20; ++card)
                 stack->addGridItem(QSGridItem::gridItem(plain(Qt::darkYellow), "Card", card, 0), false);
         },
         true},
    };
    walk("QSStackView growing", steps, readerFor(stack, stage, tiles), stage,
         [stack] { return QRect(stack->mapToGlobal(QPoint()), stack->size()); });
    delete stack;
}

// What the shared single-button panel tells its delegate of the pointer.
struct PanelHover : QObject, QSSingleButtonPanelDelegate
{
    void panelChangedHovered(QSSingleButtonPanel *, bool hovered) override { heard << hovered; }
    QList<bool> heard;
    Facts facts() const
    {
        QStringList told;
        for (bool hovered : heard)
            told << (hovered ? "yes" : "no");
        return Facts{!heard.isEmpty() && heard.last(), std::nullopt, std::nullopt, std::nullopt, "told " + told.join(' ')};
    }
};

// Points of the panel's window (y-up) over its label and its button.
QList<QPointF> overPanelChildren(QSSingleButtonPanel &panel)
{
    QList<QPointF> points;
    for (QWidget *child : {panel.property("label").value<QWidget *>(), panel.property("button").value<QWidget *>()}) {
        const QPoint at = child->mapTo(panel.window(), child->rect().center());
        points << QPointF(at.x(), panel.window()->height() - at.y());
    }
    return points;
}

// The panel hangs below a point of the window; shown there, the pointer lies on its ground.
QPoint panelPointAbove(const Stage &stage) { return stage.window.mapFromGlobal(stage.pointer) - QPoint(40, 20); }

void walkPanel(Stage &stage)
{
    QSSingleButtonPanel *panel = QSSingleButtonPanel::sharedPanel();
    PanelHover hover;
    const QPoint above = panelPointAbove(stage);
    const QList<Step> steps{
        {"shown under the still pointer", [&] { panel->showOver(&stage.window, above, &hover, "", "OK"); }, true},
        {"shown again elsewhere", [&] { panel->showOver(&stage.window, above + QPoint(200, 120), &hover, "", "OK"); }, false},
        {"shown again under it", [&] { panel->showOver(&stage.window, above, &hover, "", "OK"); }, true},
        {"filled with a message of three lines",
         [&] { panel->showOver(&stage.window, above, &hover, "The pages are ready. Print them now, or later from the File menu, as you like.", "Print"); },
         true},
    };
    walk("QSSingleButtonPanel", steps, [&] { return hover.facts(); }, stage, [panel] { return panel->window()->frameGeometry(); });
    const qsizetype told = hover.heard.size();
    moveWithin(stage, "QSSingleButtonPanel", panel->window(), overPanelChildren(*panel),
               [&] { return !hover.heard.mid(told).contains(false); });
    panel->hideForDelegate(&hover);
}

// A button in a drawer that slides out over the still pointer and back.
void walkDrawer(Stage &stage)
{
    auto *focus = new View;
    stage.content->addSubview(focus);
    // The drawer's right edge meets the focus view's, 40 right of the pointer.
    focus->setFrame(QRectF(stage.pointerInContent() - QPointF(100, 50), QSizeF(140, 100)));
    QSWindowDrawer drawer;
    auto *contents = new QWidget;
    contents->resize(120, 100);
    auto *button = new QSButton(contents);
    button->setName("DefaultStyle");
    button->setTitle("Drawer");
    // The drawer, 120 wide, ends 40 right of the pointer: the button spans from 20 left of it to
    // 60 right, and 15 above and below it.
    button->setGeometry(60, 35, 80, 30);
    drawer.setContentView(contents);
    const QList<Step> steps{
        {"slid out under the still pointer", [&] { drawer.showOverView(focus); }, true},
        {"slid back from under it", [&] { drawer.hideDrawer(); }, false},
        {"slid out again", [&] { drawer.showOverView(focus); }, true},
    };
    walk("QSWindowDrawer", steps, [&] {
        return Facts{button->buttonState() == 2, stage.onCursorStack(button, button->window()), std::nullopt, std::nullopt,
                     QStringLiteral("state %1").arg(button->buttonState())};
    }, stage, [&drawer] { return drawer.window()->frameGeometry(); });
    drawer.hideDrawer();
    drawer.finishedCloseAnimation();
    delete focus;
}

// An information button shows its hover window over itself; the window closed from under the
// still pointer leaves the button under it, which shows it again.
void walkInfoHover(Stage &stage)
{
    auto *info = new QSInfoHoverButton;
    info->setName("DefaultStyle");
    info->setTitle("Info");
    info->setInfoTitle("Title");
    info->setInfoDescription("What the button does, in a few words.");
    const QSizeF size(120, 40);
    const QRectF home(stage.pointerInContent() - QPointF(60, 20), size);
    const auto hoverWindow = [info] { return info->hoverWC()->window(); };
    const QList<Step> steps{
        {"added under the still pointer", [=, &stage] { info->setFrame(home); stage.content->addSubview(info); }, true},
        {"its hover window closed from under the pointer", [=] { info->hoverWC()->close(nullptr); }, true},
    };
    walk("QSInfoHoverButton", steps, [&] {
        const bool shown = hoverWindow()->isVisible() && hoverWindow()->frameGeometry().contains(stage.pointer);
        return Facts{shown, std::nullopt, std::nullopt, std::nullopt, QStringLiteral("window shown %1").arg(hoverWindow()->isVisible())};
    }, stage, [=] { return hoverWindow()->frameGeometry(); });
    info->hoverWC()->close(nullptr);
    delete info;
}

} // namespace

// Every kit view that follows the pointer follows it also when the pointer stays where it is and
// the view changes under it: moved, resized, hidden, shown, removed, added. Its hover state, the
// cursor on its window's cursor stack (and the one shown) and its hint are right within a deadline
// without the pointer moving. Every class registered for interface files is made; each that then
// tracks the pointer is walked, with the most its kind shows of the hover; a class added later is
// walked too. Then the views that are no such class, or show their hover otherwise: a turned 3-D
// subview, a pile growing under the pointer, the single-button panel (and the pointer crossing its
// label and button), a drawer and the information button's hover window.
TEST(StillPointerOnDesktop, EveryKitViewThatTracksThePointerFollowsItWhileItStaysStill)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    Stage stage;
    TileHover tiles;
    const std::map<QString, ClassSetup> configured = setups(tiles);
    // These have their own cases: the hover window covers the button it shows for.
    const QStringList ownCases{"QSInfoHoverButton"};
    QTemporaryDir folder;
    QStringList walked;
    for (const QString &className : platform::InterfaceLoader::registeredClassNames()) {
        std::unique_ptr<QWidget> widget(loaded(className, folder));
        ASSERT_TRUE(widget) << className.toStdString();
        auto *view = qobject_cast<View *>(widget.get());
        if (!view || ownCases.contains(className))
            continue;
        const auto found = configured.find(className);
        const ClassSetup setup = found != configured.end() ? found->second : ClassSetup();
        // Placed away from the pointer first: a view that tracks nothing there is no view of this kind.
        view->setFrame(QRectF(QPointF(20, 20), setup.size));
        if (setup.configure)
            setup.configure(view);
        // Every button shows a look, a title and a hint while hovered.
        if (auto *button = qobject_cast<QSButton *>(view)) {
            button->setName("DefaultStyle");
            button->setTitle(className);
            button->setHint("Click it");
        }
        const QPointF grip = setup.grip ? setup.grip(view) : QPointF(setup.size.width() / 2, setup.size.height() / 2);
        stage.content->addSubview(view);
        QCoreApplication::processEvents();
        if (!tracksThePointer(view)) {
            view->removeFromSuperview();
            continue;
        }
        view->removeFromSuperview();
        walked << className;
        const Reader read = readerFor(view, stage, tiles);
        walk(className, standardSteps(stage, view, setup.size, grip), read, stage,
             [view] { return QRect(view->mapToGlobal(QPoint()), view->size()); });
        if (setup.inner)
            moveWithin(stage, className, view, setup.inner(view), [view] { return anyAreaHasThePointer(view); });
        view->removeFromSuperview();
    }
    walkThreeDSubview(stage, tiles);
    walkGrowingPile(stage, tiles);
    walkPanel(stage);
    walkDrawer(stage);
    walkInfoHover(stage);
    std::cout << "Walked: " << walked.join(", ").toStdString()
              << ", and a QS3DView subview, a growing QSStackView, QSSingleButtonPanel, QSWindowDrawer, QSInfoHoverButton" << std::endl;
    for (const char *kind : {"QSButton", "QSDragButton", "QSPopupButton", "QSToolBarButton", "QSSymbolButton", "QSResizeView",
                             "QSRotationView", "QSCropView", "QSGridItem", "QSStackView", "QSRowView", "QSBasicListEntryView",
                             "QSOpenableListEntryView", "QSSimpleColorWell", "QSGradientPicker"})
        EXPECT_TRUE(walked.contains(kind)) << kind << " tracks the pointer but was not walked";
}

// Two buttons trade places under a pointer that stays where it is: the one moved away is no longer
// hovered and takes its pointing hand off the window's cursor stack, the one moved there is.
TEST(StillPointerOnDesktop, AButtonMovedFromUnderAStillPointerLosesItsHoverAndTheOneMovedThereGainsIt)
{
    FOLDWISE_REQUIRE_DESKTOP();
    Stage stage;
    const QRectF under(stage.pointerInContent() - QPointF(50, 20), QSizeF(100, 40));
    const QRectF beside = under.translated(180, 0);
    QSButton *buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new QSButton;
        buttons[i]->setName("DefaultStyle");
        buttons[i]->setTitle(i == 0 ? "A" : "B");
        stage.content->addSubview(buttons[i]);
        buttons[i]->setFrame(i == 0 ? under : beside);
    }
    QSButton *a = buttons[0], *b = buttons[1];
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->buttonState() == 2; }, deadline));

    a->setFrame(beside);
    b->setFrame(under);
    EXPECT_TRUE(QTest::qWaitFor([&] { return a->buttonState() == 1 && b->buttonState() == 2; }, deadline))
        << "states " << a->buttonState() << " and " << b->buttonState();
    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&stage.window);
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->keys(), QVariantList{keyOf(b)}) << "only the button under the pointer";
}

// The panel's ground is the whole panel: the pointer moving from it onto the panel's own label and
// button never leaves it.
TEST(StillPointerOnDesktop, ThePanelStaysHoveredWhileThePointerCrossesItsLabelAndButton)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    Stage stage;
    QSSingleButtonPanel *panel = QSSingleButtonPanel::sharedPanel();
    PanelHover hover;
    // The pointer starts on the bare ground, left of the label and the button, clear of the corners.
    const QPoint bareGround(6, 30);
    panel->showOver(&stage.window, stage.window.mapFromGlobal(stage.pointer) - bareGround, &hover,
                    "The pages are ready to print, now or later.", "Print");
    for (const char *part : {"label", "button"})
        ASSERT_FALSE(panel->property(part).value<QWidget *>()->geometry().contains(bareGround)) << part;
    ASSERT_TRUE(QTest::qWaitFor([&] { return hover.facts().wrongFor(true).isEmpty(); }, deadline))
        << hover.facts().wrongFor(true).toStdString();
    moveWithin(stage, "QSSingleButtonPanel", panel->window(), overPanelChildren(*panel), [&] { return hover.heard == QList<bool>{true}; });
    panel->hideForDelegate(&hover);
}
