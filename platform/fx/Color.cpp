#include "platform/fx/Color.h"

#include <QStringList>

namespace platform::fx {

Color Color::fromPixel(const Pixel &pixel)
{
    if (pixel.a <= 0)
        return {0, 0, 0, 0};
    return {pixel.r / pixel.a, pixel.g / pixel.a, pixel.b / pixel.a, pixel.a};
}

QString Color::text() const
{
    return QStringLiteral("%1 %2 %3 %4").arg(r).arg(g).arg(b).arg(a);
}

std::optional<Color> Color::fromText(QStringView text)
{
    const QList<QStringView> parts = text.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts.size() > 4)
        return std::nullopt;
    std::array<float, 4> values{0, 0, 0, 1};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        values[std::size_t(i)] = parts[i].toFloat(&ok);
        if (!ok)
            return std::nullopt;
    }
    return Color{values[0], values[1], values[2], values[3]};
}

} // namespace platform::fx
