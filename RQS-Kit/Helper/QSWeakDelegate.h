#pragma once

#include "platform/foundation/Log.h"

#include <QObject>
#include <QPointer>

// A delegate held weakly: it reads as null once the object behind it is destroyed, so that a
// delegate that goes without saying so is never called. The delegate must be a QObject.
template <class Interface>
class QSWeakDelegate
{
public:
    // False, with a warning, for a delegate that is no QObject: it is then not kept.
    bool set(Interface *delegate)
    {
        QObject *object = dynamic_cast<QObject *>(delegate);
        if (delegate && !object) {
            platform::logWarning(QStringLiteral("A delegate that is no QObject cannot be held weakly; it is not kept"));
            delegate = nullptr;
        }
        m_object = object;
        m_interface = delegate;
        return !delegate == !object;
    }

    Interface *get() const { return m_object ? m_interface : nullptr; }

private:
    QPointer<QObject> m_object;
    Interface *m_interface = nullptr;
};
