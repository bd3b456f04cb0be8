#pragma once

#include "platform/foundation/ValueTransformer.h"

#include <QString>

// Seconds to clock text "hh:mm:ss" + decimal symbol + milliseconds, and back. Reading accepts
// "h:m:s", "m:s" or plain seconds, with either decimal symbol.
class QSTimeValueTransformer : public platform::ValueTransformer
{
public:
    QSTimeValueTransformer();

    int transformedValueClass() const override;
    bool allowsReverseTransformation() const override;
    QVariant transformedValue(const QVariant &value) const override;
    QVariant reverseTransformedValue(const QVariant &value) const override;

    bool localized() const;
    // On: the current locale's decimal point; off: ",".
    void setLocalized(bool localized);
    QString decimalSymbol() const;
    // The alternate symbol that reading also accepts becomes "," for ".", else ".".
    void setDecimalSymbol(const QString &symbol);

    static QString stringForTime(double seconds);
    static double timeForString(const QString &text);

private:
    double secondsForText(QString text) const;

    bool m_localized = true;
    QString m_decimalSymbol;
    QString m_alternateDecimalSymbol;
};
