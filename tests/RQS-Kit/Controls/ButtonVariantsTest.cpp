#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Controls/QSPopupButton.h"
#include "RQS-Kit/Controls/QSSymbolButton.h"
#include "RQS-Kit/Controls/QSSymbolRegistry.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

namespace {

struct Recorder : QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void dragged(QObject *sender)
    {
        auto *button = static_cast<QSDragButton *>(sender);
        steps.append({button->dragState(), button->fullDragDistance(), button->lastDragDistance()});
    }
    Q_INVOKABLE void chosen(QObject *) { ++chosenCount; }
    struct Step
    {
        int state;
        QSizeF full, last;
    };
    QList<Step> steps;
    int chosenCount = 0;
};

// A y-up point of a 200 high button as Qt's fractional event position.
void send(QWidget &widget, QEvent::Type type, QPointF yUp)
{
    const QPointF local(yUp.x(), widget.height() - yUp.y());
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, widget.mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

TEST(QSDragButton, ReportsRoundedFullAndLastDistancesOfEachGestureStep)
{
    QWidget host;
    QSDragButton button(&host);
    button.setGeometry(0, 0, 200, 200);
    host.resize(200, 200);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    Recorder recorder;
    button.setTarget(&recorder);
    button.setAction("dragged");
    send(button, QEvent::MouseButtonPress, {100, 100});
    send(button, QEvent::MouseMove, {103.4, 98.6});
    send(button, QEvent::MouseMove, {110, 95});
    send(button, QEvent::MouseButtonRelease, {110, 95});
    const QList<Recorder::Step> expected{{0, {0, 0}, {0, 0}}, {1, {3, -1}, {3, -1}}, {1, {10, -5}, {7, -4}}, {2, {10, -5}, {0, 0}}};
    ASSERT_EQ(recorder.steps.size(), expected.size());
    for (int index = 0; index < expected.size(); ++index) {
        EXPECT_EQ(recorder.steps[index].state, expected[index].state) << index;
        EXPECT_EQ(recorder.steps[index].full, expected[index].full) << index;
        EXPECT_EQ(recorder.steps[index].last, expected[index].last) << index;
    }
}

TEST(QSPopupButton, SelectsOnlyAChosenItemAndAgreesOnItsIndex)
{
    QSPopupButton button;
    Recorder recorder;
    button.setTarget(&recorder);
    button.setAction("chosen");
    EXPECT_EQ(button.selectedItem(), nullptr);
    EXPECT_EQ(button.selectedIndex(), -1);
    auto *menu = new QMenu;
    QAction *first = menu->addAction("First");
    QAction *second = menu->addAction("Second");
    button.setPopupMenu(menu);
    EXPECT_EQ(button.selectedItem(), first);
    EXPECT_EQ(button.selectedIndex(), 0) << "item and index agree";
    emit menu->hovered(second);
    emit menu->aboutToHide();
    EXPECT_EQ(button.selectedItem(), first) << "closing without a choice selects nothing";
    EXPECT_EQ(button.hoveredItem(), nullptr);
    second->trigger();
    EXPECT_EQ(button.selectedIndex(), 1);
    EXPECT_EQ(button.title(), "Second");
    EXPECT_EQ(recorder.chosenCount, 1);
    button.setKeepTitle(true);
    first->trigger();
    EXPECT_EQ(button.title(), "Second");
    EXPECT_EQ(button.selectedIndex(), 0);
}

TEST(QSSymbolButton, PicksOnAndOffDrawingsOrTheGeneralOneAndFiresOnlyWhenEnabled)
{
    QStringList drawn;
    for (const char *name : {"drawKeyWithSize", "drawKeyHoverWithSize", "drawKeyDownWithSize", "drawKeyDisabledWithSize"})
        QSSymbolRegistry::registerOperation("TableKit", name, [&drawn, name](const QSizeF &) { drawn.append(name); });
    QSSymbolRegistry::registerGeneralOperation("TableKit", "drawAllWithSize",
                                               [&drawn](const QSizeF &, double state, bool on) { drawn.append(QString("all %1 %2").arg(state).arg(on)); });
    QSSymbolButton button;
    button.resize(20, 20);
    button.setStyleKitName("TableKit");
    button.setFlexibleSize(true);
    button.setSymbolName("Key");
    const struct {
        bool on, down;
        const char *drawing;
    } cases[] = {{false, false, "drawKeyWithSize"}, {false, true, "drawKeyDownWithSize"},
                 {true, false, "drawKeyDownWithSize"}, {true, true, "drawKeyWithSize"}};
    for (const auto &c : cases) {
        button.setState(c.on ? platform::Control::OnState : platform::Control::OffState);
        button.setMouseDown(c.down);
        EXPECT_EQ(button.invocationForState(button.buttonState(), c.on), c.drawing) << c.on << c.down;
    }
    button.setSymbolName("All");
    drawn.clear();
    button.grab();
    EXPECT_EQ(drawn, QStringList{"all 3 1"}) << "on and pressed";

    Recorder recorder;
    button.setTarget(&recorder);
    button.setAction("chosen");
    button.setMouseDown(false);
    button.setHovered(true);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    button.setEnabled(true);
    EXPECT_EQ(recorder.chosenCount, 0) << "a disabled button does not fire";
}

#include "ButtonVariantsTest.moc"
