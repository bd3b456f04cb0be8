#pragma once

#include "platform/ui/Window.h"

// A window that behaves well among child windows: it counts as key while one of its child windows
// is key, takes the keyboard back on a mouse-down while a child has it, and, marked as a child,
// hands the close command (performClose, the window system's close) to the window that holds it;
// close() closes it alone. GUI thread.
class QSChildSupportWindow : public platform::Window
{
    Q_OBJECT
    Q_PROPERTY(bool isChildWindow READ isChildWindow WRITE setIsChildWindow)

public:
    using platform::Window::Window;

    bool isChildWindow() const;
    void setIsChildWindow(bool isChild);
    // The window that holds this one among its child windows; null when none does.
    platform::Window *parentWindow() const;

    bool isKeyWindow() const override;
    bool canBecomeMainWindow() const override;
    // Marked as a child, hands the close command on to the window that holds it.
    void performClose() override;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_isChildWindow = false;
    // A child that names this window among its own children must not make the question endless.
    mutable bool m_checkingKey = false;
};
