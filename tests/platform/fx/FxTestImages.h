#pragma once

#include "platform/fx/Context.h"

#include <gtest/gtest.h>

#include <cmath>

// Small hand-made images and a pixel comparison for the image engine's tests.
namespace fxtest {

using platform::fx::Buffer;
using platform::fx::Image;
using platform::fx::Pixel;

// A w × h opaque image whose pixel (x, y) has red x / 10 and green y / 10, so that every pixel
// tells where it came from.
inline Image ramp(int width, int height)
{
    Buffer pixels(QRect(0, 0, width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.row(y)[x] = {x / 10.0f, y / 10.0f, 0, 1};
    return Image::fromBuffer(std::move(pixels));
}

inline Pixel rampPixel(double x, double y)
{
    return {float(x / 10), float(y / 10), 0, 1};
}

inline Image filled(const QRect &rect, const Pixel &pixel)
{
    Buffer pixels(rect);
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            pixels.row(y)[x] = pixel;
    return Image::fromBuffer(std::move(pixels));
}

inline Pixel renderedPixel(const Image &image, int x, int y)
{
    const auto pixels = platform::fx::Context().render(image, QRect(x, y, 1, 1));
    return pixels ? pixels->at(x, y) : Pixel{-1, -1, -1, -1};
}

inline ::testing::AssertionResult near(const Pixel &actual, const Pixel &expected, float tolerance = 1e-5f)
{
    const float d = std::max({std::abs(actual.r - expected.r), std::abs(actual.g - expected.g),
                              std::abs(actual.b - expected.b), std::abs(actual.a - expected.a)});
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.r << ", " << actual.g << ", " << actual.b << ", " << actual.a
                                         << ") is not (" << expected.r << ", " << expected.g << ", " << expected.b
                                         << ", " << expected.a << ")";
}

} // namespace fxtest
