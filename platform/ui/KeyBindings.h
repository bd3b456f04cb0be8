#pragma once

#include <QString>

class QKeyEvent;
class QObject;

namespace platform {

// The keyboard's editing commands: a key press becomes a command name such as "moveLeft:", and
// the responder runs it as its Q_INVOKABLE member of that name without the colon, taking the
// sender (a QObject *) or nothing. Main thread.
class KeyBindings
{
public:
    // Arrows left and right (with Shift: "…AndModifySelection:", with Ctrl: "moveWord…:"), Tab,
    // Backtab, Backspace, Delete, Escape, Return and Enter; empty for any other key or modifier.
    static QString commandForKeyEvent(const QKeyEvent &event);
    // False when the key has no command or the responder has no member for it; the caller then
    // passes the key on.
    static bool interpretKeyEvent(QObject *responder, const QKeyEvent &event);
    // The refusal sound of a command that cannot be done.
    static void beep();

    KeyBindings() = delete;
};

} // namespace platform
