#pragma once

#include <string>

class QPainterPath;
class QTransform;

namespace platform {

// Content-stream text for numbers, matrices and paths.
class PdfOperators
{
public:
    // At most six decimals, without trailing zeros.
    static std::string number(double value);
    // The six operands of "cm" for the transformation.
    static std::string matrix(const QTransform &transform);
    // The path's construction operators (m, l, c); an empty path is an empty rectangle.
    static std::string path(const QPainterPath &path);
};

} // namespace platform
