#include "platform/foundation/CodePoint.h"

namespace platform {

QString codePointNotation(char32_t code)
{
    return QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

} // namespace platform
