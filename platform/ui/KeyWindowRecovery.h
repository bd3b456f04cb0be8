#pragma once

#include <QObject>
#include <QWindow>

namespace platform {

// On X11 Qt counts a window active as soon as it hears back of its own request to the window
// manager for the keyboard, before the window manager has handed it over. A window that goes before
// then never had the keyboard: it stayed with the window that had it, no focus event comes, and Qt
// is left with no active window, or the hidden one, while one of ours has the keyboard. Once the
// active window has gone, or Qt counts none active, the recovery asks the X server where the
// keyboard is and, when it is in a window of ours, makes that window active again. Elsewhere it
// does nothing. GUI thread.
class KeyWindowRecovery : public QObject
{
    Q_OBJECT
public:
    // Watches the application from now on; once per application however often it is called.
    static void install();

private:
    KeyWindowRecovery();
    void follow(QWindow *active);
    void recoverLater();
    void recover();

    QMetaObject::Connection m_hiding;
};

} // namespace platform
