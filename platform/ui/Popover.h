#pragma once

#include <QFrame>
#include <QRect>

namespace platform {

// A transient panel that points at a view: it opens beside a rectangle of the view, leaves the
// keyboard where it was, and closes on a click elsewhere, on Escape or by close(). Interface files
// hold one as a child of the window that uses it; it stays hidden until shown. GUI thread.
class Popover : public QFrame
{
    Q_OBJECT
public:
    // The side of the rectangle the popover opens on, as seen on the screen.
    enum class Edge { Left, Right, Top, Bottom };

    explicit Popover(QWidget *parent = nullptr);

    // The rectangle is in the view's widget coordinates (y down). The popover stays inside the
    // view's window and follows it; without room on the edge asked for, it opens on the opposite
    // edge, else above or below (beside, for a popover asked above or below), never over the
    // rectangle while one of them has room.
    void showRelativeToRect(const QRect &rect, QWidget *view, Edge edge);
    bool isShown() const;

signals:
    void didClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};

} // namespace platform
