#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

// The parts of a resource identifier such as "RQS-T#007#Linen#soft": type, index, name, options.
// The index is signed so that the "no index" mark is the largest signed 64-bit value.
class QSResourceInfo
{
public:
    static constexpr qint64 NotFound = std::numeric_limits<qint64>::max();

    // A null string when the identifier has no type.
    QString type() const;
    void setType(const QString &type);

    // NotFound when the identifier has no index.
    qint64 index() const;
    void setIndex(qint64 index);

    QString name() const;
    void setName(const QString &name);

    // A null string when the identifier has no options.
    QString options() const;
    void setOptions(const QString &options);

private:
    QString m_type;
    qint64 m_index = NotFound;
    QString m_name;
    QString m_options;
};
