#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// Property lists made at test time, sound or hostile. A binary one is put together object by
// object, so that any part of it (trailer, offset table, references) can be damaged.
class PropertyListFixture
{
public:
    struct Binary
    {
        QList<QByteArray> objects; // each object's bytes, its marker first; object 0 is the top
        int offsetSize = 2;
        int refSize = 2;
        quint64 top = 0;
        std::optional<quint64> count;       // the trailer's object count; the objects' unless given
        std::optional<quint64> tableOffset; // where the trailer says the offset table lies
        QList<quint64> offsets;             // replaces the offsets the objects lie at

        QByteArray bytes() const;
        QByteArray ref(quint64 index) const;
        QByteArray array(const QList<quint64> &items) const;
        QByteArray dict(const QList<quint64> &keys, const QList<quint64> &values) const;
    };
    static QByteArray ascii(const QByteArray &text);
    static QByteArray utf16(const QString &text);

    // Arrays nested levels deep, as XML and as the binary form.
    static QByteArray nestedXml(int levels);
    static QByteArray nestedBinary(int levels);
    // A binary dictionary whose value is a UTF-16 text holding a zero character, on which
    // libplist 2.2's reader fails an assertion and aborts.
    static QByteArray zeroInText();
    // The binary form of the value as libplist writes it.
    static QByteArray libplistBinary(const QVariant &value);
};
