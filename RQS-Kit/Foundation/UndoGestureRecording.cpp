#include "RQS-Kit/Foundation/UndoGestureRecording.h"

#include "platform/ui/UndoManager.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

UndoGestureRecording &UndoGestureRecording::shared()
{
    static UndoGestureRecording recording;
    return recording;
}

QObject *UndoGestureRecording::recordedTarget() const { return m_target; }

bool UndoGestureRecording::hasRecorded(const QObject *target, const QString &key) const
{
    return target && m_target == target && m_keys.contains(key);
}

void UndoGestureRecording::record(QObject *target, const QString &key)
{
    if (m_target != target) {
        end();
        m_target = target;
    }
    if (!m_keys.contains(key))
        m_keys.append(key);
}

void UndoGestureRecording::watchForGestureEnd()
{
    if (m_watching || !QCoreApplication::instance())
        return;
    // A press makes its window the focus window; without one, the window under the pointer.
    m_window = QGuiApplication::focusWindow();
    if (!m_window)
        m_window = QGuiApplication::topLevelAt(QCursor::pos());
    QCoreApplication::instance()->installEventFilter(this);
    m_watching = true;
}

bool UndoGestureRecording::isWatching() const { return m_watching; }

void UndoGestureRecording::follow(platform::UndoManager *manager)
{
    connect(manager, &platform::UndoManager::willUndoChange, this, &UndoGestureRecording::end, Qt::UniqueConnection);
    connect(manager, &platform::UndoManager::willRedoChange, this, &UndoGestureRecording::end, Qt::UniqueConnection);
}

void UndoGestureRecording::end()
{
    if (m_watching && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_watching = false;
    m_window = nullptr;
    m_target = nullptr;
    m_keys.clear();
}

bool UndoGestureRecording::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease)
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        end();
    else if (type == QEvent::Hide && m_window && watched == m_window)
        end();
    return false;
}
