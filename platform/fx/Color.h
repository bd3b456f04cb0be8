#pragma once

#include "platform/fx/Buffer.h"

#include <QMetaType>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace platform::fx {

// A colour as filters take it: straight (not premultiplied) sRGB components, text form "r g b a".
struct Color
{
    float r = 0, g = 0, b = 0, a = 1;

    Pixel premultiplied() const { return {r * a, g * a, b * a, a}; }
    // The colour of a working pixel; transparent pixels give (0, 0, 0, 0).
    static Color fromPixel(const Pixel &pixel);
    QString text() const;
    // Three or four numbers separated by blanks (alpha 1 when missing); nullopt otherwise.
    static std::optional<Color> fromText(QStringView text);
    bool operator==(const Color &) const = default;
};

// Two to four numbers, as kernels and filters take points, offsets and rectangles.
struct Vector
{
    std::array<double, 4> values{};
    int count = 0;

    double operator[](int i) const { return i < count ? values[std::size_t(i)] : 0.0; }
    bool operator==(const Vector &) const = default;
};

} // namespace platform::fx

Q_DECLARE_METATYPE(platform::fx::Color)
Q_DECLARE_METATYPE(platform::fx::Vector)
