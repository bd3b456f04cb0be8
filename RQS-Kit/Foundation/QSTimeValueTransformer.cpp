#include "RQS-Kit/Foundation/QSTimeValueTransformer.h"

#include "platform/foundation/DoubleValue.h"
#include "platform/foundation/Log.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

QSTimeValueTransformer &sharedTransformer()
{
    static QSTimeValueTransformer transformer;
    return transformer;
}

QString zeroPadded(qint64 number, int width)
{
    return QString::number(number).rightJustified(width, QLatin1Char('0'));
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Digits after the decimal symbol, read from the last one back; reading stops at the first character
// that is not a digit, so "5 s" is 0.5 rather than a digit value taken from the letter.
double fractionOf(QStringView digits)
{
    qsizetype end = 0;
    while (end < digits.size() && isDigit(digits[end]))
        ++end;
    double fraction = 0;
    for (qsizetype i = end - 1; i >= 0; --i)
        fraction = (digits[i].unicode() - u'0' + fraction) / 10;
    return fraction;
}

} // namespace

QSTimeValueTransformer::QSTimeValueTransformer() { setLocalized(true); }

int QSTimeValueTransformer::transformedValueClass() const { return QMetaType::Double; }

bool QSTimeValueTransformer::allowsReverseTransformation() const { return true; }

QVariant QSTimeValueTransformer::transformedValue(const QVariant &value) const
{
    const double seconds = platform::doubleValue(value);
    // Rounding to the microsecond first keeps binary noise (1.001 is stored as 1.000999…) from
    // cutting a millisecond off a time that was read from text; the milliseconds are then cut, not
    // rounded, so 59.9995 stays in second 59.
    const double microseconds = std::round(std::fabs(seconds) * 1e6);
    if (!(microseconds < 0x1p63)) {
        platform::logWarning(QStringLiteral("%1 seconds cannot be shown as a time").arg(seconds));
        return QString();
    }
    const qint64 milliseconds = static_cast<qint64>(microseconds) / 1000;
    // The sign goes in front of the whole time; hours alone would carry it as "-1:58:29" for -90.5 s.
    const QString sign = seconds < 0 && milliseconds > 0 ? QStringLiteral("-") : QString();
    return sign + zeroPadded(milliseconds / 3600000, 2) + QLatin1Char(':') + zeroPadded(milliseconds / 60000 % 60, 2)
        + QLatin1Char(':') + zeroPadded(milliseconds / 1000 % 60, 2) + m_decimalSymbol
        + zeroPadded(milliseconds % 1000, 3);
}

QVariant QSTimeValueTransformer::reverseTransformedValue(const QVariant &value) const
{
    return secondsForText(value.toString());
}

double QSTimeValueTransformer::secondsForText(QString text) const
{
    if (!text.trimmed().isEmpty() && !std::any_of(text.cbegin(), text.cend(), isDigit)) {
        platform::logWarning(QStringLiteral("\"%1\" is not a time; read as 0 seconds").arg(text));
        return 0;
    }
    // A leading minus belongs to the whole time: "-1:30" is minus 90 seconds, not -60 + 30.
    qsizetype first = 0;
    while (first < text.size() && text[first].isSpace())
        ++first;
    const bool negative = first < text.size() && text[first] == QLatin1Char('-');
    if (negative)
        text.remove(first, 1);

    qsizetype p = text.lastIndexOf(m_decimalSymbol);
    qsizetype symbolLength = m_decimalSymbol.size();
    if (p < 0) {
        p = text.lastIndexOf(m_alternateDecimalSymbol);
        symbolLength = m_alternateDecimalSymbol.size();
    }
    double fraction = 0;
    if (p < 0)
        p = text.size();
    else
        fraction = fractionOf(QStringView(text).mid(p + symbolLength).trimmed());

    const QStringView view(text);
    double hours = 0;
    double minutes = 0;
    double seconds = 0;
    if (p > 0) {
        // The character just before the decimal symbol is left out of the search for ":".
        const qsizetype c = p >= 2 ? view.lastIndexOf(QLatin1Char(':'), p - 2) : -1;
        if (c >= 0) {
            seconds = platform::doubleValue(view.mid(c + 1, p - c - 1));
            const qsizetype c2 = c >= 2 ? view.lastIndexOf(QLatin1Char(':'), c - 2) : -1;
            if (c2 >= 0) {
                minutes = platform::doubleValue(view.mid(c2 + 1, c - c2 - 1));
                hours = platform::doubleValue(view.left(c2));
            } else {
                minutes = platform::doubleValue(view.left(c));
            }
        } else {
            seconds = platform::doubleValue(view.left(p));
        }
    }
    const double result = (minutes + hours * 60) * 60 + seconds + fraction;
    return negative ? -result : result;
}

bool QSTimeValueTransformer::localized() const { return m_localized; }

void QSTimeValueTransformer::setLocalized(bool localized)
{
    m_localized = localized;
    setDecimalSymbol(localized ? QLocale().decimalPoint() : QStringLiteral(","));
}

QString QSTimeValueTransformer::decimalSymbol() const { return m_decimalSymbol; }

void QSTimeValueTransformer::setDecimalSymbol(const QString &symbol)
{
    m_decimalSymbol = symbol;
    m_alternateDecimalSymbol = symbol == QLatin1String(".") ? QStringLiteral(",") : QStringLiteral(".");
}

QString QSTimeValueTransformer::stringForTime(double seconds)
{
    return sharedTransformer().transformedValue(seconds).toString();
}

double QSTimeValueTransformer::timeForString(const QString &text)
{
    return platform::doubleValue(sharedTransformer().reverseTransformedValue(text));
}
