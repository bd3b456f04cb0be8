#include "RQS-Kit/Helper/QSCursorStack.h"

#include "RQS-Kit/Helper/QSWindowCloseWatcher.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"

#include <QDebug>

namespace {

struct Registration
{
    const QWidget *window;
    QSCursorStack *stack;
};

QList<Registration> &registrations()
{
    static QList<Registration> list;
    return list;
}

qsizetype indexOfWindow(const QWidget *window)
{
    const QList<Registration> &list = registrations();
    for (qsizetype index = 0; index < list.size(); ++index) {
        if (list.at(index).window == window)
            return index;
    }
    return -1;
}

template<typename T>
QString describe(const T &value)
{
    QString text;
    QDebug(&text).nospace().noquote() << value;
    return text;
}

void warnOfNil(const QCursor &cursor, const QVariant &key)
{
    platform::logWarning(QStringLiteral("Neither Cursor (%1) nor key (%2) can be nil.").arg(describe(cursor), describe(key)));
}

} // namespace

void QSCursorStack::pushCursor(const QCursor &cursor, const QVariant &key, QWidget *window)
{
    if (!window)
        return;
    QSCursorStack *stack = cursorStackForWindow(window);
    if (!stack) {
        stack = new QSCursorStack(window);
        registrations().append({window, stack});
    }
    // The window's cursor rectangles would otherwise replace the pushed cursor at the next move.
    if (auto *host = qobject_cast<platform::Window *>(window))
        host->disableCursorRects();
    stack->pushCursor(cursor, key);
}

void QSCursorStack::replaceCursor(const QCursor &cursor, const QVariant &key, QWidget *window)
{
    if (QSCursorStack *stack = cursorStackForWindow(window))
        stack->replaceCursor(cursor, key);
}

void QSCursorStack::popCursorForKey(const QVariant &key, QWidget *window)
{
    if (QSCursorStack *stack = cursorStackForWindow(window))
        stack->popCursorForKey(key);
}

QSCursorStack *QSCursorStack::cursorStackForWindow(const QWidget *window)
{
    const qsizetype index = window ? indexOfWindow(window) : -1;
    return index < 0 ? nullptr : registrations().at(index).stack;
}

void QSCursorStack::removeCursorStackForWindow(const QWidget *window)
{
    const qsizetype index = window ? indexOfWindow(window) : -1;
    if (index < 0)
        return;
    registrations().at(index).stack->restoreWindow();
    removeRegistration(index);
}

// The close report may come from inside the watcher that the stack owns, hence deleteLater.
void QSCursorStack::removeRegistration(qsizetype index)
{
    QSCursorStack *stack = registrations().takeAt(index).stack;
    stack->m_closeWatcher->disconnect(stack);
    stack->deleteLater();
}

QSCursorStack::QSCursorStack(QWidget *window)
    : m_window(window)
    , m_closeWatcher(new QSWindowCloseWatcher(window, this))
    , m_windowHadCursor(window && window->testAttribute(Qt::WA_SetCursor))
    , m_windowCursor(window ? window->cursor() : QCursor())
{
    connect(m_closeWatcher, &QSWindowCloseWatcher::windowWillClose, this, &QSCursorStack::windowWillClose);
}

QSCursorStack::~QSCursorStack() = default;

void QSCursorStack::pushCursor(const QCursor &cursor, const QVariant &key)
{
    if (key.isNull()) {
        warnOfNil(cursor, key);
        return;
    }
    const qsizetype index = m_keys.indexOf(key);
    if (index >= 0) {
        m_keys.removeAt(index);
        m_cursors.removeAt(index);
    }
    m_keys.append(key);
    m_cursors.append(cursor);
    setCurrent(cursor);
}

void QSCursorStack::replaceCursor(const QCursor &cursor, const QVariant &key)
{
    if (key.isNull()) {
        warnOfNil(cursor, key);
        return;
    }
    const qsizetype index = m_keys.indexOf(key);
    if (index < 0)
        return;
    m_cursors[index] = cursor;
    if (index == m_keys.size() - 1)
        setCurrent(cursor);
}

void QSCursorStack::popCursorForKey(const QVariant &key)
{
    const qsizetype index = m_keys.indexOf(key);
    if (index < 0)
        return;
    const bool wasTop = index == m_keys.size() - 1;
    m_keys.removeAt(index);
    m_cursors.removeAt(index);
    if (wasTop)
        setCurrent(m_cursors.isEmpty() ? QCursor(Qt::ArrowCursor) : m_cursors.last());
}

QList<QCursor> QSCursorStack::cursors() const { return m_cursors; }

QVariantList QSCursorStack::keys() const { return m_keys; }

QString QSCursorStack::description() const
{
    QString self;
    QDebug(&self).nospace() << static_cast<const QObject *>(this);
    return QStringLiteral("Cursor stack (%1) with Cursor for %2")
        .arg(self, m_keys.isEmpty() ? QStringLiteral("(null)") : describe(m_keys.last()));
}

void QSCursorStack::windowWillClose()
{
    if (m_window) {
        removeCursorStackForWindow(m_window);
        return;
    }
    // A destroyed window can no longer be asked for; its stack is found by itself.
    const QList<Registration> &list = registrations();
    for (qsizetype index = 0; index < list.size(); ++index) {
        if (list.at(index).stack == this) {
            removeRegistration(index);
            return;
        }
    }
}

void QSCursorStack::restoreWindow()
{
    if (!m_window)
        return;
    if (auto *host = qobject_cast<platform::Window *>(m_window.data()))
        host->enableCursorRects();
    if (m_windowHadCursor)
        m_window->setCursor(m_windowCursor);
    else
        m_window->unsetCursor();
}

void QSCursorStack::setCurrent(const QCursor &cursor)
{
    if (m_window)
        m_window->setCursor(cursor);
}
