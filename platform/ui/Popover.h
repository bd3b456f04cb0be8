#pragma once

#include "platform/ui/PopoverPlacement.h"

#include <QFrame>
#include <QPointer>
#include <QRect>

namespace platform {

// A transient panel that points at a view: it opens beside a rectangle of the view, leaves the
// keyboard where it was, and closes on a click elsewhere, on Escape typed in it or in its window
// (never in an alert above them) or by close(). Interface files hold one as a child of the window
// that uses it; it stays hidden until shown. GUI thread.
class Popover : public QFrame
{
    Q_OBJECT
public:
    using Edge = PopoverEdge;

    explicit Popover(QWidget *parent = nullptr);

    // The rectangle is in the view's widget coordinates (y down). The popover stays inside the
    // view's window and follows it, and covers none of the window's controls (buttons, tabs,
    // fields, sliders) where a side of the rectangle has room for that (PopoverPlacement).
    void showRelativeToRect(const QRect &rect, QWidget *view, Edge edge);
    bool isShown() const;

signals:
    void didClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool hasKeyboard(QObject *receiver) const;

    QPointer<QWidget> m_owner;
};

} // namespace platform
