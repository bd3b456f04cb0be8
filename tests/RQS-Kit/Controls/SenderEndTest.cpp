#include "KitSenders.h"

#include "platform/ui/Control.h"
#include "platform/ui/InterfaceLoader.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <memory>

// A callee may end what told it: the object that sent the message, or the window that holds it, is
// deleted inside the message, as a Close button's target deletes its panel. Each kit class keeps
// itself, and what it touches after the call, guarded across every call, so nothing runs on in a
// deleted object (AddressSanitizer reports any that does: scripts/sanitize). Every message a class
// sends in the drive of its row, each ending in a fresh subject.

using namespace kitsenders;

namespace {

enum class Ending { Sender, Window };

const char *nameOf(Ending ending) { return ending == Ending::Sender ? "the sender" : "its window"; }

// Runs the steps up to the one in which the watched object went, then what its end left queued.
void runWhileThere(const QList<Step> &steps, const QPointer<QObject> &watched)
{
    for (const Step &step : steps) {
        if (!watched)
            break;
        step();
    }
    QTest::qWait(20);
}

// Every subject starts with the pointer away from the windows, over a window of its own so that
// the window system reports it there (where the kit's still pointer takes it to be), and a hover
// comes as the steps move the pointer, whatever the subject before left it.
void parkThePointer()
{
    QWidget parking;
    parking.setGeometry(QRect(QGuiApplication::primaryScreen()->geometry().bottomRight() - QPoint(20, 20), QSize(10, 10)));
    parking.show();
    (void)QTest::qWaitForWindowExposed(&parking);
    QTest::mouseMove(&parking, QPoint(5, 5));
}

std::unique_ptr<DelegateUse> make(const Holder &holder)
{
    parkThePointer();
    return holder.make();
}

// The telling messages of a row's steps, each once, in the order they first came.
QStringList messagesOf(const Holder &holder)
{
    int told = 0;
    std::unique_ptr<DelegateUse> live = make(holder);
    std::unique_ptr<Counting> delegate(live->attach(told));
    delegate->heard.clear();
    live->drive();
    QStringList messages = delegate->heard;
    messages.removeDuplicates();
    return messages;
}

} // namespace

class KitSender : public ::testing::TestWithParam<Holder>
{
protected:
    void SetUp() override { rqs::registerKitClasses(); }
};

TEST_P(KitSender, ACalleeMayDeleteTheSenderOrItsWindowInEveryMessage)
{
    const Holder &holder = GetParam();
    // A class that only asks (the print view asks for its picture as it draws) has nothing to end.
    const QStringList messages = messagesOf(holder);
    for (const QString &message : messages) {
        for (Ending ending : {Ending::Sender, Ending::Window}) {
            SCOPED_TRACE(message.toStdString() + " deletes " + nameOf(ending));
            int told = 0;
            std::unique_ptr<DelegateUse> subject = make(holder);
            const QPointer<QObject> sender = subject->sender();
            const QPointer<QObject> ended = ending == Ending::Sender ? sender.data() : subject->window();
            if (!ended || subject->sentAsThePointerCrosses().contains(message)
                || (ending == Ending::Window && subject->sentAsTheWindowResizes().contains(message)))
                continue;
            std::unique_ptr<Counting> delegate(subject->attach(told));
            bool deleted = false;
            delegate->onTold = [&](const QString &heard) {
                if (heard == message && ended && !deleted) {
                    deleted = true;
                    delete ended.data();
                }
            };
            runWhileThere(subject->steps(), ended);
            EXPECT_TRUE(deleted) << holder.className << " no longer sends " << message.toStdString();
            EXPECT_TRUE(ended.isNull());
            if (ending == Ending::Window) {
                EXPECT_TRUE(sender.isNull() || qobject_cast<QWidget *>(sender.data()) == nullptr)
                    << "a view outlived its window";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKitClassThatHoldsADelegate, KitSender, ::testing::ValuesIn(holders()),
                         [](const ::testing::TestParamInfo<Holder> &info) { return testName(info.param.className); });

namespace {

// A control's target that may end the control or its window in its action. (The hover a kit button
// tells its target comes as Qt tells the button that the pointer entered or left it, after which
// Qt reads the button: no target may end it there.)
struct EndingTarget : QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void act(QObject *) { tell(QStringLiteral("act")); }
    void tell(const QString &message)
    {
        heard.append(message);
        if (onTold)
            onTold(message);
    }
    QStringList heard;
    std::function<void(const QString &)> onTold;
};

} // namespace

// Every control the interface files can make, its target ending the control or its window in
// each message the control sends it.
TEST(KitSenders, ATargetMayDeleteTheControlOrItsWindowInEveryMessage)
{
    rqs::registerKitClasses();
    int controls = 0;
    for (const QString &name : platform::InterfaceLoader::registeredClassNames()) {
        EndingTarget live;
        QStringList messages;
        {
            parkThePointer();
            ControlOnWindow on(name, &live);
            if (!on.control)
                continue;
            ++controls;
            runWhileThere(controlSteps(on.control), on.control.data());
            messages = live.heard;
            messages.removeDuplicates();
        }
        EXPECT_FALSE(messages.isEmpty()) << name.toStdString() << " sent its target nothing";
        for (const QString &message : messages) {
            for (Ending ending : {Ending::Sender, Ending::Window}) {
                SCOPED_TRACE(name.toStdString() + ": " + message.toStdString() + " deletes " + nameOf(ending));
                EndingTarget target;
                parkThePointer();
                ControlOnWindow on(name, &target);
                const QPointer<QObject> ended = ending == Ending::Sender ? static_cast<QObject *>(on.control) : on.shown.data();
                bool deleted = false;
                target.onTold = [&](const QString &heard) {
                    if (heard == message && ended && !deleted) {
                        deleted = true;
                        delete ended.data();
                    }
                };
                runWhileThere(controlSteps(on.control), ended);
                EXPECT_TRUE(deleted);
                EXPECT_TRUE(on.control.isNull());
            }
        }
    }
    EXPECT_GE(controls, 10) << "the buttons, the colour wells and the gradient picker";
}

#include "SenderEndTest.moc"

namespace {

// A grid's client that deletes the tile whose remove button was clicked, as it removes the item.
struct TileDeleter : QObject, QSGridViewDelegate
{
    void selectedItemWithContext(QSGridViewController *, const QVariant &) override {}
    void executeItemWithContext(QSGridViewController *, const QVariant &) override {}
    void removeItemWithContext(QSGridViewController *, const QVariant &) override
    {
        ++removed;
        delete tile.data();
    }
    void changedPin(QSGridViewController *, bool, const QVariant &) override {}
    void hovering(QSGridViewController *, bool, const QVariant &) override {}
    QPointer<QSGridItem> tile;
    int removed = 0;
};

} // namespace

// The tile's click reaches the grid, the grid's message its client, and the client deletes the
// tile: neither the grid nor the tile runs on in it, and the other tiles stay.
TEST(KitSenders, AGridsClientMayDeleteTheTileWhoseRemoveButtonWasClicked)
{
    rqs::registerKitClasses();
    QSGridViewController grid;
    TileDeleter client;
    grid.setDelegate(&client);
    grid.view()->resize(600, 400);
    grid.view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.view()));
    const int section = grid.addSection(QSGridItem::HasRemove | QSGridItem::Selectable);
    for (int i = 0; i < 3; ++i)
        grid.addImage(square(), QString(), i, i, section);
    const QList<QSGridItem *> tiles = grid.gridItemsInSection(section);
    ASSERT_EQ(tiles.size(), 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tiles[1]->geometry().intersects(tiles[0]->geometry())
                                             && !tiles[1]->geometry().intersects(tiles[2]->geometry()); }, 5000))
        << "laid out side by side";
    client.tile = tiles[1];
    const QPoint removeButton(15, 15);
    QTest::mouseMove(client.tile, removeButton);
    QTest::mousePress(client.tile, Qt::LeftButton, {}, removeButton);
    QTest::mouseRelease(client.tile, Qt::LeftButton, {}, removeButton);
    QTest::qWait(20);
    EXPECT_EQ(client.removed, 1);
    EXPECT_TRUE(client.tile.isNull());
    EXPECT_EQ(grid.gridItemsInSection(section), QList<QSGridItem *>({tiles[0], tiles[2]}));
}
