#include "platform/ui/Popover.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Control.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>

namespace platform {

namespace {

bool isControl(QWidget *widget)
{
    return qobject_cast<QAbstractButton *>(widget) || qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QLineEdit *>(widget)
        || qobject_cast<QComboBox *>(widget) || qobject_cast<QTabBar *>(widget) || qobject_cast<QAbstractSlider *>(widget)
        || qobject_cast<Control *>(widget);
}

// What the window shows of its controls, on the screen: a control scrolled away or hidden
// behind a scroll view's edge does not count, and the popover's own controls are in a window
// of their own.
QList<QRect> controlsOf(QWidget *window)
{
    QList<QRect> controls;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->window() != window || !widget->isVisible() || !isControl(widget))
            continue;
        const QRect shown = widget->visibleRegion().boundingRect();
        if (!shown.isEmpty())
            controls << QRect(widget->mapToGlobal(shown.topLeft()), shown.size());
    }
    return controls;
}

} // namespace

// Not a Qt::Popup: a popup grabs mouse and keyboard, and a popover that opens by itself must not
// take the keyboard from the window the user is typing in.
Popover::Popover(QWidget *parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void Popover::showRelativeToRect(const QRect &rect, QWidget *view, Edge edge)
{
    if (!view) {
        logWarning(QStringLiteral("Popover \"%1\" shown on no view").arg(objectName()));
        return;
    }
    adjustSize();
    const QRect anchor(view->mapToGlobal(rect.topLeft()), rect.size());
    // Inside its window, which it moves and closes with, so that popovers of several windows
    // never pile up apart from their windows.
    const QRect placed = PopoverPlacement::place(anchor, size(), view->window()->geometry(), edge, controlsOf(view->window()));
    m_owner = view->window();
    if (auto *window = qobject_cast<Window *>(m_owner))
        window->addChildWindow(this);
    move(placed.topLeft());
    show();
    qApp->installEventFilter(this);
}

bool Popover::isShown() const { return isVisible(); }

// The filter sees every key of the application: an alert or another window in front has the
// keyboard, and its Escape is its own.
bool Popover::hasKeyboard(QObject *receiver) const
{
    const auto *widget = qobject_cast<QWidget *>(receiver);
    if (!widget)
        return false;
    QWidget *window = widget->window();
    return (window == this || window == m_owner) && window == QApplication::activeWindow();
}

bool Popover::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!geometry().contains(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()))
            close();
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && hasKeyboard(watched)) {
            close();
            return true;
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void Popover::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QFrame::hideEvent(event);
    emit didClose();
}

} // namespace platform
