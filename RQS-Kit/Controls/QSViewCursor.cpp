#include "RQS-Kit/Controls/QSViewCursor.h"

#include "RQS-Kit/Helper/QSCursorStack.h"
#include "RQS-Kit/Helper/QSHintController.h"

#include <QWidget>

namespace {

QVariant keyOf(QWidget *view) { return QVariant::fromValue(static_cast<QObject *>(view)); }

} // namespace

QSViewCursor::QSViewCursor(QWidget *view)
    : m_view(view)
{
}

QSViewCursor::~QSViewCursor() { hide(); }

void QSViewCursor::show(const std::optional<QCursor> &cursor, const QString &hint)
{
    if (!cursor && !m_current)
        return;
    if (cursor && m_current && cursor->pixmap().cacheKey() == m_current->pixmap().cacheKey())
        return;
    if (m_window) {
        QSHintController::removeHintForKey(keyOf(m_view), m_window);
        QSCursorStack::popCursorForKey(keyOf(m_view), m_window);
    }
    m_current = cursor;
    if (!cursor)
        return;
    m_window = m_view->window() != m_view ? m_view->window() : nullptr;
    if (!hint.isEmpty())
        QSHintController::sendHint(hint, keyOf(m_view), m_window);
    QSCursorStack::pushCursor(*cursor, keyOf(m_view), m_window);
}
