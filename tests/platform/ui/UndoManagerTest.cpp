#include "platform/foundation/Log.h"
#include "platform/ui/UndoManager.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

using platform::UndoManager;

namespace {

// A value whose setter registers its own inverse, as model setters do, so redo comes for free.
class Slider : public QObject
{
public:
    explicit Slider(UndoManager *undo) : m_undo(undo) {}

    void setValue(int value)
    {
        const int old = m_value;
        m_undo->registerUndo(this, [this, old] { setValue(old); });
        m_value = value;
        modes << (m_undo->isUndoing() ? "undoing" : m_undo->isRedoing() ? "redoing" : "");
    }
    int value() const { return m_value; }

    QStringList modes;

private:
    UndoManager *m_undo;
    int m_value = 0;
};

void nextTurn() { QCoreApplication::processEvents(); }

} // namespace

TEST(UndoManager, ChangesOfOneEventTurnUndoAsOneStepAndUndoClosesAnOpenTurn)
{
    UndoManager undo;
    Slider slider(&undo);
    slider.setValue(1);
    slider.setValue(2);
    nextTurn();
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(slider.value(), 0) << "the two changes of the turn went back together";

    slider.setValue(5);
    ASSERT_TRUE(undo.undo()) << "same turn as the change";
    EXPECT_EQ(slider.value(), 0);
}

TEST(UndoManager, RedoReplaysWhatUndoTookBackWithTheStepNameUntilANewChange)
{
    UndoManager undo;
    Slider slider(&undo);
    slider.setValue(5);
    undo.setActionName("Zoom");
    nextTurn();

    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(undo.redoActionName(), "Zoom");

    ASSERT_TRUE(undo.redo());
    EXPECT_EQ(slider.value(), 5);
    EXPECT_EQ(undo.undoActionName(), "Zoom");
    EXPECT_EQ(slider.modes, (QStringList{"", "undoing", "redoing"}));

    ASSERT_TRUE(undo.undo());
    slider.setValue(7);
    EXPECT_FALSE(undo.canRedo()) << "a new change drops the redo steps";
}

TEST(UndoManager, GroupsNestIntoOneStepRunBackwardsAndBlockUndoWhileOpen)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Slider slider(&undo);
    slider.setValue(1);
    slider.setValue(2);
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(slider.value(), 1) << "without event grouping each loose registration is a step";

    QStringList ran;
    undo.beginUndoGrouping();
    undo.registerUndo(&slider, [&] { ran << "first"; });
    undo.beginUndoGrouping();
    undo.registerUndo(&slider, [&] { ran << "second"; });
    undo.registerUndo(nullptr, [&] { ran << "third"; });
    undo.endUndoGrouping();

    platform::LogCapture log;
    EXPECT_FALSE(undo.undo());
    EXPECT_TRUE(log.contains("Warning: Undo asked for while an undo group is open"));

    undo.endUndoGrouping();
    EXPECT_FALSE(undo.endUndoGrouping()) << "unbalanced end";
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(ran, (QStringList{"third", "second", "first"}));
    EXPECT_EQ(slider.value(), 1);
}

TEST(UndoManager, DisabledRegistrationIsCountedAndRecordsNothing)
{
    UndoManager undo;
    Slider slider(&undo);
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    slider.setValue(1);
    undo.enableUndoRegistration();
    slider.setValue(2);
    undo.enableUndoRegistration();
    EXPECT_FALSE(undo.canUndo());

    platform::LogCapture log;
    undo.enableUndoRegistration();
    EXPECT_TRUE(log.contains("Warning: Undo registration enabled more often than disabled"));
}

TEST(UndoManager, RemovedAndDestroyedTargetsLeaveTheOthersSteps)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Slider kept(&undo);
    Slider removed(&undo);
    kept.setValue(1);
    removed.setValue(1);
    undo.beginUndoGrouping();
    kept.setValue(2);
    removed.setValue(2);
    undo.endUndoGrouping();
    auto gone = std::make_unique<Slider>(&undo);
    gone->setValue(1);
    gone.reset();

    undo.removeAllActions(&removed);
    ASSERT_TRUE(undo.undo()) << "the destroyed target's step is passed over";
    EXPECT_EQ(kept.value(), 1);
    EXPECT_EQ(removed.value(), 2);
    ASSERT_TRUE(undo.undo()) << "the step that held only the removed target is gone";
    EXPECT_EQ(kept.value(), 0);
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManager, TheSavedStateIsCleanWheneverUndoOrRedoReturnsToItUntilANewBranchLosesIt)
{
    UndoManager undo;
    Slider slider(&undo);
    QList<bool> told;
    QObject::connect(&undo, &UndoManager::cleanChanged, [&](bool clean) { told << clean; });
    slider.setValue(1);
    nextTurn();
    undo.setClean(); // saved at 1
    slider.setValue(2);
    nextTurn();
    undo.undo();
    EXPECT_TRUE(undo.isClean());
    undo.undo();
    EXPECT_FALSE(undo.isClean()) << "before the save";
    undo.redo();
    EXPECT_TRUE(undo.isClean());
    EXPECT_EQ(told, (QList<bool>{false, true, false, true, false, true}));

    undo.undo();
    slider.setValue(3); // as many steps as at the save, but the saved 1 lay on the dropped redo branch
    nextTurn();
    EXPECT_FALSE(undo.isClean());
    undo.undo();
    EXPECT_FALSE(undo.isClean());
}
