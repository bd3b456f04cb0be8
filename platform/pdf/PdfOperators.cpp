#include "platform/pdf/PdfOperators.h"

#include <QPainterPath>
#include <QTransform>

#include <cmath>
#include <cstdio>

namespace platform {

namespace {

void appendNumber(std::string &out, double value)
{
    if (!std::isfinite(value) || std::abs(value) < 5e-7)
        value = 0;
    char text[64];
    int length = std::snprintf(text, sizeof text, "%.6f", value);
    while (length > 1 && text[length - 1] == '0')
        --length;
    if (length > 1 && text[length - 1] == '.')
        --length;
    out.append(text, std::size_t(length));
}

void appendPoint(std::string &out, double x, double y)
{
    appendNumber(out, x);
    out += ' ';
    appendNumber(out, y);
    out += ' ';
}

} // namespace

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
