#pragma once

#include <QObject>
#include <QPointer>

namespace platform {

// A delegate that is not owned: one that is also a QObject is forgotten once it is destroyed.
template <class T>
class WeakDelegate
{
public:
    T *get() const { return m_isObject && !m_object ? nullptr : m_delegate; }
    void set(T *delegate)
    {
        m_delegate = delegate;
        m_object = dynamic_cast<QObject *>(delegate);
        m_isObject = !m_object.isNull();
    }

private:
    T *m_delegate = nullptr;
    QPointer<QObject> m_object;
    bool m_isObject = false;
};

} // namespace platform
