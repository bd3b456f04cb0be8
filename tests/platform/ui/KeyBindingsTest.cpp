#include "platform/ui/KeyBindings.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

using platform::KeyBindings;

namespace {

class Responder : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void moveLeft(QObject *) { commands << "moveLeft:"; }
    Q_INVOKABLE void cancelOperation() { commands << "cancelOperation:"; }
    QStringList commands;
};

} // namespace

TEST(KeyBindings, TurnsTheEditingKeysIntoTheirCommandsAndNothingElse)
{
    const struct
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char *command;
    } table[] = {
        {Qt::Key_Left, Qt::NoModifier, "moveLeft:"},
        {Qt::Key_Right, Qt::KeypadModifier, "moveRight:"},
        {Qt::Key_Left, Qt::ShiftModifier, "moveLeftAndModifySelection:"},
        {Qt::Key_Right, Qt::ShiftModifier, "moveRightAndModifySelection:"},
        {Qt::Key_Left, Qt::ControlModifier, "moveWordLeft:"},
        {Qt::Key_Right, Qt::ControlModifier, "moveWordRight:"},
        {Qt::Key_Tab, Qt::NoModifier, "insertTab:"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "insertBacktab:"},
        {Qt::Key_Backspace, Qt::NoModifier, "deleteBackward:"},
        {Qt::Key_Delete, Qt::NoModifier, "deleteForward:"},
        {Qt::Key_Escape, Qt::NoModifier, "cancelOperation:"},
        {Qt::Key_Return, Qt::NoModifier, "insertNewline:"},
        {Qt::Key_Enter, Qt::KeypadModifier, "insertNewline:"},
        {Qt::Key_Left, Qt::AltModifier, ""},
        {Qt::Key_Up, Qt::NoModifier, ""},
        {Qt::Key_A, Qt::NoModifier, ""},
    };
    for (const auto &row : table) {
        const QKeyEvent event(QEvent::KeyPress, row.key, row.modifiers);
        EXPECT_EQ(KeyBindings::commandForKeyEvent(event), QLatin1String(row.command)) << row.key;
    }
}

TEST(KeyBindings, RunsTheCommandByNameWithOrWithoutTheSenderAndRefusesWhatTheResponderLacks)
{
    Responder responder;
    EXPECT_TRUE(KeyBindings::interpretKeyEvent(&responder, QKeyEvent(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier)));
    EXPECT_TRUE(KeyBindings::interpretKeyEvent(&responder, QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier)));
    EXPECT_FALSE(KeyBindings::interpretKeyEvent(&responder, QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier)));
    EXPECT_EQ(responder.commands, (QStringList{"moveLeft:", "cancelOperation:"}));
}

#include "KeyBindingsTest.moc"
