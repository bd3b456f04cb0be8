#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace platform {

// Property lists (XML or binary) as QVariant trees: dictionaries become QVariantMap, arrays
// QVariantList, integers qlonglong, reals double, booleans bool, data QByteArray, dates QDateTime.
class PropertyList
{
public:
    // An invalid QVariant when the bytes are no property list; the reason goes to error.
    static QVariant fromData(const QByteArray &data, QString *error = nullptr);
    static QVariant read(const QString &path, QString *error = nullptr);

    // XML form; empty when the value holds a type a property list cannot store.
    static QByteArray toXml(const QVariant &value);
    // Written to a temporary file and renamed into place, so a failed write leaves the old file.
    static bool write(const QVariant &value, const QString &path, QString *error = nullptr);
};

} // namespace platform
