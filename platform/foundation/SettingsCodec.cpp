#include "platform/foundation/SettingsCodec.h"

#include <QDataStream>
#include <QIODevice>
#include <QLocale>

#include <algorithm>
#include <limits>

namespace platform {

namespace {

constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;

QString typed(const char *tag, const QString &text)
{
    return QLatin1Char('@') + QLatin1String(tag) + QLatin1Char('(') + text + QLatin1Char(')');
}

// The text inside "@tag(...)", or a null string when stored is not of that tag.
QString typedText(const QString &stored, QLatin1String tag)
{
    const qsizetype open = 1 + tag.size();
    if (stored.size() < open + 1 || !stored.endsWith(QLatin1Char(')')))
        return QString();
    if (QStringView(stored).mid(1, tag.size()) != tag || stored.at(open) != QLatin1Char('('))
        return QString();
    return stored.mid(open + 1, stored.size() - open - 2);
}

QVariant decodedText(const QString &stored)
{
    if (!stored.startsWith(QLatin1Char('@')))
        return stored;
    if (stored.startsWith(QLatin1String("@@")))
        return stored.mid(1);

    bool ok = false;
    if (const QString text = typedText(stored, QLatin1String("Bool")); !text.isNull()) {
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    } else if (const QString text = typedText(stored, QLatin1String("Integer")); !text.isNull()) {
        const qlonglong number = text.toLongLong(&ok);
        if (ok && number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())
            return int(number);
        if (ok)
            return number;
        const qulonglong large = text.toULongLong(&ok);
        if (ok)
            return large;
    } else if (const QString text = typedText(stored, QLatin1String("Double")); !text.isNull()) {
        const double number = text.toDouble(&ok);
        if (ok)
            return number;
    } else if (const QString text = typedText(stored, QLatin1String("Data")); !text.isNull()) {
        auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (result)
            return *result;
    } else if (const QString text = typedText(stored, QLatin1String("Variant")); !text.isNull()) {
        auto bytes = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (bytes) {
            QDataStream stream(*bytes);
            stream.setVersion(streamVersion);
            QVariant value;
            stream >> value;
            if (stream.status() == QDataStream::Ok)
                return value;
        }
    }
    // Damaged typed text is kept as the text it is rather than lost.
    return stored;
}

// QVariant::save only warns on the console about a type it cannot write, so look first.
bool canStream(const QVariant &value)
{
    if (value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        return std::all_of(map.cbegin(), map.cend(), canStream);
    }
    if (value.typeId() == QMetaType::QVariantHash) {
        const QVariantHash hash = value.toHash();
        return std::all_of(hash.cbegin(), hash.cend(), canStream);
    }
    if (value.typeId() == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        return std::all_of(list.cbegin(), list.cend(), canStream);
    }
    return !value.isValid() || value.metaType().hasRegisteredDataStreamOperators();
}

} // namespace

QString SettingsCodec::escapedKey(const QString &key)
{
    QString result;
    result.reserve(key.size());
    for (const QChar c : key) {
        if (c == QLatin1Char('%'))
            result += QLatin1String("%25");
        else if (c == QLatin1Char('/'))
            result += QLatin1String("%2F");
        else if (c == QLatin1Char('\\'))
            result += QLatin1String("%5C");
        else
            result += c;
    }
    return result;
}

QString SettingsCodec::unescapedKey(const QString &stored)
{
    QString result;
    result.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QStringView rest = QStringView(stored).mid(i, 3);
        if (rest.compare(QLatin1String("%25"), Qt::CaseInsensitive) == 0) {
            result += QLatin1Char('%');
            i += 2;
        } else if (rest.compare(QLatin1String("%2F"), Qt::CaseInsensitive) == 0) {
            result += QLatin1Char('/');
            i += 2;
        } else if (rest.compare(QLatin1String("%5C"), Qt::CaseInsensitive) == 0) {
            result += QLatin1Char('\\');
            i += 2;
        } else {
            result += stored.at(i);
        }
    }
    return result;
}

QVariant SettingsCodec::encoded(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        return text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    }
    case QMetaType::Bool:
        return typed("Bool", value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::UInt:
        return typed("Integer", QString::number(value.toLongLong()));
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return typed("Integer", QString::number(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return typed("Double", QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest));
    case QMetaType::QByteArray:
        return typed("Data", QString::fromLatin1(value.toByteArray().toBase64()));
    default:
        break;
    }
    if (!canStream(value))
        return QVariant();
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(streamVersion);
    stream << value;
    if (stream.status() != QDataStream::Ok)
        return QVariant();
    return typed("Variant", QString::fromLatin1(bytes.toBase64()));
}

QVariant SettingsCodec::decoded(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QString)
        return decodedText(stored.toString());
    return stored;
}

} // namespace platform
