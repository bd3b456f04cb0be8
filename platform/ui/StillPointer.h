#pragma once

#include <QObject>
#include <QPointF>

#include <optional>

namespace platform {

// Qt tells widgets of the pointer when it moves, and when a widget is shown or hidden under it;
// not when a widget moves, grows, shrinks, is raised or changes parent under a pointer that stays
// where it is, nor when a view makes a tracking area there. After any of those, at the event
// loop's next turn, the window under the pointer hears the pointer where it is, as a move that
// went nowhere: enter, leave, hover, tracking areas and cursors follow as for a real move. "Where
// it is" is where the window system last reported it, which is what the widgets have seen (where
// the cursor is until a report comes after the first view was made).
// Nothing happens while a button is held (the drag's own widget follows the pointer), while a
// pop-up has the pointer, or before Qt has seen the pointer enter that window. GUI thread.
class StillPointer : public QObject
{
    Q_OBJECT
public:
    // Watches every widget of the application from now on; later calls do nothing.
    static void follow();
    // The check at the next turn, for a change Qt reports no event of.
    static void recheckSoon();
    // Global: where the window system last reported the pointer, else where the cursor is.
    static QPointF position();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StillPointer();
    static StillPointer *instance();
    void recheck();

    bool m_pending = false;
    std::optional<QPointF> m_pointer;
    Qt::MouseButtons m_buttons;
};

} // namespace platform
