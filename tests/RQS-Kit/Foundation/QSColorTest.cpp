#include "RQS-Kit/Foundation/QSColor.h"

#include "platform/foundation/Log.h"
#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include <clocale>
#include <string>

namespace {

struct Rgba { double red, green, blue, alpha; };

// QColor keeps 16 bits a component.
constexpr double kTolerance = 1.0 / 65535;

void expectSolid(const QBrush &brush, const Rgba &expected, const std::string &label)
{
    ASSERT_EQ(brush.style(), Qt::SolidPattern) << label;
    const QColor color = brush.color().toRgb();
    EXPECT_NEAR(color.redF(), expected.red, kTolerance) << label;
    EXPECT_NEAR(color.greenF(), expected.green, kTolerance) << label;
    EXPECT_NEAR(color.blueF(), expected.blue, kTolerance) << label;
    EXPECT_NEAR(color.alphaF(), expected.alpha, kTolerance) << label;
}

QImage filledImage(const QColor &color)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

TEST(QSColor, ReadsEveryTextFormButAnImageNameWinsAndTheNoiseImageIsTriedUntilItExists)
{
    QTemporaryDir dir;
    ASSERT_TRUE(filledImage(Qt::blue).save(dir.filePath("0.5.png")));
    MainBundleScope bundle(dir.path());
    const struct { const char *text; Rgba expected; } cases[] = {
        {"", {0, 0, 0, 1}},           {"#ff000080", {1, 0, 0, 128 / 255.0}}, {"0.5 0.25", {0.5, 0.5, 0.5, 0.25}},
        {"1/0/0/0.5", {1, 0, 0, 0.5}}, {"1 0 0 0.5 9", {1, 0, 0, 1}},
        // "#fff" holds one hex pair "ff", so the whole text is read as one number: 0; components are clamped to 0 to 1.
        {"#fff", {0, 0, 0, 1}},       {"2 -1 0.5", {1, 0, 0.5, 1}},
    };
    for (const auto &c : cases)
        expectSolid(QSColor::colorFromDescription(QString::fromUtf8(c.text)), c.expected, c.text);

    EXPECT_EQ(QSColor::colorFromDescription("0.5").textureImage().pixelColor(1, 1), QColor(Qt::blue)) << "an image name wins";

    platform::LogCapture capture;
    EXPECT_EQ(QSColor::noiseColor().style(), Qt::NoBrush);
    EXPECT_TRUE(capture.contains("Warning: noise image 'NoiseFull.png' is not in bundle"));
    ASSERT_TRUE(filledImage(Qt::gray).save(dir.filePath("NoiseFull.png")));
    EXPECT_EQ(QSColor::noiseColor().textureImage().pixelColor(0, 0), QColor(Qt::gray));
}

TEST(QSColor, WritesSixDecimalsThatReadBackAsTheSameColourWithAPointWhateverTheLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const bool cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr; // when installed on this machine
    LanguageScope german("de_DE");
    const QString written = QSColor::descriptionForNSColor(QBrush(QColor::fromRgbF(0.5f, 0.25f, 0, 1)));
    const QString pattern = QSColor::descriptionForNSColor(QBrush(filledImage(Qt::red)));
    const QBrush comma = QSColor::colorFromDescription("0,5");
    // Every value a component can hold survives being written and read again.
    for (int stored = 0; stored <= 65535; stored += 97) {
        const QColor color = QColor::fromRgba64(quint16(stored), quint16(65535 - stored), quint16(stored / 2), 65535);
        const QBrush read = QSColor::colorFromDescription(QSColor::descriptionForNSColor(QBrush(color)));
        ASSERT_EQ(read.color().rgba64(), color.rgba64()) << stored;
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(written, "0.500000 0.250000 0.000000 1.000000") << cLocale;
    EXPECT_EQ(pattern, "0.000000 0.000000 0.000000 0.000000");
    expectSolid(comma, {0, 0, 0, 1}, "de_DE comma");

    // HSV gives opaque RGB.
    const struct { QSColor::Hsv hsv; Rgba expected; } cases[] = {
        {{0.1, 0.5, 0.8}, {0.8, 0.64, 0.4, 1}}, {{0.7, 0, 0.3}, {0.3, 0.3, 0.3, 1}},
    };
    for (const auto &c : cases)
        expectSolid(QSColor::colorFromHsv(c.hsv), c.expected,
                    "hue " + std::to_string(c.hsv.hue) + " s " + std::to_string(c.hsv.saturation));
}

