#pragma once

#include <QString>

namespace platform {

// A character as messages name it: "U+" and at least four upper-case hex digits ("U+0007").
QString codePointNotation(char32_t code);

} // namespace platform
