#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSTexturizeFilter.h"
#include "RQS-Kit/Foundation/FxColorExtension.h"
#include "platform/foundation/TempFolder.h"
#include "platform/fx/Context.h"
#include "platform/fx/FxTestImages.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <random>

using namespace platform::fx;
using fxtest::near;
using fxtest::renderedPixel;

namespace {

// Two columns, 8-bit like a texture file: (0, 0) and (1, 0) of the texture hold the given colours.
Image twoPixels(const QColor &left, const QColor &right)
{
    Buffer pixels(QRect(0, 0, 2, 1));
    pixels.row(0)[0] = {float(left.redF()), float(left.greenF()), float(left.blueF()), 1};
    pixels.row(0)[1] = {float(right.redF()), float(right.greenF()), float(right.blueF()), 1};
    return Image::fromBuffer(std::move(pixels));
}

} // namespace

// A texture whose base colour is white (a neutral texture, like "Stripes"): its white becomes the
// tint, and its grey 0.5 the tint at half the value.
TEST(TexturizeTint, ANeutralTextureTakesTheTintColour)
{
    rqs::registerKitFilters();
    const struct
    {
        Color tint;
        Pixel white, grey;
    } cases[] = {
        {{0, 1, 0, 1}, {0, 1, 0, 1}, {0, 0.5f, 0, 1}},
        {{0.5f, 1, 0.5f, 1}, {0.5f, 1, 0.5f, 1}, {0.25f, 0.5f, 0.25f, 1}},
        {{0.2f, 0.2f, 0.8f, 1}, {0.2f, 0.2f, 0.8f, 1}, {0.1f, 0.1f, 0.4f, 1}},
        {{1, 1, 1, 1}, {1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 1}},
    };
    for (const auto &c : cases) {
        QSTexturizeFilter filter;
        filter.setInputTexture(twoPixels(Qt::white, QColor::fromRgbF(0.5, 0.5, 0.5)));
        filter.setValueForKey("inputColor", QVariant::fromValue(c.tint));
        EXPECT_TRUE(near(renderedPixel(filter.cachedTexture(), 0, 0), c.white, 1e-4f)) << c.tint.text().toStdString();
        EXPECT_TRUE(near(renderedPixel(filter.cachedTexture(), 1, 0), c.grey, 1e-4f)) << c.tint.text().toStdString();
    }
}

// A coloured texture keeps scaling its saturation: a picture of (128, 64, 64) and (128, 96, 96)
// averages (128, 80, 80), hue 0, saturation 0.375, value 128/255. Tinted to (0.25, 0.5, 0.5): hue
// + 0.5, saturation × 0.5 / 0.375, value × 0.5 / (128/255); so (128, 64, 64), saturation 0.5,
// becomes saturation 2/3 at value 0.5, and (128, 96, 96), saturation 0.25, saturation 1/3.
TEST(TexturizeTint, AColouredTextureScalesItsSaturation)
{
    rqs::registerKitFilters();
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(128, 64, 64));
    picture.setPixel(1, 0, qRgb(128, 96, 96));
    const QString path = platform::TempFolder::path() + "/texture-test-tint.png";
    ASSERT_TRUE(picture.save(path));
    QSTexturizeFilter filter;
    filter.setValueForKey("inputTextureName", "texture-test-tint.png");
    filter.setValueForKey("inputColor", QVariant::fromValue(Color{0.25f, 0.5f, 0.5f, 1}));
    EXPECT_NEAR(filter.textureHSV().saturation, 0.375, 1e-4);
    EXPECT_TRUE(near(renderedPixel(filter.cachedTexture(), 0, 0), {1 / 6.0f, 0.5f, 0.5f, 1}, 1e-3f));
    EXPECT_TRUE(near(renderedPixel(filter.cachedTexture(), 1, 0), {1 / 3.0f, 0.5f, 0.5f, 1}, 1e-3f));
    QFile::remove(path);
}

// A grey texture in eight stripes of 100 to 170 whose every channel carries its own noise of up to
// 3/255, tinted green: every pixel takes the tint's hue and saturation, and the noise stays in its
// brightness: value × the tint's value ÷ the texture's mean value.
TEST(TexturizeTint, ANoisyGreyTextureKeepsTheTintsHueAndSaturation)
{
    rqs::registerKitFilters();
    QImage picture(64, 64, QImage::Format_RGB32);
    std::mt19937 random(49);
    std::uniform_int_distribution<int> noise(-3, 3);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const int grey = 100 + x / 8 * 10;
            picture.setPixel(x, y, qRgb(grey + noise(random), grey + noise(random), grey + noise(random)));
        }
    }
    const QString path = platform::TempFolder::path() + "/texture-test-noisy.png";
    ASSERT_TRUE(picture.save(path));
    QSTexturizeFilter filter;
    filter.setValueForKey("inputTextureName", "texture-test-noisy.png");
    ASSERT_EQ(filter.value("inputTextureName"), "texture-test-noisy.png");
    const Color tint{0.1f, 0.6f, 0.2f, 1};
    filter.setValueForKey("inputColor", QVariant::fromValue(tint));
    const QSColor::Hsv wanted = rqs::hsv(tint);
    const std::optional<Buffer> tinted = Context().render(filter.cachedTexture());
    ASSERT_TRUE(tinted);
    double hueError = 0, saturationError = 0, valueError = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QSColor::Hsv got = rqs::hsv(Color::fromPixel(tinted->at(x, y)));
            const QRgb source = picture.pixel(x, 63 - y);
            const double value = std::max({qRed(source), qGreen(source), qBlue(source)}) / 255.0;
            const double turn = std::abs(got.hue - wanted.hue);
            hueError = std::max(hueError, std::min(turn, 1 - turn) * 360);
            saturationError = std::max(saturationError, std::abs(got.saturation - wanted.saturation));
            valueError = std::max(valueError,
                                  std::abs(got.value - std::min(1.0, value * wanted.value / filter.textureHSV().value)));
        }
    }
    EXPECT_LT(hueError, 0.5) << "degrees";
    EXPECT_LT(saturationError, 0.005);
    EXPECT_LT(valueError, 0.002);
    QFile::remove(path);
}

TEST(TexturizeTint, TheDescriptionListsTheInputsAndTheTexturesOptions)
{
    rqs::registerKitFilters();
    QSTexturizeFilter filter;
    filter.setDefaults();
    filter.setInputTexture(twoPixels(Qt::white, Qt::white));
    filter.setValueForKey("inputImage", QVariant::fromValue(fxtest::ramp(4, 3)));
    filter.setValueForKey("inputColor", QVariant::fromValue(Color{1, 0, 0, 1}));
    filter.setValueForKey("inputTextureWidth", 16);
    filter.setValueForKey("imageIsMask", true);
    const QStringList lines = filter.description().split('\n');
    ASSERT_EQ(lines.size(), 9) << filter.description().toStdString();
    EXPECT_TRUE(lines[0].startsWith("<QSTexturizeFilter: inputImage=Image [0 0 4 3] ")) << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1), QStringList({"InputImage: Image [0 0 4 3]", "InputTexture: Image [0 0 2 1]", "InputColor: 1 0 0 1",
                                         "inputTextureName: " + filter.value("inputTextureName").toString(),
                                         "InputTextureWidth: 16", "InputCompositeName: sourceOver",
                                         "InputImageisMask: YES",
                                         "TextureFillMode: 0 – TextureBaseRepeats: 1.000000 – TextureSections: 1 – "
                                         "ScaleTexture: NO – noTextureShift: YES"}));
}
