#include "RQS-Kit/Foundation/QSUndoForwarder.h"
#include "RQS-Kit/Foundation/UndoGestureRecording.h"
#include "RQS-Kit/Foundation/UndoManagerExtension.h"
#include "platform/foundation/Log.h"

#include "support/MainBundleScope.h"
#include "support/QtPrinters.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using platform::UndoManager;

namespace {

// A frame whose setters register undo as the kit's editors do.
class Frame : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double radius MEMBER radius WRITE setRadius)

public:
    Frame(UndoManager *undo, bool gesture)
        : m_undo(undo), m_gesture(gesture)
    {
    }

    void setRadius(double value)
    {
        answers << rqs::registerMouseAwareUndoWithTarget(m_undo, this, radius, "radius", m_gesture);
        radius = value;
    }
    Q_INVOKABLE void setColorName(const QString &name)
    {
        rqs::registerUndoWithTarget(m_undo, this, "setColorName", colorName);
        colorName = name;
    }

    double radius = 0;
    QString colorName = "black";
    QList<bool> answers;

private:
    UndoManager *m_undo;
    bool m_gesture;
};

// The undo manager groups the changes of one turn of the event loop.
void nextEvent() { QCoreApplication::processEvents(); }

class UndoManagerExtensionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeStringsTable(folder.path(), "en", "Localizable", {{"radius", "Corner Radius"}, {"setColorName", "Colour"}});
        surface.resize(100, 100);
        surface.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
    }
    // The recording is the process's; no test leaves one behind for the next.
    void TearDown() override { UndoGestureRecording::shared().end(); }

    QTemporaryDir folder;
    MainBundleScope scope{folder.path()};
    QWidget surface;
    UndoManager undo;
};

} // namespace

// The change before the drag is a step of its own, or the drag's first change would not register.
TEST_F(UndoManagerExtensionTest, ChangesInOneDragAreOneStepRegisteredOncePerObjectAndKey)
{
    Frame frame(&undo, false);
    Frame other(&undo, false);
    frame.setRadius(5);
    nextEvent();
    QTest::mousePress(surface.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(surface.windowHandle(), QPoint(11, 10));
    frame.setRadius(6);
    QTest::mouseMove(surface.windowHandle(), QPoint(12, 10));
    frame.setRadius(7);
    other.setRadius(1);
    other.setRadius(2);
    QTest::mouseRelease(surface.windowHandle(), Qt::LeftButton, {}, QPoint(12, 10));
    EXPECT_FALSE(rqs::recordingInProgress()) << "the release ends the gesture";
    EXPECT_EQ(frame.answers, (QList<bool>{true, true, false}));
    EXPECT_EQ(other.answers, (QList<bool>{true, false})) << "another object during the drag has a recording of its own";
    EXPECT_EQ(undo.undoActionName(), "Corner Radius");

    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(frame.radius, 7) << "the other object's step is its own";
    undo.undo();
    EXPECT_EQ(frame.radius, 5) << "the value from before the drag";
}

TEST_F(UndoManagerExtensionTest, WithoutAButtonAGestureFoldsChangesUntilItsEndIsReported)
{
    Frame frame(&undo, true);
    frame.setRadius(1);
    frame.setRadius(2);
    rqs::gestureEndedFor(&undo, &surface);
    frame.setRadius(3);
    rqs::gestureEndedFor(nullptr, &frame);
    nextEvent();
    frame.setRadius(4);
    EXPECT_EQ(frame.answers, (QList<bool>{true, false, false, true}));
    undo.undo();
    EXPECT_EQ(frame.radius, 3);
}

TEST_F(UndoManagerExtensionTest, AKeyboardUndoDuringAGestureKeepsTheRedoStep)
{
    Frame frame(&undo, true);
    frame.setRadius(1);
    frame.setRadius(2);
    // The gesture is still open when the undo command arrives from the keyboard.
    ASSERT_TRUE(undo.undo());
    ASSERT_TRUE(undo.redo()) << "the undo's own setter call was registered as the redo step";
    EXPECT_EQ(frame.radius, 2);
    ASSERT_TRUE(undo.undo());
    frame.setRadius(7);
    EXPECT_TRUE(frame.answers.last()) << "a change after the undo is a step of its own";
}

TEST_F(UndoManagerExtensionTest, UndoByOperationNameSendsTheObjectBackNamedByItUnlessANameIsSetOrThereIsNoManager)
{
    Frame frame(&undo, false);
    frame.setColorName("red");
    EXPECT_EQ(undo.undoActionName(), "Colour");
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(frame.colorName, "black");

    undo.beginUndoGrouping();
    undo.setActionName("Resize Frame");
    frame.setRadius(1);
    undo.endUndoGrouping();
    EXPECT_EQ(undo.undoActionName(), "Resize Frame");

    platform::LogCapture log;
    EXPECT_FALSE(rqs::registerUndoWithTarget(&undo, &frame, "paintItPink", "pink"));
    EXPECT_TRUE(log.contains("Warning: Unknown operation \"paintItPink\" of Frame for an undo"));
    QSUndoForwarder::sharedForwarder()->performKeyValueUndo({{"val", 1}, {"key", "radius"}});
    EXPECT_TRUE(log.contains("Warning: Undo record without an object"));

    // Without a manager, or with registration disabled, nothing is recorded.
    Frame unmanaged(nullptr, false);
    unmanaged.setRadius(1);
    EXPECT_FALSE(unmanaged.answers.first());
    EXPECT_FALSE(rqs::registerUndoWithTarget(nullptr, &frame, "setColorName", "red"));
    undo.disableUndoRegistration();
    EXPECT_FALSE(rqs::registerMouseAwareUndoWithTarget(&undo, &frame, 0.0, "radius", false));
}

#include "UndoManagerExtensionTest.moc"
