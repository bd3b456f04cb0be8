#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectChainEnd.h"
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/FxTestImages.h"
#include "platform/ui/UndoManager.h"

#include <QTest>

using platform::fx::Color;
using platform::fx::FilterRegistry;
using platform::fx::Image;

namespace {

void expectSamePixels(const Image &actual, const Image &expected)
{
    const QRect rect = platform::fx::Extent::pixelsTouching(expected.extent());
    ASSERT_EQ(actual.extent(), expected.extent());
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(actual, x, y), fxtest::renderedPixel(expected, x, y)));
}

Image directRecipe(const QString &filterName, const QVariantMap &inputs, const Image &picture)
{
    const std::unique_ptr<platform::fx::Filter> filter = FilterRegistry::create(filterName);
    filter->setDefaults();
    filter->setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(picture));
    for (auto input = inputs.begin(); input != inputs.end(); ++input)
        filter->setValueForKey(input.key(), input.value());
    return filter->outputImage();
}

} // namespace

TEST(QSEffect, StoredSettingsRenderAsTheDirectFilterRecipe)
{
    const Image picture = fxtest::ramp(6, 4);
    auto keep = QSEffectsCatalog::effectForSettings({{"name", "KeepColor"}, {"inputColor", "0 0.3 0 1"}, {"inputIntensity", 0.7}});
    ASSERT_TRUE(keep);
    keep->setInputImage(picture);
    expectSamePixels(keep->outputImage(),
                     directRecipe("QSKeepColorFilter",
                                  {{"inputColor", QVariant::fromValue(Color{0, 0.3f, 0, 1})}, {"inputIntensity", 0.7}}, picture));

    // An outdated filter's colour arrives as a one-colour gradient.
    auto tint = QSEffectsCatalog::effectForSettings({{"name", "QSColorMultiplyFilter"}, {"inputColor", "1 0.5 0 1"}});
    ASSERT_TRUE(tint);
    tint->setInputImage(picture);
    const platform::Gradient orange(QList<QColor>{QColor::fromRgbF(1, 0.5, 0)});
    expectSamePixels(tint->outputImage(),
                     directRecipe("QSGradientMultiplyFilter", {{"inputGradient", QVariant::fromValue(orange)}}, picture));
}

TEST(QSEffect, RelativeInputsAreProportionsOfTheShorterSideOrThePortion)
{
    auto blur = QSEffect::withDescription(
        {{"name", "Blur"}, {"ciName", "QSGaussianBlurFilter"}, {"relative", QStringList{"inputRadius"}}}, {{"inputRadius", 0.01}});
    ASSERT_TRUE(blur);
    EXPECT_DOUBLE_EQ(blur->filterForInputSize({2000, 1000})->numberValue("inputRadius"), 10);
    blur->setGlobalSettings({{"portion", 500}});
    EXPECT_DOUBLE_EQ(blur->filterForInputSize({2000, 1000})->numberValue("inputRadius"), 5);

    blur->setBoundSettings({"inputRadius"});
    EXPECT_TRUE(blur->setValueForKey("inputRadius", 0.02));
    EXPECT_DOUBLE_EQ(blur->filter()->numberValue("inputRadius"), 10);
    EXPECT_EQ(blur->settings().value("inputRadius").toDouble(), 0.02);
}

TEST(QSEffect, ASwitchedOffEffectPassesItsInputAndOneUndoSwitchesItOn)
{
    const Image picture = fxtest::ramp(5, 5);
    auto invert = QSEffect::withName("CIColorInvert");
    ASSERT_TRUE(invert);
    platform::UndoManager undo;
    QSEffectChainEnd sink;
    invert->setUndoManager(&undo);
    ASSERT_TRUE(invert->setSuccessor(&sink));
    invert->setInputImage(picture);
    expectSamePixels(sink.image(), directRecipe("CIColorInvert", {}, picture));

    invert->setEnabled(false);
    EXPECT_EQ(sink.image().node(), picture.node());
    EXPECT_EQ(undo.undoActionName(), "Disable CIColorInvert");
    ASSERT_TRUE(undo.undo());
    EXPECT_TRUE(invert->enabled());
    expectSamePixels(sink.image(), directRecipe("CIColorInvert", {}, picture));
}

TEST(QSEffect, StoredValuesAreTypeCheckedAndUnknownKeysIgnored)
{
    platform::LogCapture log;
    auto keep = QSEffect::withName("QSKeepColor", {{"inputBogus", 1}, {"inputIntensity", "high"}, {"isEnabled", false},
                                                   {"inputColor", "1 0 0 1"}});
    ASSERT_TRUE(keep);
    EXPECT_TRUE(log.contains("Warning: Filter with name QSKeepColor not found, QSKeepColorFilter used instead"));
    EXPECT_TRUE(log.contains("Warning: The filter QSKeepColorFilter of the effect QSKeepColor has no input inputBogus"));
    EXPECT_TRUE(log.contains("Warning: The setting inputIntensity cannot take a value of type QString"));
    EXPECT_DOUBLE_EQ(keep->filter()->numberValue("inputIntensity"), 0.4);
    EXPECT_EQ(keep->filter()->colorValue("inputColor"), (Color{1, 0, 0, 1}));
    const QVariantMap settings = keep->settings();
    EXPECT_FALSE(settings.contains("inputBogus"));
    EXPECT_EQ(settings.value("inputColor"), Color({1, 0, 0, 1}).text());
    EXPECT_EQ(settings.value("isEnabled"), false);
    EXPECT_EQ(settings.value("resource").toMap(), QVariantMap());
}

TEST(QSEffect, AnInfiniteOutputIsRenderedOverTheInputExtent)
{
    const Image picture = fxtest::ramp(3, 2);
    auto clamp = QSEffect::withName("CIAffineClamp");
    ASSERT_TRUE(clamp);
    clamp->setInputImage(picture);
    expectSamePixels(clamp->outputImage(), picture);
}

TEST(QSEffect, SettingsWithoutANameMakeNoEffect)
{
    platform::LogCapture log;
    EXPECT_FALSE(QSEffectsCatalog::effectForSettings({{"inputRadius", 1}}));
    EXPECT_TRUE(log.contains("Warning: Stored effect settings without a \"name\" make no effect"));
}

// The effect's own panel: its slider edits the effect as a proportion, and the effect's refresh
// shows the filter's value again.
TEST(QSEffect, ItsSettingsPanelEditsItThroughItsSlider)
{
    auto blur = QSEffect::withDescription({{"name", "Blur"},
                                           {"ciName", "QSGaussianBlurFilter"},
                                           {"relative", QStringList{"inputRadius"}},
                                           {"settingsUI", QVariantMap{{"Radius", QVariantMap{{"type", 0},
                                                                                           {"inputName", "inputRadius"},
                                                                                           {"minValue", 0.0},
                                                                                           {"maxValue", 0.05}}}}}},
                                          {{"inputRadius", 0.01}});
    ASSERT_TRUE(blur);
    blur->setGlobalSettings({{"portion", 500}});
    QSEffectSettingsView *panel = blur->settingsView();
    ASSERT_EQ(panel, blur->settingsView()) << "built once";
    EXPECT_EQ(blur->boundSettings(), QStringList{"inputRadius"});
    auto *slider = panel->findChild<QSSlider *>();
    ASSERT_TRUE(slider);
    slider->setDoubleValue(0.02);
    EXPECT_NEAR(blur->filter()->numberValue("inputRadius"), 10, 0.1);
    EXPECT_NEAR(blur->settings().value("inputRadius").toDouble(), 0.02, 1e-3);
}

// A change made in the panel is one undo step named after the effect as the user knows it, the
// display name, and the setting; so is switching it off.
TEST(QSEffect, APanelChangeIsOneUndoStepNamedAfterTheEffectsDisplayName)
{
    auto frame = QSEffectsCatalog::effectForSettings({{"name", "TexturedFrame"}});
    ASSERT_TRUE(frame);
    platform::UndoManager undo;
    frame->setUndoManager(&undo);
    QSEffectSettingsView *panel = frame->settingsView();
    auto *width = qobject_cast<QSSlider *>(panel->settingsControls().value(int(frame->boundSettings().indexOf("inputWidth"))));
    ASSERT_TRUE(width);
    QTest::keyClick(width, Qt::Key_End);
    EXPECT_DOUBLE_EQ(frame->settings().value("inputWidth").toDouble(), 0.2);
    EXPECT_EQ(undo.undoActionName(), "Textured Frame Width");
    ASSERT_TRUE(undo.undo());
    EXPECT_DOUBLE_EQ(frame->settings().value("inputWidth").toDouble(), 0.05);
    frame->setEnabled(false);
    EXPECT_EQ(undo.undoActionName(), "Disable Textured Frame");
}

// A setter that sets another input (a frame its texture and colour, a texture its colour) is
// applied first, so that every stored value is the one the filter ends with.
TEST(QSEffect, StoredColourTextureAndFrameAreAllKept)
{
    const Color red{1, 0, 0, 1};
    auto frame = QSEffectsCatalog::effectForSettings({{"name", "TexturedFrame"},
                                                      {"inputFrameName", "FRM-0#005#Wood-Oak"},
                                                      {"inputTextureName", "RQS-T#004#Metal-Brushed"},
                                                      {"inputColor", "1 0 0 1"},
                                                      {"inputWidth", 0.1}});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->filter()->value("inputFrameName"), "FRM-0#005#Wood-Oak");
    EXPECT_EQ(frame->filter()->value("inputTextureName"), "RQS-T#004#Metal-Brushed");
    EXPECT_EQ(frame->filter()->colorValue("inputColor"), red);
    // The frame's texture, tinted red: its middle row on the left side is clearly red.
    QSEffectChainEnd sink;
    ASSERT_TRUE(frame->setSuccessor(&sink));
    frame->setGlobalSettings({{"canvasProportion", 100}});
    frame->setInputImage(fxtest::filled({0, 0, 60, 40}, {0, 0, 1, 1}));
    const platform::fx::Pixel side = fxtest::renderedPixel(sink.image(), -5, 20);
    EXPECT_GT(side.r, side.g + 0.3f);
    EXPECT_GT(side.r, side.b + 0.3f);

    auto texture = QSEffect::withDescription({{"name", "Texture"}, {"ciName", "QSTexturizeFilter"}},
                                             {{"inputTextureName", "RQS-T#002#Paper-Laid"}, {"inputColor", "1 0 0 1"}});
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->filter()->value("inputTextureName"), "RQS-T#002#Paper-Laid");
    EXPECT_EQ(texture->filter()->colorValue("inputColor"), red);
}

// The panel shown before the effect has had a picture keeps the stored proportions, and the
// filter gets proportion × base once the picture comes.
TEST(QSEffect, ItsPanelShownBeforeAPictureKeepsRelativeSettings)
{
    auto shadow = QSEffectsCatalog::effectForSettings({{"name", "Shadow"}});
    ASSERT_TRUE(shadow);
    QSEffectSettingsView *panel = shadow->settingsView();
    EXPECT_DOUBLE_EQ(shadow->settings().value("inputRadius").toDouble(), 0.01);
    EXPECT_DOUBLE_EQ(shadow->settings().value("inputDistance").toDouble(), 0.01);
    auto *blur = qobject_cast<QSSlider *>(panel->settingsControls().value(0));
    ASSERT_TRUE(blur);
    EXPECT_DOUBLE_EQ(blur->doubleValue(), 0.01);

    shadow->setInputImage(fxtest::filled({0, 0, 400, 200}, {1, 1, 1, 1}));
    shadow->outputImage();
    EXPECT_DOUBLE_EQ(shadow->filter()->numberValue("inputRadius"), 2);
    EXPECT_DOUBLE_EQ(shadow->settings().value("inputRadius").toDouble(), 0.01);
}

// Settings reach the filter's properties as well as its inputs: the sRGB conversion told "toRGB"
// undoes the curve, ((0.5 + 0.055) / 1.055)^2.4 for 0.5, where without it it applies it,
// 1.055 × 0.5^(1 / 2.4) − 0.055. The stored switch makes the same effect again, and settings
// without it put the filter back as it was.
TEST(QSEffect, StoredPropertiesThatAreNoInputsAreKeptAndRendered)
{
    const Image grey = fxtest::filled({0, 0, 2, 2}, {0.5f, 0.5f, 0.5f, 1});
    const float linear = 0.214041f, curved = 0.735357f;
    platform::LogCapture log;
    auto toLinear = QSEffect::withName("QSSRGBConversionFilter", {{"toRGB", true}});
    ASSERT_TRUE(toLinear);
    EXPECT_TRUE(log.lines().filter("Warning: ").isEmpty()) << log.lines().join('\n').toStdString();
    EXPECT_EQ(toLinear->settings().value("toRGB"), true);
    toLinear->setInputImage(grey);
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(toLinear->outputImage(), 1, 1), {linear, linear, linear, 1}));

    auto again = QSEffectsCatalog::effectForSettings(toLinear->settings());
    ASSERT_TRUE(again);
    again->setInputImage(grey);
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(again->outputImage(), 1, 1), {linear, linear, linear, 1}));

    again->setSettings({});
    EXPECT_FALSE(again->settings().contains("toRGB"));
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(again->outputImage(), 1, 1), {curved, curved, curved, 1}));
}

TEST(QSEffect, EveryKitFiltersSwitchIsStoredAndRestored)
{
    const struct
    {
        const char *filter, *property;
    } switches[] = {{"QSSRGBConversionFilter", "toRGB"},
                    {"QSGaussianBlurFilter", "forceInside"},
                    {"QSInpaintingFilter", "previewQuality"},
                    {"QSBlurCompositionFilter", "useDistortion"}};
    for (const auto &s : switches) {
        auto effect = QSEffect::withName(s.filter, {{s.property, true}});
        ASSERT_TRUE(effect) << s.filter;
        EXPECT_EQ(platform::KeyValue::valueForKey(effect->filter(), s.property), true) << s.property;
        auto restored = QSEffectsCatalog::effectForSettings(effect->settings());
        ASSERT_TRUE(restored) << s.filter;
        EXPECT_EQ(platform::KeyValue::valueForKey(restored->filter(), s.property), true) << s.property;
        EXPECT_EQ(restored->settings().value(s.property), true) << s.property;
    }
    // A key that is neither input nor property is still refused; so is QObject's own name.
    platform::LogCapture log;
    auto blur = QSEffect::withName("QSGaussianBlurFilter", {{"forceOutside", true}, {"objectName", "x"}});
    ASSERT_TRUE(blur);
    EXPECT_TRUE(log.contains("Warning: The filter QSGaussianBlurFilter of the effect QSGaussianBlurFilter has no input forceOutside"));
    EXPECT_TRUE(log.contains("has no input objectName"));
    EXPECT_FALSE(blur->settings().contains("forceOutside"));
    EXPECT_EQ(blur->filter()->objectName(), QString());
}

// The shadow's distance control offers 0 to 0.1 of the picture's shorter side: a stored 50,000
// would move the shadow 4 million pixels away. With the picture's 80 pixels as base, 0.1 is a
// distance of 8 pixels.
TEST(QSEffect, AStoredNumberOutsideItsControlsRangeIsKeptToIt)
{
    const struct
    {
        QVariant stored;
        double kept;
        const char *warning;
    } cases[] = {
        {50000, 0.1, "Warning: The setting inputDistance of the effect Shadow is 50000, outside 0 to 0.1; 0.1 is used"},
        {-3, 0.0, "Warning: The setting inputDistance of the effect Shadow is -3, outside 0 to 0.1; 0 is used"},
        // Not a number at all: left out, as a value of the wrong type is.
        {std::nan(""), 0.0, "Warning: The setting inputDistance is nan, not a finite number; it is ignored"},
        {0.05, 0.05, nullptr},
    };
    for (const auto &c : cases) {
        platform::LogCapture log;
        auto shadow = QSEffectsCatalog::effectForSettings({{"name", "Shadow"}, {"inputDistance", c.stored}});
        ASSERT_TRUE(shadow);
        EXPECT_DOUBLE_EQ(shadow->settings().value("inputDistance").toDouble(), c.kept);
        if (c.warning)
            EXPECT_TRUE(log.contains(c.warning)) << log.lines().join('\n').toStdString();
        else
            EXPECT_TRUE(log.lines().filter("inputDistance").isEmpty());
        shadow->setInputImage(fxtest::filled({0, 0, 100, 80}, {1, 1, 1, 1}));
        const QRectF extent = shadow->outputImage().extent();
        EXPECT_LE(extent.width(), 140) << c.kept;
        EXPECT_LE(extent.height(), 120) << c.kept;
    }
    // An input without a control keeps to the filter's own limits: the keep-colour intensity to 0..1.
    platform::LogCapture log;
    auto keep = QSEffect::withName("QSKeepColorFilter", {{"inputIntensity", 7}});
    ASSERT_TRUE(keep);
    EXPECT_DOUBLE_EQ(keep->filter()->numberValue("inputIntensity"), 1.0);
    EXPECT_TRUE(log.contains("outside 0 to 1; 1 is used"));
}

TEST(QSEffect, ItsDescriptionNamesItAndListsItsSettings)
{
    auto keep = QSEffect::withDescription({{"name", "KeepColor"}, {"displayName", "Keep Colour"}, {"ciName", "QSKeepColorFilter"}},
                                          {{"inputColor", "1 0 0 1"}, {"inputIntensity", 0.5}});
    ASSERT_TRUE(keep);
    EXPECT_EQ(keep->description(), "Effect: Keep Colour (KeepColor)\n"
                                   "Settings: {\n"
                                   "    inputColor = \"1 0 0 1\";\n"
                                   "    inputIntensity = 0.5;\n"
                                   "    isEnabled = 1;\n"
                                   "    name = KeepColor;\n"
                                   "    resource = {\n"
                                   "    };\n"
                                   "}");
}
