#include "platform/ui/StillPointer.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform {

StillPointer::StillPointer()
    : QObject(qApp)
{
    qApp->installEventFilter(this);
}

StillPointer *StillPointer::instance()
{
    static QPointer<StillPointer> shared;
    if (!shared && qApp)
        shared = new StillPointer;
    return shared;
}

void StillPointer::follow() { instance(); }

void StillPointer::recheckSoon()
{
    StillPointer *self = instance();
    if (!self || self->m_pending)
        return;
    self->m_pending = true;
    QTimer::singleShot(0, self, &StillPointer::recheck);
}

QPointF StillPointer::position()
{
    const StillPointer *self = instance();
    return self && self->m_pointer ? *self->m_pointer : QPointF(QCursor::pos());
}

bool StillPointer::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Enter:
        // What the window system reported; copies that views hand on do not count.
        if (event->spontaneous()) {
            const auto *pointer = static_cast<QSinglePointEvent *>(event);
            m_pointer = pointer->globalPosition();
            m_buttons = pointer->buttons();
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
    case QEvent::ZOrderChange:
        if (watched->isWidgetType())
            recheckSoon();
        break;
    default:
        break;
    }
    return false;
}

void StillPointer::recheck()
{
    m_pending = false;
    if (m_buttons != Qt::NoButton || QGuiApplication::mouseButtons() != Qt::NoButton || QApplication::activePopupWidget())
        return;
    // Views made after the pointer last moved start watching without a report of their own.
    const QPointF pointer = position();
    QWidget *top = QApplication::topLevelAt(pointer.toPoint());
    if (!top || !top->isVisible() || !top->underMouse() || !top->windowHandle())
        return;
    const QPointF local = top->mapFromGlobal(pointer);
    QMouseEvent still(QEvent::MouseMove, local, local, pointer, Qt::NoButton, Qt::NoButton,
                      QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(top->windowHandle(), &still);
}

} // namespace platform
