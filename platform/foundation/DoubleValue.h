#pragma once

#include <QStringView>
#include <QVariant>

namespace platform {

// The double value of a text the way numbers and texts answer it to bindings: leading white space
// and a sign are skipped, then the longest leading decimal number is read ("12abc" is 12, "abc" is
// 0). Always "." as the decimal point, whatever the locale; "inf" and "nan" are not numbers here.
double doubleValue(QStringView text);

// Null gives 0, a text is read as above, anything else converts as a number (true is 1).
double doubleValue(const QVariant &value);

// Whether the value holds one of the integer types, characters included (a boolean is none).
bool isInteger(const QVariant &value);
// Whether the value holds one of the integer or floating-point types (a boolean is no number).
bool isNumber(const QVariant &value);

} // namespace platform
