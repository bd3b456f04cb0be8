#include "platform/pdf/PdfOperators.h"

#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace platform {

namespace {

void appendNumber(std::string &out, double value)
{
    if (!std::isfinite(value) || std::abs(value) < 5e-7)
        value = 0;
    value = std::clamp(value, -PdfOperators::largest, PdfOperators::largest);
    // Sign, 39 digits below largest, point and six decimals: 47 characters at most. to_chars
    // never writes past the end; should it not fit, the number is written as 0.
    char text[64];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) {
        out += '0';
        return;
    }
    std::size_t length = std::size_t(result.ptr - text);
    while (length > 1 && text[length - 1] == '0')
        --length;
    // Readers take integers only up to 2^31 - 1 (qpdf up to 2^63 - 1): a larger whole number
    // keeps its point, which makes it a real.
    if (length > 1 && text[length - 1] == '.') {
        if (std::abs(value) < PdfOperators::largestInteger)
            --length;
        else
            ++length;
    }
    out.append(text, length);
}

void appendPoint(std::string &out, double x, double y)
{
    appendNumber(out, x);
    out += ' ';
    appendNumber(out, y);
    out += ' ';
}

} // namespace

bool PdfOperators::isWritable(double value) { return std::isfinite(value) && std::abs(value) <= largest; }

bool PdfOperators::isWritable(const QTransform &t)
{
    for (double value : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
        if (!isWritable(value))
            return false;
    }
    return true;
}

bool PdfOperators::isWritable(const QPainterPath &path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (!isWritable(element.x) || !isWritable(element.y))
            return false;
    }
    return true;
}

QPDFObjectHandle PdfOperators::rectangle(const QRectF &box)
{
    QPDFObjectHandle array = QPDFObjectHandle::newArray();
    for (double value : {box.left(), box.top(), box.right(), box.bottom()})
        array.appendItem(QPDFObjectHandle::newReal(number(value)));
    return array;
}

std::string PdfOperators::number(double value)
{
    std::string out;
    appendNumber(out, value);
    return out;
}

std::string PdfOperators::matrix(const QTransform &t)
{
    std::string out;
    for (double value : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
        if (!out.empty())
            out += ' ';
        appendNumber(out, value);
    }
    return out;
}

std::string PdfOperators::path(const QPainterPath &path)
{
    if (path.isEmpty())
        return "0 0 0 0 re\n";
    std::string out;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (element.isMoveTo() || element.isLineTo()) {
            appendPoint(out, element.x, element.y);
            out += element.isMoveTo() ? "m\n" : "l\n";
        } else if (element.isCurveTo() && i + 2 < path.elementCount()) {
            for (int k = 0; k < 3; ++k)
                appendPoint(out, path.elementAt(i + k).x, path.elementAt(i + k).y);
            out += "c\n";
            i += 2;
        }
    }
    return out;
}

} // namespace platform
