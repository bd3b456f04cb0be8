#include "platform/ui/KeyBindings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaMethod>

namespace platform {

namespace {

struct Binding
{
    int key;
    Qt::KeyboardModifiers modifiers;
    const char *command;
};

constexpr Binding bindings[] = {
    {Qt::Key_Left, Qt::NoModifier, "moveLeft:"},
    {Qt::Key_Right, Qt::NoModifier, "moveRight:"},
    {Qt::Key_Left, Qt::ShiftModifier, "moveLeftAndModifySelection:"},
    {Qt::Key_Right, Qt::ShiftModifier, "moveRightAndModifySelection:"},
    {Qt::Key_Left, Qt::ControlModifier, "moveWordLeft:"},
    {Qt::Key_Right, Qt::ControlModifier, "moveWordRight:"},
    {Qt::Key_Tab, Qt::NoModifier, "insertTab:"},
    // Qt reports Shift+Tab as Backtab and may keep the Shift.
    {Qt::Key_Backtab, Qt::NoModifier, "insertBacktab:"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "insertBacktab:"},
    {Qt::Key_Backspace, Qt::NoModifier, "deleteBackward:"},
    {Qt::Key_Delete, Qt::NoModifier, "deleteForward:"},
    {Qt::Key_Escape, Qt::NoModifier, "cancelOperation:"},
    {Qt::Key_Return, Qt::NoModifier, "insertNewline:"},
    {Qt::Key_Enter, Qt::NoModifier, "insertNewline:"},
};

} // namespace

QString KeyBindings::commandForKeyEvent(const QKeyEvent &event)
{
    // Arrows and Enter of the keypad count as the main keys.
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    for (const Binding &binding : bindings) {
        if (binding.key == event.key() && binding.modifiers == modifiers)
            return QLatin1String(binding.command);
    }
    return {};
}

bool KeyBindings::interpretKeyEvent(QObject *responder, const QKeyEvent &event)
{
    const QString command = commandForKeyEvent(event);
    if (command.isEmpty() || !responder)
        return false;
    const QByteArray name = command.chopped(1).toLatin1();
    const QMetaObject *meta = responder->metaObject();
    const int withSender = meta->indexOfMethod(name + "(QObject*)");
    if (withSender >= 0)
        return meta->method(withSender).invoke(responder, Qt::DirectConnection, Q_ARG(QObject *, nullptr));
    const int plain = meta->indexOfMethod(name + "()");
    return plain >= 0 && meta->method(plain).invoke(responder, Qt::DirectConnection);
}

void KeyBindings::beep() { QApplication::beep(); }

} // namespace platform
