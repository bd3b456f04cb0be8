#include "platform/foundation/PropertyListScalar.h"

#include "platform/foundation/PropertyList.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <limits>

namespace platform::PropertyListScalar {

namespace {

bool isXmlSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

QString xmlTrimmed(const QString &text)
{
    qsizetype start = 0, end = text.size();
    while (start < end && isXmlSpace(text.at(start)))
        ++start;
    while (end > start && isXmlSpace(text.at(end - 1)))
        --end;
    return text.sliced(start, end - start);
}

// As messages quote a text: no more of it than a line takes.
QString quoted(const QString &text) { return QLatin1Char('"') + text.left(40) + QLatin1Char('"'); }

// The element's character data as an XML reader gives it.
std::optional<QString> characterData(QByteArrayView tag, QByteArrayView content, QString &error)
{
    if (!content.contains('<') && !content.contains('&'))
        return QString::fromUtf8(content);
    QXmlStreamReader reader("<v>" + content.toByteArray() + "</v>");
    reader.readNextStartElement();
    const QString text = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    if (reader.hasError()) {
        error = QStringLiteral("the text of one of its %1 elements is no well-formed XML: %2").arg(QString::fromLatin1(tag), reader.errorString());
        return std::nullopt;
    }
    return text;
}

// Decimal, or hexadecimal after "0x"; a property list keeps integers from -2^63 to 2^64 - 1.
std::optional<QVariant> integer(const QString &text, QString &error)
{
    static const QRegularExpression written(QStringLiteral(R"(^([+-]?)(?:0[xX]([0-9a-fA-F]+)|([0-9]+))$)"));
    const QRegularExpressionMatch match = written.match(text);
    if (!match.hasMatch()) {
        error = QStringLiteral("it holds %1 where an integer belongs").arg(quoted(text));
        return std::nullopt;
    }
    const bool hexadecimal = match.hasCaptured(2);
    bool fits = false;
    const quint64 magnitude = match.captured(hexadecimal ? 2 : 3).toULongLong(&fits, hexadecimal ? 16 : 10);
    const bool negative = match.captured(1) == QLatin1String("-");
    if (!fits || (negative && magnitude > quint64(1) << 63)) {
        error = QStringLiteral("it holds the integer %1, beyond the 64 bits a property list keeps").arg(text.left(40));
        return std::nullopt;
    }
    if (negative)
        return qlonglong(0 - magnitude);
    if (magnitude > quint64(std::numeric_limits<qint64>::max()))
        return qulonglong(magnitude);
    return qlonglong(magnitude);
}

// A decimal number, or "nan" and "infinity" as the XML form writes them.
std::optional<QVariant> real(const QString &text, QString &error)
{
    static const QRegularExpression written(QStringLiteral(R"(^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$)"));
    static const QRegularExpression infinite(QStringLiteral(R"(^([+-]?)inf(inity)?$)"), QRegularExpression::CaseInsensitiveOption);
    if (text.compare(QLatin1String("nan"), Qt::CaseInsensitive) == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (const QRegularExpressionMatch match = infinite.match(text); match.hasMatch())
        return (match.captured(1) == QLatin1String("-") ? -1 : 1) * std::numeric_limits<double>::infinity();
    if (!written.match(text).hasMatch()) {
        error = QStringLiteral("it holds %1 where a real belongs").arg(quoted(text));
        return std::nullopt;
    }
    // Qt reads it whatever the locale, and tells when it is too large or too small for a double.
    bool fits = false;
    const double value = text.toDouble(&fits);
    if (!fits) {
        error = QStringLiteral("it holds the real %1, beyond the range a property list keeps").arg(text.left(40));
        return std::nullopt;
    }
    return value;
}

// In whole seconds, UTC, as the XML form writes it.
std::optional<QVariant> date(const QString &text, QString &error)
{
    static const QRegularExpression written(QStringLiteral(R"(^([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})Z$)"));
    const QRegularExpressionMatch match = written.match(text);
    const auto part = [&](int i) { return match.captured(i).toInt(); };
    // A day with an invalid time would be taken for its midnight.
    if (match.hasMatch() && !QTime::isValid(part(4), part(5), part(6))) {
        error = QStringLiteral("it holds the date %1, whose time %2 is none from 00:00:00 to 23:59:59").arg(text, text.sliced(11, 8));
        return std::nullopt;
    }
    const QDateTime value = match.hasMatch() ? QDateTime(QDate(part(1), part(2), part(3)), QTime(part(4), part(5), part(6)), QTimeZone::utc())
                                             : QDateTime();
    if (!value.isValid()) {
        error = QStringLiteral("it holds %1 where a date belongs").arg(quoted(text));
        return std::nullopt;
    }
    if (!PropertyList::keepsDate(value)) {
        error = QStringLiteral("it holds the date %1, outside the years %2 to %3 a property list keeps")
                    .arg(text)
                    .arg(PropertyList::EarliestYear)
                    .arg(PropertyList::LatestYear);
        return std::nullopt;
    }
    return value;
}

// Base64, broken into lines as the writer likes.
std::optional<QVariant> data(const QString &text, QString &error)
{
    // A character beyond Latin-1 becomes "?", which is no base64 either.
    QByteArray base64 = text.toLatin1();
    base64.removeIf([](char c) { return isXmlSpace(QChar::fromLatin1(c)); });
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        error = QStringLiteral("it holds %1 where base64 data belongs").arg(quoted(text.simplified()));
        return std::nullopt;
    }
    return decoded.decoded;
}

} // namespace

bool isScalarTag(QByteArrayView tag) { return tag == "integer" || tag == "real" || tag == "date" || tag == "data"; }

std::optional<QString> text(QByteArrayView content, QString &error) { return characterData("string", content, error); }

std::optional<QVariant> fromXml(QByteArrayView tag, QByteArrayView content, QString &error)
{
    const std::optional<QString> text = characterData(tag, content, error);
    if (!text)
        return std::nullopt;
    const QString trimmed = xmlTrimmed(*text);
    if (tag == "integer")
        return integer(trimmed, error);
    if (tag == "real")
        return real(trimmed, error);
    if (tag == "date")
        return date(trimmed, error);
    return data(*text, error);
}

} // namespace platform::PropertyListScalar
