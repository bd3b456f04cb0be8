#include "RQS-Kit/Foundation/QSUndoForwarder.h"
#include "RQS-Kit/Foundation/UndoGestureRecording.h"
#include "RQS-Kit/Foundation/UndoManagerExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

#include "support/MainBundleScope.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using platform::UndoManager;

namespace {

// A frame whose setters register gesture-aware undo, as the kit's editors do.
class Frame : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double radius READ radius WRITE setRadius)

public:
    Frame(UndoManager *undo, bool gesture)
        : m_undo(undo), m_gesture(gesture)
    {
    }

    double radius() const { return m_radius; }
    void setRadius(double radius)
    {
        answers << rqs::registerMouseAwareUndoWithTarget(m_undo, this, m_radius, "radius", m_gesture);
        m_radius = radius;
    }

    Q_INVOKABLE void setColorName(const QString &name)
    {
        rqs::registerUndoWithTarget(m_undo, this, "setColorName", colorName);
        colorName = name;
    }

    QList<bool> answers;
    QString colorName = "black";

private:
    UndoManager *m_undo;
    bool m_gesture;
    double m_radius = 0;
};

void nextEvent() { QCoreApplication::processEvents(); }

class UndoManagerExtensionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(folder.path()).mkpath("en.lproj");
        platform::PropertyList::write(QVariantMap{{"radius", "Corner Radius"}, {"setColorName", "Colour"}},
                                      folder.filePath("en.lproj/Localizable.strings"));
        UndoGestureRecording::shared().end();
        surface.resize(100, 100);
        surface.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
    }
    // The recording is the process's; no test leaves one behind for the next.
    void TearDown() override { UndoGestureRecording::shared().end(); }

    void press() { QTest::mousePress(surface.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10)); }
    void drag(int x) { QTest::mouseMove(surface.windowHandle(), QPoint(x, 10)); }
    void release(int x) { QTest::mouseRelease(surface.windowHandle(), Qt::LeftButton, {}, QPoint(x, 10)); }

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
    press();
    drag(11);
    frame.setRadius(6);
    drag(12);
    frame.setRadius(7);
    other.setRadius(1);
    other.setRadius(2);
    release(20);
    EXPECT_FALSE(rqs::recordingInProgress()) << "the release ends the gesture";
    EXPECT_EQ(frame.answers, (QList<bool>{true, true, false}));
    EXPECT_EQ(other.answers, (QList<bool>{true, false})) << "another object during the drag has a recording of its own";
    EXPECT_EQ(undo.undoActionName(), "Corner Radius");

    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(frame.radius(), 7) << "the other object's step is its own";
    undo.undo();
    EXPECT_EQ(frame.radius(), 5) << "the value from before the drag";
}

TEST_F(UndoManagerExtensionTest, WithoutAButtonAGestureFoldsChangesUntilItsEndIsReported)
{
    Frame frame(&undo, true);
    frame.setRadius(1);
    frame.setRadius(2);
    EXPECT_FALSE(rqs::recordingInProgress()) << "no drag, so nothing watches the mouse";
    rqs::gestureEndedFor(&undo, &surface);
    frame.setRadius(3);
    rqs::gestureEndedFor(nullptr, &frame);
    nextEvent();
    frame.setRadius(4);
    EXPECT_EQ(frame.answers, (QList<bool>{true, false, false, true}));
    undo.undo();
    EXPECT_EQ(frame.radius(), 3);
}

TEST_F(UndoManagerExtensionTest, AKeyboardUndoDuringAGestureKeepsTheRedoStep)
{
    Frame frame(&undo, true);
    frame.setRadius(1);
    frame.setRadius(2);
    ASSERT_EQ(frame.answers, (QList<bool>{true, false}));
    // The gesture is still open when the undo command arrives from the keyboard.
    ASSERT_TRUE(undo.undo());
    ASSERT_TRUE(undo.redo()) << "the undo's own setter call was registered as the redo step";
    EXPECT_EQ(frame.radius(), 2);

    ASSERT_TRUE(undo.undo());
    frame.setRadius(7);
    EXPECT_TRUE(frame.answers.last()) << "a change after the undo is a step of its own";
}

TEST_F(UndoManagerExtensionTest, UndoByOperationNameSendsTheObjectBackNamedByItUnlessANameIsSet)
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
}

TEST_F(UndoManagerExtensionTest, WithoutAManagerOrWithRegistrationDisabledNothingIsRecorded)
{
    Frame frame(nullptr, false);
    frame.setRadius(1);
    EXPECT_FALSE(frame.answers.first());
    EXPECT_FALSE(rqs::registerUndoWithTarget(nullptr, &frame, "setColorName", "red"));
    undo.disableUndoRegistration();
    EXPECT_FALSE(rqs::registerMouseAwareUndoWithTarget(&undo, &frame, 0.0, "radius", false));
}

#include "UndoManagerExtensionTest.moc"
