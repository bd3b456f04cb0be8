#pragma once

#include <QList>
#include <QPointer>

namespace platform {

// The objects of a list of guarded pointers that still exist, in order.
template <class T>
QList<T *> livePointers(const QList<QPointer<T>> &guarded)
{
    QList<T *> live;
    for (const QPointer<T> &pointer : guarded) {
        if (pointer)
            live.append(pointer);
    }
    return live;
}

template <class T>
QList<QPointer<T>> guardedPointers(const QList<T *> &objects)
{
    return QList<QPointer<T>>(objects.cbegin(), objects.cend());
}

} // namespace platform
