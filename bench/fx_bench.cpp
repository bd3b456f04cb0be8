// The image engine on a 12-megapixel picture: blur at growing radii (the time must not grow),
// a chain of five filters, a small crop of a huge recipe, the kit's colour filters in a row and its
// shadow through a mask; a shipped frame round the picture, made and drawn anew or only drawn again;
// a long chain of effects made, joined and taken down.
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectChainEnd.h"
#include "platform/fx/Context.h"
#include "platform/fx/FilterRegistry.h"

#include <benchmark/benchmark.h>

using namespace platform::fx;

namespace {

const Image &picture()
{
    static const Image image = [] {
        Buffer pixels(QRect(0, 0, 4000, 3000));
        for (int y = 0; y < 3000; ++y)
            for (int x = 0; x < 4000; ++x)
                pixels.row(y)[x] = {float(x % 256) / 255, float(y % 256) / 255, 0.5f, 1};
        return Image::fromBuffer(std::move(pixels));
    }();
    return image;
}

Image filtered(const QString &name, const Image &input, const QVariantMap &inputs = {})
{
    auto filter = FilterRegistry::create(name);
    filter->setDefaults();
    if (!input.isNull())
        filter->setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(input));
    for (auto i = inputs.begin(); i != inputs.end(); ++i)
        filter->setValueForKey(i.key(), i.value());
    return filter->outputImage();
}

void renderOrFail(benchmark::State &state, const Image &image, const QRect &rect)
{
    if (!Context().render(image, rect))
        state.SkipWithError("render failed");
}

void Blur(benchmark::State &state)
{
    const Image blurred = filtered(QStringLiteral("CIGaussianBlur"), picture(), {{"inputRadius", double(state.range(0))}});
    for (auto _ : state)
        renderOrFail(state, blurred, QRect(0, 0, 4000, 3000));
}
BENCHMARK(Blur)->Arg(10)->Arg(35)->Arg(173)->Unit(benchmark::kMillisecond)->UseRealTime();

// Clamp, blur, invert, over a constant through a mask, motion blur: what the frame filters chain.
void FiveFilterChain(benchmark::State &state)
{
    const Image clamped = filtered(QStringLiteral("CIAffineClamp"), picture());
    const Image blurred = filtered(QStringLiteral("CIGaussianBlur"), clamped, {{"inputRadius", 20.0}}).cropped(QRectF(0, 0, 4000, 3000));
    const Image inverted = filtered(QStringLiteral("CIColorInvert"), blurred);
    const Image black = Image::withColor({0, 0, 0, 1});
    const Image masked = filtered(QStringLiteral("CIBlendWithMask"), inverted,
                                  {{"inputBackgroundImage", QVariant::fromValue(black)},
                                   {"inputMaskImage", QVariant::fromValue(picture())}});
    const Image smeared = filtered(QStringLiteral("CIMotionBlur"), masked, {{"inputRadius", 30.0}});
    for (auto _ : state)
        renderOrFail(state, smeared, QRect(0, 0, 4000, 3000));
}
BENCHMARK(FiveFilterChain)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 × 100 of a blurred, tiled, 20000 × 20000 recipe: only the crop's neighbourhood is computed.
void SmallCropOfHugeRecipe(benchmark::State &state)
{
    const Image huge = picture().tiled().cropped(QRectF(0, 0, 20000, 20000));
    const Image blurred = filtered(QStringLiteral("CIGaussianBlur"), huge, {{"inputRadius", 35.0}});
    for (auto _ : state)
        renderOrFail(state, blurred, QRect(9000, 9000, 100, 100));
}
BENCHMARK(SmallCropOfHugeRecipe)->Unit(benchmark::kMillisecond)->UseRealTime();

// The kit's colour filters in a row: gradient map with a tint, gradient multiply at 30 degrees,
// colour multiply, linear to sRGB.
void KitColourChain(benchmark::State &state)
{
    rqs::registerKitFilters();
    const Image mapped = filtered(QStringLiteral("QSGradientMapFilter"), picture(),
                                  {{"inputColor", QVariant::fromValue(Color{0.8f, 0.6f, 0.4f, 1})}});
    const Image shaded = filtered(QStringLiteral("QSGradientMultiplyFilter"), mapped, {{"inputAngle", 30.0}});
    const Image tinted = filtered(QStringLiteral("QSColorMultiplyFilter"), shaded);
    const Image encoded = filtered(QStringLiteral("QSSRGBConversionFilter"), tinted);
    for (auto _ : state)
        renderOrFail(state, encoded, QRect(0, 0, 4000, 3000));
}
BENCHMARK(KitColourChain)->Unit(benchmark::kMillisecond)->UseRealTime();

// The kit's drop shadow (silhouette, blur of radius 5, move, over), then the result shown through a
// mask over a background.
void ShadowThenBlendWithMask(benchmark::State &state)
{
    rqs::registerKitFilters();
    const Image shadowed = filtered(QStringLiteral("QSSimpleShadowFilter"), picture()).cropped(QRectF(0, 0, 4000, 3000));
    const Image masked = filtered(QStringLiteral("CIBlendWithMask"), shadowed,
                                  {{"inputBackgroundImage", QVariant::fromValue(Image::withColor({1, 1, 1, 1}))},
                                   {"inputMaskImage", QVariant::fromValue(picture())}});
    for (auto _ : state)
        renderOrFail(state, masked, QRect(0, 0, 4000, 3000));
}
BENCHMARK(ShadowThenBlendWithMask)->Unit(benchmark::kMillisecond)->UseRealTime();

// The oak frame of the shipped bundle (texture, masks, two shades, inner shadow) round the picture.
// Argument 0: a new filter each time, which reads and lays its frame pictures; 1: the same filter
// asked again, which draws from its cached mask and frame.
void ShippedFrame(benchmark::State &state)
{
    rqs::registerKitFilters();
    const QVariantMap inputs{{"inputFrameName", "FRM-0#005#Wood-Oak"},
                             {"inputWidth", 0.05},
                             {"canvasProportion", 8000.0},
                             {"inputShadowWidth", 0.03}};
    const QRect all(-400, -400, 4800, 3800);
    if (state.range(0) == 1) {
        auto filter = FilterRegistry::create(QStringLiteral("QSTexturedFrameFilter"));
        filter->setDefaults();
        filter->setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(picture()));
        for (auto i = inputs.begin(); i != inputs.end(); ++i)
            filter->setValueForKey(i.key(), i.value());
        renderOrFail(state, filter->outputImage(), all);
        for (auto _ : state)
            renderOrFail(state, filter->outputImage(), all);
    } else {
        for (auto _ : state)
            renderOrFail(state, filtered(QStringLiteral("QSTexturedFrameFilter"), picture(), inputs), all);
    }
}
BENCHMARK(ShippedFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// N inverting effects made as stored settings make them, joined, handed a small picture and taken
// down again: what a stored chain costs before its first pixel, which must grow with N alone.
void EffectChain(benchmark::State &state)
{
    rqs::registerKitFilters();
    const Image small = Image::fromBuffer(Buffer(QRect(0, 0, 4, 3)));
    for (auto _ : state) {
        std::vector<std::unique_ptr<QSEffect>> effects;
        QSEffectChainEnd end;
        for (int i = 0; i < state.range(0); ++i)
            effects.push_back(QSEffect::withName(QStringLiteral("CIColorInvert")));
        for (std::size_t i = 0; i < effects.size(); ++i)
            effects[i]->setSuccessor(i + 1 < effects.size() ? static_cast<QObject *>(effects[i + 1].get()) : &end);
        effects.front()->setInputImage(small);
        if (end.image().isNull())
            state.SkipWithError("the chain gave no picture");
    }
}
BENCHMARK(EffectChain)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
