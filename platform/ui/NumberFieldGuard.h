#pragma once

#include <QObject>

class QWidget;

namespace platform {

// Keeps the number fields (spin boxes) and pop-up lists under a widget from taking what belongs to
// their window: the mouse wheel turns a field only while it has the keyboard and scrolls what holds
// it otherwise; Ctrl shortcuts reach the window's menus from a field being typed in, except the
// editing keys the field answers itself (undo, redo, cut, copy, paste, select all). The arrow keys
// step bound number fields (NumberFieldStepper). GUI thread.
class NumberFieldGuard : public QObject
{
    Q_OBJECT
public:
    // Guards every such field under root as it is now, and lets the spin boxes step; both live as
    // long as root.
    static void guardFields(QWidget *root);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

} // namespace platform
