#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <concepts>
#include <cstddef>

namespace platform {

// A delegate (or any object told of what happens, held without being owned) as a setter takes it:
// null, or an object that is a QObject as well as the interface, so that its end can be noticed.
// A plain C++ object does not compile: nothing could tell that it has gone.
template <class Interface>
class Delegate
{
public:
    Delegate(std::nullptr_t = nullptr) {}
    template <class Object>
        requires std::derived_from<Object, QObject> && std::derived_from<Object, Interface>
    Delegate(Object *object)
        : m_object(object), m_interface(object)
    {
    }

    QObject *object() const { return m_object; }
    Interface *interface() const { return m_interface; }

private:
    QObject *m_object = nullptr;
    Interface *m_interface = nullptr;
};

// The classes that hold a WeakDelegate, by class name, sorted: what tests walk to end each one's
// delegate first.
QStringList weakDelegateHolders();
void registerWeakDelegateHolder(const char *className);

// A delegate held weakly by Holder (a QObject class): it reads as null once the object behind it is
// destroyed, so that a delegate that goes without saying so is never called, and the holder goes on
// as one without a delegate.
template <class Interface, class Holder>
class WeakDelegate
{
public:
    WeakDelegate() { (void)s_listed; }
    WeakDelegate(const WeakDelegate &) = delete;
    WeakDelegate &operator=(const WeakDelegate &) = delete;

    Interface *get() const { return m_object ? m_interface : nullptr; }
    void set(Delegate<Interface> delegate)
    {
        m_object = delegate.object();
        m_interface = delegate.interface();
    }

private:
    static inline bool s_listed = (registerWeakDelegateHolder(Holder::staticMetaObject.className()), true);
    QPointer<QObject> m_object;
    Interface *m_interface = nullptr;
};

} // namespace platform
