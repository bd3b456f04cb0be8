#include "RQS-Kit/Foundation/GradientExtension.h"
#include "RQS-Kit/Foundation/QSColor.h"
#include "RQS-Kit/Foundation/QSShadowCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/GraphicsContext.h"

#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainterPath>
#include <QTemporaryDir>

#include <clocale>
#include <string>

using platform::Gradient;
using platform::Shadow;

namespace {

// A German user whose C library, where that locale is installed, also writes numbers with a comma.
struct GermanNumbers
{
    GermanNumbers() { installed = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr; }
    ~GermanNumbers() { std::setlocale(LC_NUMERIC, previous.c_str()); }
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    bool installed = false;
    LanguageScope german{"de_DE"};
};

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

QVariantMap presets()
{
    return {
        {"Full", QVariantMap{{"color", "#ff000080"}, {"offset.x", 2}, {"offset.y", -1.5}, {"radius", 4.25}, {"textColor", "0/0/1"}}},
        {"Patterned", QVariantMap{{"color", "Stripes"}}},
        {"Broken", "0 0 0"},
    };
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
    const GermanNumbers german;
    const QString written = QSColor::descriptionForNSColor(QBrush(QColor::fromRgbF(0.5f, 0.25f, 0, 1)));
    const QString pattern = QSColor::descriptionForNSColor(QBrush(filledImage(Qt::red)));
    const QBrush comma = QSColor::colorFromDescription("0,5");
    // Every value a component can hold survives being written and read again.
    for (int stored = 0; stored <= 65535; stored += 97) {
        const QColor color = QColor::fromRgba64(quint16(stored), quint16(65535 - stored), quint16(stored / 2), 65535);
        const QBrush read = QSColor::colorFromDescription(QSColor::descriptionForNSColor(QBrush(color)));
        ASSERT_EQ(read.color().rgba64(), color.rgba64()) << stored;
    }
    EXPECT_EQ(written, "0.500000 0.250000 0.000000 1.000000") << german.installed;
    EXPECT_EQ(pattern, "0.000000 0.000000 0.000000 0.000000");
    expectSolid(comma, {0, 0, 0, 1}, "de_DE comma");

    // HSV gives opaque RGB.
    const struct { QSColor::Hsv hsv; Rgba expected; } cases[] = {
        {{0.1, 0.5, 0.8}, {0.8, 0.64, 0.4, 1}}, {{0.7, 0, 0.3}, {0.3, 0.3, 0.3, 1}},
    };
    for (const auto &c : cases)
        expectSolid(QSColor::colorFromHsv(c.hsv), c.expected,
                    "hue " + std::to_string(c.hsv.hue) + " s " + std::to_string(c.hsv.saturation));

    // And back: black, mid grey, pure red, pure blue.
    const struct { QColor color; QSColor::Hsv expected; } colours[] = {
        {Qt::black, {0, 0, 0}}, {QColor::fromRgbF(0.5, 0.5, 0.5), {0, 0, 0.5}},
        {Qt::red, {0, 1, 1}}, {Qt::blue, {2.0 / 3, 1, 1}},
    };
    for (const auto &c : colours) {
        const QSColor::Hsv read = QSColor::hsv(c.color);
        EXPECT_NEAR(read.hue, c.expected.hue, 1e-6) << c.color.name().toStdString();
        EXPECT_NEAR(read.saturation, c.expected.saturation, 1e-6) << c.color.name().toStdString();
        EXPECT_NEAR(read.value, c.expected.value, 1e-3) << c.color.name().toStdString();
    }
}

TEST(QSShadowCatalog, PresetsBecomeShadowsAndTextColoursAndUnknownMalformedOrUnreadableOnesGiveNone)
{
    QTemporaryDir dir;
    QImage stripes(2, 2, QImage::Format_RGB32);
    stripes.fill(Qt::yellow);
    ASSERT_TRUE(stripes.save(dir.filePath("Stripes.png")));
    MainBundleScope bundle(dir.path());
    const QString path = dir.filePath("Shadows.plist");
    ASSERT_TRUE(platform::PropertyList::write(presets(), path));
    const QSShadowCatalog catalog(path);

    const std::optional<Shadow> full = catalog.shadowWithName("Full");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->color.rgba64(), QColor(255, 0, 0, 128).rgba64());
    EXPECT_EQ(full->offset, QSizeF(2, -1.5));
    EXPECT_EQ(catalog.textColorForShadowWithName("Full").color(), QColor(Qt::blue));
    // A shadow is drawn in one colour, so a pattern gives black; no text colour is opaque black.
    EXPECT_EQ(catalog.shadowWithName("Patterned").value().color, QColor(Qt::black));
    EXPECT_EQ(catalog.textColorForShadowWithName("Patterned").color(), QColor(Qt::black));

    EXPECT_FALSE(catalog.shadowWithName("Nothing"));
    EXPECT_EQ(catalog.textColorForShadowWithName("Nothing").style(), Qt::NoBrush);
    platform::LogCapture capture;
    EXPECT_FALSE(catalog.shadowWithName("Broken"));
    EXPECT_TRUE(capture.contains("Warning: Shadow description '0 0 0' is no dictionary"));

    const QString listPath = dir.filePath("List.plist");
    ASSERT_TRUE(platform::PropertyList::write(QVariantList{"Full"}, listPath));
    for (const QString &unreadable : {dir.filePath("Missing.plist"), listPath}) {
        EXPECT_TRUE(QSShadowCatalog(unreadable).shadowsDictionary().isEmpty()) << unreadable.toStdString();
        EXPECT_TRUE(capture.contains("Warning: No shadow presets from '" + unreadable));
    }
}

TEST(GradientExtension, ReadsStopsByTheCountOfNumbersAndWritesThemWithAPoint)
{
    const QGradientStops redToBlue{{0, QColor::fromRgbF(1, 0, 0, 1)}, {1, QColor::fromRgbF(0, 0, 1, 1)}};
    EXPECT_EQ(rqs::gradientWithString("1 0 0 1 0 0 1 1").stops(), redToBlue) << "two colours of four";
    platform::LogCapture log;
    EXPECT_EQ(rqs::gradientWithString("0.5 1 1 1 1 0 0").stops(), (QGradientStops{{0.5, QColor::fromRgbF(1, 1, 1, 1)}}));
    EXPECT_TRUE(log.contains(QStringLiteral("not a multiple of 5")));

    // Strings round-trip with a point whatever the locale.
    const QString text = QStringLiteral("0.000000 1.000000 0.000000 0.000000 1.000000 0.500000 0.000000 0.250000 1.000000 0.500000");
    const GermanNumbers german;
    EXPECT_EQ(rqs::stringRepresentation(rqs::gradientWithString(text)), text) << german.installed;
}

TEST(GradientExtension, AngleNamesWhereTheFirstColourLies)
{
    const Gradient gradient(QList<QColor>{Qt::red, Qt::blue});
    for (const auto &[angle, top] : {std::pair{270.0, QColor(Qt::red)}, std::pair{90.0, QColor(Qt::blue)}}) {
        const QImage image = platform::BitmapGraphicsContext::drawnImage({10, 100}, 1, [&](platform::GraphicsContext &) {
            QPainterPath path;
            path.addRect(0, 0, 10, 100);
            gradient.drawInPath(path, angle);
        });
        EXPECT_TRUE(PixelProbe::isNear(image, {5, 0}, top, 16)) << angle << " " << PixelProbe::describe(image, {5, 0}).toStdString();
    }
}
