#include "RQS-Kit/Helper/QSWindowCloseWatcher.h"

#include <QEvent>
#include <QTimer>

QSWindowCloseWatcher::QSWindowCloseWatcher(QWidget *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
    if (!window)
        return;
    window->installEventFilter(this);
    m_destroyed = connect(window, &QObject::destroyed, this, &QSWindowCloseWatcher::report);
}

QSWindowCloseWatcher::~QSWindowCloseWatcher() { stopWatching(); }

QWidget *QSWindowCloseWatcher::window() const { return m_window; }

bool QSWindowCloseWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    if (event->type() == QEvent::Close) {
        // A refused close is followed by nothing; forget it on the next turn of the event loop.
        m_closing = true;
        QTimer::singleShot(0, this, [this] { m_closing = false; });
    } else if (event->type() == QEvent::Hide && m_closing && !event->spontaneous()) {
        report();
    }
    return false;
}

void QSWindowCloseWatcher::stopWatching()
{
    if (m_window)
        m_window->removeEventFilter(this);
    disconnect(m_destroyed);
}

void QSWindowCloseWatcher::report()
{
    if (m_reported)
        return;
    m_reported = true;
    stopWatching();
    emit windowWillClose();
}
