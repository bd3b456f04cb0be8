#pragma once

#include "platform/foundation/Invocation.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QObject>
#include <QString>

// Deferred change notices and methods found by name. A class answers by-name calls with its
// Q_INVOKABLE methods (static ones included) and is reached by name once registered as a pointer
// type (qRegisterMetaType<StyleKit *>()), at start-up like the value transformers.
namespace rqs {

// On a later turn of the main queue, tells the key's observers to read it again; nothing when the
// object is gone by then.
void delayedChangeValueForKey(QObject *object, const QString &key);

// The object's method of that name (the most derived class's first); invalid, with a warning, when
// it has none.
QMetaMethod siganturForName(const QObject *object, const QString &name);

// The class's method of that name bound to an instance of the class made for the invocation (its
// constructor must be Q_INVOKABLE); invalid, with a warning, for an unknown method or a class that
// cannot be made.
platform::Invocation invocationForSignatur(const QMetaObject &metaObject, const QString &name);
// The same for a class named by a string; invalid, with a warning, for an unknown class.
platform::Invocation invocationForSignatur(const QString &className, const QString &name);

} // namespace rqs
