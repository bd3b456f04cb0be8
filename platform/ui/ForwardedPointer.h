#pragma once

#include <QList>
#include <QPointF>
#include <QPointer>

class QWidget;

namespace platform {

// Qt gives the focus to a pressed widget and enters and leaves widgets under the pointer only for
// the window system's own events. A view that hands the pointer on to another widget (one beneath
// it, or one shown turned) does both here. GUI thread.

// The first widget up from the one pressed (the point in its own coordinates) whose focus policy
// takes clicks gets the focus; the search stops at a widget that has it already, as Qt's does.
void giveClickFocus(QWidget *pressed, QPointF point);

// The widgets that a view's handed-on pointer is over: entered and left with Qt's enter, leave and
// hover events and its under-mouse state, so that their hover looks follow the pointer.
class ForwardedHover
{
public:
    ForwardedHover() = default;
    ForwardedHover(const ForwardedHover &) = delete;
    ForwardedHover &operator=(const ForwardedHover &) = delete;

    // The pointer is over the target at the point (in the target's coordinates); the target and
    // its parents up to the handing view or any widget holding it count as under the pointer.
    // A null target leaves them all.
    void moveTo(QWidget *target, QPointF point, const QWidget *handingView);
    QWidget *target() const;

private:
    // The innermost first.
    QList<QPointer<QWidget>> m_entered;
};

} // namespace platform
