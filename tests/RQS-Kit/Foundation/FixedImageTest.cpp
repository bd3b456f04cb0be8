#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "platform/fx/Context.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTransform>

#include <cmath>

using platform::fx::Image;

namespace {

// The kinds of the steps a render of the image runs, in order.
QStringList stepsOf(const Image &image, std::optional<platform::fx::Buffer> *pixels = nullptr)
{
    platform::fx::RenderStats stats;
    std::optional<platform::fx::Buffer> rendered = platform::fx::Context().render(image, &stats);
    if (pixels)
        *pixels = std::move(rendered);
    QStringList kinds;
    for (const auto &entry : stats.nodes)
        kinds << entry.kind;
    return kinds;
}

} // namespace

// A shade description fixes its combined image so that each later draw reads pixels instead of
// running the recipe again: the fixed image is one step of held pixels over the same extent, each
// the recipe's own rounded to 8 bits, premultiplied, and however often it is drawn it stays so.
TEST(FxImageExtension, AFixedImageIsDrawnFromItsRenderedPixelsWithoutTheRecipe)
{
    // A translucent picture moved by a fraction of a pixel: blended pixels no bitmap holds exactly.
    QImage picture(16, 12, QImage::Format_ARGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            picture.setPixelColor(x, y, QColor(x * 16, y * 20, 128, 100 + x * 9));
    const Image recipe = Image::fromQImage(picture).transformed(QTransform::fromTranslate(0.5, 0.25));
    std::optional<platform::fx::Buffer> expected;
    const QStringList recipeSteps = stepsOf(recipe, &expected);
    ASSERT_EQ(recipeSteps, QStringList({"picture", "transform"}));
    ASSERT_TRUE(expected);

    const Image fixed = rqs::fixedImage(recipe);
    EXPECT_EQ(fixed.extent(), QRectF(0, 0, 17, 13)) << "every pixel the recipe touches, the partly covered ones included";
    for (int draw = 0; draw < 3; ++draw) {
        std::optional<platform::fx::Buffer> pixels;
        EXPECT_EQ(stepsOf(fixed, &pixels), QStringList({"pixels"})) << "draw " << draw;
        ASSERT_TRUE(pixels);
        ASSERT_EQ(pixels->rect(), expected->rect());
        for (int y = pixels->rect().top(); y <= pixels->rect().bottom(); ++y) {
            for (int x = pixels->rect().left(); x <= pixels->rect().right(); ++x) {
                const platform::fx::Pixel got = pixels->at(x, y), want = expected->at(x, y);
                for (const auto &[g, w] : {std::pair{got.r, want.r}, {got.g, want.g}, {got.b, want.b}, {got.a, want.a}}) {
                    ASSERT_NEAR(g, w, 0.5f / 255 + 1e-6f) << x << "," << y;
                    ASSERT_NEAR(g * 255, std::round(g * 255), 1e-3f) << "8 bits at " << x << "," << y;
                }
            }
        }
    }
}
