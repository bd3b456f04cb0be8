#include "platform/foundation/KeyedArchive.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>

namespace platform {

namespace {

// Objects go in as guarded pointers, so that one destroyed meanwhile is noticed on the way out.
QVariant guarded(const QVariant &value)
{
    if (value.metaType().flags().testFlag(QMetaType::PointerToQObject))
        return QVariant::fromValue(QPointer<QObject>(value.value<QObject *>()));
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QVariantList list;
        for (const QVariant &each : value.toList())
            list.append(guarded(each));
        return list;
    }
    if (value.metaType() == QMetaType::fromType<QVariantMap>()) {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto each = source.cbegin(); each != source.cend(); ++each)
            map.insert(each.key(), guarded(each.value()));
        return map;
    }
    return value;
}

bool isGone(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QPointer<QObject>>() && !value.value<QPointer<QObject>>();
}

QVariant unguarded(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QPointer<QObject>>()) {
        QObject *object = value.value<QPointer<QObject>>();
        return object ? QVariant::fromValue(object) : QVariant();
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QVariantList list;
        for (const QVariant &each : value.toList()) {
            if (!isGone(each))
                list.append(unguarded(each));
        }
        return list;
    }
    if (value.metaType() == QMetaType::fromType<QVariantMap>()) {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto each = source.cbegin(); each != source.cend(); ++each) {
            if (!isGone(each.value()))
                map.insert(each.key(), unguarded(each.value()));
        }
        return map;
    }
    return value;
}

} // namespace

void KeyedArchive::encodeObject(const QVariant &value, const QString &key)
{
    for (auto &[existing, stored] : m_entries) {
        if (existing == key) {
            stored = guarded(value);
            return;
        }
    }
    m_entries.append({key, guarded(value)});
}

QVariant KeyedArchive::decodeObjectForKey(const QString &key) const
{
    for (const auto &[existing, stored] : m_entries) {
        if (existing == key)
            return unguarded(stored);
    }
    return QVariant();
}

bool KeyedArchive::containsValueForKey(const QString &key) const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(), [&key](const auto &entry) { return entry.first == key; });
}

QStringList KeyedArchive::allKeys() const
{
    QStringList keys;
    for (const auto &entry : m_entries)
        keys.append(entry.first);
    return keys;
}

} // namespace platform
