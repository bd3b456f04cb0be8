#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

namespace platform {

// Values archived by key, in the order they were written. Plain values (numbers, strings, data,
// and lists and maps of them) are kept as they are; objects are kept by reference, so an archive
// serves copies within the process. An object destroyed after it was archived decodes as an
// invalid value, or drops out of its list.
class KeyedArchive
{
public:
    // Writing a key again replaces its value and keeps its place.
    void encodeObject(const QVariant &value, const QString &key);
    // An invalid value when the key was never written.
    QVariant decodeObjectForKey(const QString &key) const;
    bool containsValueForKey(const QString &key) const;
    QStringList allKeys() const;

private:
    QList<std::pair<QString, QVariant>> m_entries;
};

} // namespace platform
