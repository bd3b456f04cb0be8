#include "RQS-Kit/Foundation/QSViewAnimator.h"

#include "platform/foundation/Log.h"

#include <QPropertyAnimation>

QSViewAnimator::QSViewAnimator(QWidget *view, bool animated)
    : m_view(view)
    , m_animated(animated)
{
}

QWidget *QSViewAnimator::view() const { return m_view; }

bool QSViewAnimator::isAnimated() const { return m_animated; }

bool QSViewAnimator::setValue(const char *property, const QVariant &value) const
{
    if (!m_view || m_view->metaObject()->indexOfProperty(property) < 0) {
        platform::logWarning(QStringLiteral("Cannot animate \"%1\" of %2").arg(QLatin1String(property), m_view ? m_view->objectName() : QStringLiteral("a gone view")));
        return false;
    }
    if (!m_animated)
        return m_view->setProperty(property, value);
    auto *animation = new QPropertyAnimation(m_view, property, m_view);
    animation->setDuration(AnimationTime);
    animation->setEndValue(value);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return true;
}
