#pragma once

#include "platform/fx/Buffer.h"

// The colour arithmetic of the colour filters' kernels, on straight (not premultiplied) colours.
namespace rqs::kernelcolor {

struct Straight
{
    float r = 0, g = 0, b = 0, a = 0;
};

struct Hsv
{
    float hue = 0; // in turns, 0 to 1
    float saturation = 0;
    float value = 0;
};

// A transparent pixel gives (0, 0, 0, 0).
Straight unpremultiplied(const platform::fx::Pixel &pixel);
platform::fx::Pixel premultiplied(const Straight &colour);
// Rec. 709 weights, as the engine's mask blend uses them.
float luma(const Straight &colour);
Hsv hsv(const Straight &colour);
Straight fromHsv(const Hsv &hsv, float alpha);
// The shorter way round the hue circle, 0 to 0.5.
float hueDistance(float a, float b);
// Full strength at the same hue, none from a twelfth of a turn away.
float hueNearness(float hue, float target);
Straight mix(const Straight &from, const Straight &to, float weight);

} // namespace rqs::kernelcolor
