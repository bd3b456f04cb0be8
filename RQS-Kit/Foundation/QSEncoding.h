#pragma once

#include <QList>
#include <QString>

#include <optional>

// One named encoding of the encoding menu; codePage is a QSStringDecoder::Encoding, 0 for
// "Automatic".
class QSEncoding
{
public:
    QSEncoding(const QString &name, quint64 codePage);
    static QSEncoding encodingWithName(const QString &name, quint64 codePage);

    // The menu's 48 entries in order: 47 encodings and, after the 23rd, an empty one for the
    // separator. Several entries may share a code page.
    static const QList<std::optional<QSEncoding>> &encodings();
    // The title of the first entry with that code page; "unknown encoding" when none has it.
    static QString nameForEncoding(quint64 codePage);

    QString name() const;
    void setName(const QString &name);
    quint64 codePage() const;
    void setCodePage(quint64 codePage);

private:
    QString m_name;
    quint64 m_codePage;
};
