#include "platform/foundation/DoubleValue.h"

#include <QLocale>

namespace platform {

namespace {
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}
} // namespace

double doubleValue(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    qsizetype i = start;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype integerStart = i;
    i = skipDigits(text, i);
    bool hasDigits = i > integerStart;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        const qsizetype fractionStart = i + 1;
        const qsizetype fractionEnd = skipDigits(text, fractionStart);
        if (hasDigits || fractionEnd > fractionStart) {
            hasDigits = true;
            i = fractionEnd;
        }
    }
    if (!hasDigits)
        return 0;
    // An exponent counts only when digits follow it: "2e" is 2.
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype e = i + 1;
        if (e < text.size() && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-')))
            ++e;
        const qsizetype exponentEnd = skipDigits(text, e);
        if (exponentEnd > e)
            i = exponentEnd;
    }
    // The C locale reads the digits alone; it answers an infinity on overflow and 0 on underflow.
    return QLocale::c().toDouble(text.mid(start, i - start));
}

double doubleValue(const QVariant &value)
{
    if (value.isNull())
        return 0;
    if (value.metaType().id() == QMetaType::QString)
        return doubleValue(QStringView(value.toString()));
    return value.toDouble();
}

bool isInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isNumber(const QVariant &value)
{
    const int type = value.typeId();
    return type == QMetaType::Double || type == QMetaType::Float || isInteger(value);
}

} // namespace platform
