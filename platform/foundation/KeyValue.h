#pragma once

#include "platform/foundation/KeyValueBinding.h"
#include "platform/foundation/KeyValueObservation.h"

#include <QObject>
#include <QString>
#include <QVariant>

namespace platform {

// Access to an object's values by key name, observation of keys and one-way bindings between keys.
// GUI thread.
//
// Keys are Qt properties (Q_PROPERTY). A key path "filter.inputRadius" walks through properties
// that hold QObject pointers. Unknown keys are a logged warning and an invalid value, never more.
//
// A class that answers keys itself (a key path with its own meaning, or extra work around a plain
// assignment) declares either or both of
//     Q_INVOKABLE QVariant valueForKey(const QString &key);
//     Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value);
// They receive the whole key path and hand whatever they do not treat themselves to
// KeyValue::propertyValue / setPropertyValue. Such a class announces changes of the keys it answers
// with the signal
//     void keyValueChanged(const QString &key);
//
// A key is observed through its property's NOTIFY signal, else through keyValueChanged. A derived
// key names the keys it is computed from, and its observers hear their changes too:
//     Q_CLASSINFO("dependsOn:splitBooklets", "splitPages")
//     Q_CLASSINFO("dependsOn:bindingTitle", "correctSidedBinding,rotateBacksides")
// Dependencies are followed through further declarations of the same class.
namespace KeyValue {

QVariant valueForKey(QObject *object, const QString &key);
// The value is converted to the property's type; an invalid value sets the type's zero value (or
// resets a resettable property). False with a logged warning when the key is unknown, read-only or
// the value does not convert.
bool setValue(QObject *object, const QString &key, const QVariant &value);

// The plain property access, without the object's own valueForKey / setValueForKey.
QVariant propertyValue(QObject *object, const QString &key);
bool setPropertyValue(QObject *object, const QString &key, const QVariant &value);

// Tells the key's observers to read it again, for a value that changed without its setter.
bool announceChange(QObject *object, const QString &key);

// The callback receives the key's new value. The observation ends with disconnect(), with the
// observed object, and with context when one is given. A key path ("document.zoom") observes the
// object its path leads to when the observation begins; a later change of that object is not
// followed.
[[nodiscard]] KeyValueObservation observe(QObject *object, const QString &key,
                                          KeyValueObservation::Callback callback);
KeyValueObservation observe(QObject *object, const QString &key, QObject *context,
                            KeyValueObservation::Callback callback);

// targetKey of target follows sourceKey of source from now on, starting with its current value;
// TwoWay also writes the target key's changes (a control's edits) back to the source. A binding
// replaces the earlier one of the same target key, both of its directions, and ends with either
// object. False when source (for TwoWay also target) cannot be observed at that key.
enum class BindingDirection { OneWay, TwoWay };
bool bind(QObject *target, const QString &targetKey, QObject *source, const QString &sourceKey,
          BindingDirection direction = BindingDirection::OneWay);
bool unbind(QObject *target, const QString &targetKey);
// The binding of that target key, or null.
const KeyValueBinding *binding(const QObject *target, const QString &targetKey);

} // namespace KeyValue
} // namespace platform
