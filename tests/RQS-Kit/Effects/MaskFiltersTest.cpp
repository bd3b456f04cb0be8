#include "RQS-Kit/Effects/KitFilters.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/FxTestImages.h"

using namespace platform::fx;
using fxtest::near;
using fxtest::renderedPixel;

namespace {

Image row(const std::vector<Pixel> &pixels)
{
    Buffer buffer(QRect(0, 0, int(pixels.size()), 1));
    for (int x = 0; x < int(pixels.size()); ++x)
        buffer.row(0)[x] = pixels[std::size_t(x)];
    return Image::fromBuffer(std::move(buffer));
}

std::unique_ptr<Filter> kitFilter(const QString &name)
{
    rqs::registerKitFilters();
    return FilterRegistry::create(name);
}

} // namespace

// External 8 × 1, internal alphas 1, 0.5, 0 with corner 1 grown by 2: the corners take external
// pixels 0–1 and 6–7; the internal middle pixel is stretched over pixels 2–5. Centre 4.5 maps to
// internal x = 1 + (4.5 − 2) / 4 = 1.625, which mixes 0.875 × 0.5 + 0.125 × 0.
TEST(QSCombineMaskFilter, InternalMaskLaidByCornersAndMiddle)
{
    const Pixel colour{0.2f, 0.4f, 0.6f, 1};
    const auto join = kitFilter("QSCombineMaskFilter");
    join->setValueForKey("inputBackgroundImage", QVariant::fromValue(row(std::vector<Pixel>(8, colour))));
    join->setValueForKey("inputImage", QVariant::fromValue(row({{1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 0.5f}, {}})));
    join->setValueForKey("inputCornerRadius", QVariant::fromValue(Vector{{1, 1}, 2}));
    join->setValueForKey("inputScale", 2.0);
    const Image mask = join->outputImage();
    EXPECT_EQ(mask.extent(), QRectF(0, 0, 8, 1));
    for (const auto &[x, alpha] : {std::pair{0, 1.0f}, {1, 0.875f}, {4, 0.4375f}, {7, 0.0f}})
        EXPECT_TRUE(near(renderedPixel(mask, x, 0), colour * alpha)) << x;
}

TEST(QSBlendWithMaskFilter, MaskAlphaChoosesTheImage)
{
    const auto blend = kitFilter("QSBlendWithMaskFilter");
    blend->setValueForKey("inputBackgroundImage", QVariant::fromValue(row({{0, 0, 1, 1}, {0, 0, 1, 1}})));
    blend->setValueForKey("inputImage", QVariant::fromValue(row({{1, 0, 0, 1}, {1, 0, 0, 1}})));
    blend->setValueForKey("inputMaskImage", QVariant::fromValue(row({{0.25f, 0.25f, 0.25f, 0.25f}, {1, 1, 1, 1}})));
    EXPECT_TRUE(near(renderedPixel(blend->outputImage(), 0, 0), {0.25f, 0, 0.75f, 1}));
    EXPECT_TRUE(near(renderedPixel(blend->outputImage(), 1, 0), {1, 0, 0, 1}));
}
