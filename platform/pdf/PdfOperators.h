#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <string>

class QPainterPath;
class QRectF;
class QTransform;

namespace platform {

// Content-stream text for numbers, matrices and paths.
class PdfOperators
{
public:
    // The largest magnitude that PDF readers take for a number (a 32-bit float's range), and the
    // finest step that they keep.
    static constexpr double largest = 3.4e38;
    static constexpr double finest = 1e-5;
    // Whole numbers from this magnitude on are written as reals: readers' integers stop below it.
    static constexpr double largestInteger = 2147483648.0;

    // Whether the value can be written as it is: finite and at most largest in magnitude.
    static bool isWritable(double value);
    // Whether every number of the transformation's six operands or of the path's points is.
    static bool isWritable(const QTransform &transform);
    static bool isWritable(const QPainterPath &path);

    // At most six decimals, without trailing zeros (but for ".0" from largestInteger on), never
    // exponential. A value below 5e-7 in magnitude or not finite becomes 0; one beyond largest is
    // written as largest (callers that must not draw such a value check isWritable first).
    static std::string number(double value);
    // A box (x y-up: left, bottom, right, top) as a PDF array of such numbers, for /MediaBox or
    // /BBox: qpdf's own writing of doubles would make a large whole number an integer.
    static QPDFObjectHandle rectangle(const QRectF &box);
    // The six operands of "cm" for the transformation.
    static std::string matrix(const QTransform &transform);
    // The path's construction operators (m, l, c); an empty path is an empty rectangle.
    static std::string path(const QPainterPath &path);
};

} // namespace platform
