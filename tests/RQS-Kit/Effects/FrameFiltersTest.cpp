#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSCombinedShadeDescription.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameImageDescription.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/TempFolder.h"
#include "platform/fx/FxTestImages.h"

#include <QDir>
#include <functional>

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "support/Screenshot.h"

using namespace platform::fx;
using fxtest::near;
using fxtest::renderedPixel;

namespace {

// A texturize filter that takes its input as a mask, the texture laid as given.
std::unique_ptr<QSTexturizeFilter> maskTexturizer(const Image &texture, double width)
{
    rqs::registerKitFilters();
    auto filter = std::make_unique<QSTexturizeFilter>();
    filter->setInputTexture(texture);
    filter->setValueForKey("imageIsMask", true);
    filter->setValueForKey("inputTextureWidth", width);
    filter->setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({-8, -8, 16, 16}, {1, 1, 1, 1})));
    return filter;
}

// Frame pictures in a folder laid out as the frame bundle: a 6 × 6 picture per file, grey by column,
// opaque unless an alpha is given.
QString frameBundle(const QTemporaryDir &dir, const QMap<QString, std::function<int(int)>> &files, int alpha = 255)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QImage picture(6, 6, QImage::Format_ARGB32);
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y)
                picture.setPixel(x, y, qRgba(it.value()(x), it.value()(x), it.value()(x), alpha));
        QDir(dir.path()).mkpath(QFileInfo(it.key()).path());
        if (!picture.save(dir.filePath(it.key())))
            return {};
    }
    return dir.path();
}

// A frame of that name 4 pixels wide around a grey picture of 20 × 20 at the origin.
void frameAGreyPicture(QSTexturedFrameFilter &frame, const QString &frameName)
{
    frame.setValueForKey("inputFrameName", frameName);
    frame.setValueForKey("inputWidth", 4.0);
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 20, 20}, {0.5f, 0.5f, 0.5f, 1})));
}

} // namespace

TEST(TextureOptions, ReadFromTheEnd)
{
    const auto d = [](const QString &options) { return QSTextureCatalog::descriptionForPath("T/RQS-T#001#Linen" + options + ".jpg"); };
    EXPECT_EQ(d("").sections, 1u);
    EXPECT_EQ(d("").baseScale, 4.0);
    EXPECT_EQ(d("#$0.05").baseScale, 0.1);
    EXPECT_EQ(d("##10-20-30-3$0.5").baseScale, 3.0);
    EXPECT_EQ(d("##10-20-30-0").baseScale, 0.1);
    EXPECT_EQ(d("#S7").sections, 4u);
    EXPECT_TRUE(d("#S7").shouldScale);
    EXPECT_EQ(d("#0").sections, 1u);
    const QSTextureDescription full = d("#R2#30-40-90$2.5");
    EXPECT_TRUE(full.repeating);
    EXPECT_EQ(full.sections, 2u);
    EXPECT_DOUBLE_EQ(full.baseColor.hue, 30.0 / 360);
    EXPECT_DOUBLE_EQ(full.baseColor.value, 0.9);
    EXPECT_EQ(full.baseScale, 2.5);
}

TEST(FrameImageOptions, ZeroWidthAndNegativeRepeatsAreMadeSafe)
{
    const QSFrameImageDescription shade("S/FRM-S#001#Edge#40-12-3-0.png");
    EXPECT_EQ(shade.name(), "FRM-S#001#Edge");
    EXPECT_EQ(shade.cornerSize(), QSizeF(40, 40));
    const auto safe = QSFrameImageDescription::optionsFromString("0-4--2-1");
    EXPECT_EQ(safe.width, 1.0);
    EXPECT_EQ(safe.repeatX, 0u);
    EXPECT_EQ(QSFrameImageDescription::optionsFromString({}).width, 1.0);
}

// 100 wide, corner 20, repeatX 3, on a 60-pixel side: round(3 × 20 ÷ 60) ÷ 3; a mask narrower than
// its corners repeats nothing.
TEST(TexturedFrame, RepeatFactorsFitWholeRepeats)
{
    QTemporaryDir dir;
    QImage wide(100, 10, QImage::Format_ARGB32), narrow(30, 10, QImage::Format_ARGB32);
    wide.fill(Qt::white);
    narrow.fill(Qt::white);
    ASSERT_TRUE(wide.save(dir.filePath("FRM-E#001#W#10-20-3-0.png")));
    ASSERT_TRUE(narrow.save(dir.filePath("FRM-E#002#N#10-20-3-0.png")));
    const Vector v = QSTexturedFrameFilter::repeatsVectorForFrame(
        QSFrameImageDescription(dir.filePath("FRM-E#001#W#10-20-3-0.png")), {60, 60}, 1.0);
    EXPECT_DOUBLE_EQ(v[0], 1.0 / 3);
    EXPECT_DOUBLE_EQ(v[1], 1.0);
    EXPECT_DOUBLE_EQ(QSTexturedFrameFilter::repeatsVectorForFrame(
                         QSFrameImageDescription(dir.filePath("FRM-E#002#N#10-20-3-0.png")), {60, 60}, 1.0)[0], 1.0);
}

// A plain white frame 4 pixels wide on a 20 × 20 grey picture: with inset 0 it lies outside,
// forced inside it covers the picture's outer 4 pixels.
TEST(TexturedFrame, LineBorderOutsideOrForcedInside)
{
    rqs::registerKitFilters();
    const auto frame = FilterRegistry::create("QSTexturedFrameFilter");
    frame->setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 20, 20}, {0.5f, 0.5f, 0.5f, 1})));
    frame->setValueForKey("inputFrameName", "Plain Frame");
    frame->setValueForKey("inputWidth", 4.0);
    EXPECT_EQ(frame->outputImage().extent(), QRectF(-4, -4, 28, 28));
    EXPECT_TRUE(near(renderedPixel(frame->outputImage(), -1, 10), {1, 1, 1, 1}));
    EXPECT_TRUE(near(renderedPixel(frame->outputImage(), 1, 10), {0.5f, 0.5f, 0.5f, 1}));
    frame->setValueForKey("forceInside", true);
    EXPECT_TRUE(near(renderedPixel(frame->outputImage(), 3, 10), {1, 1, 1, 1}));
    EXPECT_TRUE(near(renderedPixel(frame->outputImage(), 4, 10), {0.5f, 0.5f, 0.5f, 1}));
}

// A border width below 0.0001 (none, a negative one) is held, and read back, as 0.0001: the
// width the border is drawn with, a frame of one pixel, the narrowest there is.
TEST(TexturedFrame, ABorderWidthIsAtLeastAHair)
{
    rqs::registerKitFilters();
    const auto frame = FilterRegistry::create("QSTexturedFrameFilter");
    EXPECT_EQ(frame->valueForKey("inputWidth").toDouble(), 0.0) << "unset, it reads as its default";
    const struct
    {
        double given, held;
    } cases[] = {{0.0, 0.0001}, {-3.0, 0.0001}, {0.00005, 0.0001}, {0.0001, 0.0001}, {0.05, 0.05}, {4.0, 4.0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.given);
        ASSERT_TRUE(frame->setValueForKey("inputWidth", c.given));
        EXPECT_EQ(frame->valueForKey("inputWidth").toDouble(), c.held);
        EXPECT_EQ(platform::KeyValue::valueForKey(frame.get(), "inputWidth").toDouble(), c.held);
        EXPECT_EQ(frame->copy()->valueForKey("inputWidth").toDouble(), c.held) << "a copy takes it as held";
    }

    frame->setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 20, 20}, {0.5f, 0.5f, 0.5f, 1})));
    frame->setValueForKey("inputFrameName", "Plain Frame");
    frame->setValueForKey("inputWidth", 0.0);
    EXPECT_EQ(frame->outputImage().extent(), QRectF(-1, -1, 22, 22));
    EXPECT_TRUE(near(renderedPixel(frame->outputImage(), -1, 10), {1, 1, 1, 1}));
    EXPECT_TRUE(near(renderedPixel(frame->outputImage(), 0, 10), {0.5f, 0.5f, 0.5f, 1}));
}

// The mask is made for the picture's whole pixels: a new picture of them (another colour, or with
// half a pixel more at an edge) keeps it, one pixel more does not.
TEST(TexturedFrame, ANewPictureOfTheSameWholePixelsKeepsTheMask)
{
    rqs::registerKitFilters();
    QSTexturedFrameFilter frame;
    frameAGreyPicture(frame, "FRM-0#005#Wood-Oak");
    const Image mask = frame.cachedMask();
    ASSERT_FALSE(mask.isNull());
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 20, 20}, {1, 0, 0, 1})));
    EXPECT_EQ(frame.cachedMask().node(), mask.node());
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 41, 40}, {1, 0, 0, 1})
                                                               .transformed(QTransform(0.5, 0, 0, 0.5, -0.5, 0))));
    ASSERT_EQ(frame.imageValue("inputImage").extent(), QRectF(0, 0, 20, 20));
    EXPECT_EQ(frame.cachedMask().node(), mask.node());
    EXPECT_TRUE(near(renderedPixel(frame.outputImage(), 10, 10), {1, 0, 0, 1}, 1e-3f)) << "the new picture is framed";
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 21, 20}, {1, 0, 0, 1})));
    EXPECT_NE(frame.cachedMask().node(), mask.node());
    EXPECT_EQ(frame.cachedMask().extent(), QRectF(-4, -4, 29, 28));
}

// A picture is kept cut to its whole pixels: x and y rounded up, the size shrunk by what that moved
// and rounded down. (0.5, 0.25) 100 × 100 becomes (1, 1) 99 × 99, and the frame lies around that.
TEST(TexturedFrame, APictureAtAFractionalPlaceIsCutToItsWholePixels)
{
    rqs::registerKitFilters();
    const struct
    {
        QRectF given, kept;
    } cases[] = {{{0.5, 0.25, 100, 100}, {1, 1, 99, 99}},
                 {{-0.5, -2.75, 20.5, 10}, {0, -2, 20, 9}},
                 {{3, 4, 10.5, 20}, {3, 4, 10, 20}},
                 {{2, 2, 10, 10}, {2, 2, 10, 10}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.given.x());
        QSTexturedFrameFilter frame;
        frame.setValueForKey("inputFrameName", "Plain Frame");
        frame.setValueForKey("inputWidth", 4.0);
        // A picture of 2 × 2 pixels a point, each whole pixel of it red.
        const QTransform place = QTransform::fromScale(0.5, 0.5) * QTransform::fromTranslate(c.given.x(), c.given.y());
        const Image picture = fxtest::filled({0, 0, int(2 * c.given.width()), int(2 * c.given.height())}, {1, 0, 0, 1}).transformed(place);
        ASSERT_EQ(picture.extent(), c.given);
        frame.setValueForKey("inputImage", QVariant::fromValue(picture));
        EXPECT_EQ(frame.imageValue("inputImage").extent(), c.kept);
        EXPECT_EQ(frame.outputImage().extent(), c.kept.adjusted(-4, -4, 4, 4));
        EXPECT_TRUE(near(renderedPixel(frame.outputImage(), int(c.kept.left()), int(c.kept.top())), {1, 0, 0, 1}, 1e-3f));
        EXPECT_TRUE(near(renderedPixel(frame.outputImage(), int(c.kept.left()) - 1, int(c.kept.top())), {1, 1, 1, 1}, 1e-3f));
    }
}

// The caches as a caller sets them: a frame or a shadow set is drawn as given; a mask set is drawn
// through and drops the frame and the shadow made before; forceUpdate makes everything anew.
TEST(TexturedFrame, CachesSetByACallerAreDrawnUntilForceUpdate)
{
    rqs::registerKitFilters();
    QSTexturedFrameFilter frame;
    frameAGreyPicture(frame, "Plain Frame");
    const Image made = frame.cachedMask();
    ASSERT_FALSE(made.isNull());

    frame.setCachedFrame(fxtest::filled({-4, -4, 28, 28}, {1, 0, 0, 1}));
    frame.setCachedShadow(fxtest::filled({0, 0, 20, 20}, {0, 0, 0, 0.5f}));
    EXPECT_TRUE(near(renderedPixel(frame.outputImage(), -1, 10), {1, 0, 0, 1}));
    EXPECT_TRUE(near(renderedPixel(frame.outputImage(), 10, 10), {0.25f, 0.25f, 0.25f, 1})) << "half shadowed";
    EXPECT_EQ(frame.cachedMask().node(), made.node());

    // A mask over all of it: the frame, made again in white, hides the picture, now unshadowed.
    const Image whole = fxtest::filled({-4, -4, 28, 28}, {1, 1, 1, 1});
    frame.setCachedMask(whole);
    EXPECT_EQ(frame.cachedMask().node(), whole.node());
    EXPECT_TRUE(near(renderedPixel(frame.outputImage(), 10, 10), {1, 1, 1, 1}));
    EXPECT_TRUE(near(renderedPixel(frame.outputImage(), -1, 10), {1, 1, 1, 1}));
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 20, 20}, {0, 0, 1, 1})));
    EXPECT_EQ(frame.cachedMask().node(), whole.node()) << "a mask set is kept for a picture of the same pixels";

    frame.forceUpdate();
    EXPECT_NE(frame.cachedMask().node(), whole.node());
    EXPECT_EQ(frame.cachedMask().extent(), QRectF(-4, -4, 28, 28));
    EXPECT_TRUE(near(renderedPixel(frame.outputImage(), 10, 10), {0, 0, 1, 1}));
    EXPECT_TRUE(near(renderedPixel(frame.outputImage(), -1, 10), {1, 1, 1, 1}));
}

// A 2-pixel border still draws a 1-pixel ring around an opaque square.
TEST(ShapedBorder, TwoPixelBorderDrawsARing)
{
    rqs::registerKitFilters();
    const auto border = FilterRegistry::create("QSShapedBorderFilter");
    border->setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 10, 10}, {0, 0, 0, 1})));
    border->setValueForKey("inputTextureName", "Plain Color");
    border->setValueForKey("inputColor", QVariant::fromValue(Color{1, 0, 0, 1}));
    border->setValueForKey("inputWidth", 2.0);
    EXPECT_TRUE(near(renderedPixel(border->outputImage(), -1, 5), {1, 0, 0, 1}));
    EXPECT_TRUE(near(renderedPixel(border->outputImage(), 5, 5), {0, 0, 0, 1}));
    EXPECT_EQ(border->outputImage().extent(), QRectF(-1, -1, 12, 12));
}

// The ramp's red runs with x, green with y; untinted to white its grey is their larger value, laid
// in 4 × 2 tiles from the origin.
TEST(Texturize, PatternTilesFromTheOrigin)
{
    const auto filter = maskTexturizer(fxtest::ramp(4, 2), 4);
    for (const auto &[x, y, grey] : {std::tuple{5, 0, 0.1f}, {6, 3, 0.2f}, {-1, 0, 0.3f}, {-4, -1, 0.1f}, {3, 1, 0.3f}})
        EXPECT_TRUE(near(renderedPixel(filter->outputImage(), x, y), {grey, grey, grey, 1})) << x << ", " << y;
}

// A texture of hue 0, saturation 0.5, value 0.5 read as white (0, 0, 1), tinted to hue 0.5,
// saturation 1, value 0.5 at alpha 0.5: hue + 0.5, saturation × 1 ÷ 0.01 (at most 1), value × 0.5.
TEST(Texturize, TintShiftsHueAndScalesSaturationAndValue)
{
    const auto filter = maskTexturizer(fxtest::filled({0, 0, 1, 1}, {0.5f, 0.25f, 0.25f, 1}), 1);
    filter->setValueForKey("inputColor", QVariant::fromValue(Color{0, 0.5f, 0.5f, 0.5f}));
    EXPECT_TRUE(near(renderedPixel(filter->cachedTexture(), 0, 0), {0, 0.125f, 0.125f, 0.5f}));
}

TEST(Texturize, WidthNotAboveZeroIsOne)
{
    const auto filter = maskTexturizer(fxtest::ramp(4, 2), 1);
    const Image one = filter->outputImage();
    for (const double width : {0.0, -5.0}) {
        filter->setValueForKey("inputTextureWidth", width);
        for (const auto &[x, y] : {std::pair{0, 0}, {3, -2}, {-5, 7}})
            EXPECT_TRUE(near(renderedPixel(filter->outputImage(), x, y), renderedPixel(one, x, y))) << width;
    }
}

// Only a plain file name in the kit's temporary folder is read; a path elsewhere reads as no texture.
TEST(Texturize, PicturePathsOutsideTheTemporaryFolderAreRefused)
{
    rqs::registerKitFilters();
    QTemporaryDir elsewhere;
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(qRgb(255, 0, 0));
    const QString kitFolder = platform::TempFolder::path();
    ASSERT_TRUE(picture.save(elsewhere.filePath("x.png")) && picture.save(kitFolder + "/texture-test-x.png"));
    const QString hostile[] = {elsewhere.filePath("x.png"), QDir(kitFolder).relativeFilePath(elsewhere.filePath("x.png")),
                               "../x.png", "/etc/passwd"};
    QSTexturizeFilter filter;
    for (const QString &name : hostile) {
        filter.setValueForKey("inputTextureName", name);
        EXPECT_EQ(filter.value("inputTextureName"), "Plain Color") << name.toStdString();
        EXPECT_EQ(filter.cachedTexture().extent(), QRectF(0, 0, 100, 100));
    }
    filter.setValueForKey("inputTextureName", "texture-test-x.png");
    EXPECT_EQ(filter.value("inputTextureName"), "texture-test-x.png");
    EXPECT_TRUE(near(renderedPixel(filter.cachedTexture(), 1, 1), {1, 0, 0, 1}));
    QFile::remove(kitFolder + "/texture-test-x.png");
}

// "inputTextureScale" is "inputTextureWidth" by another name: set by either through key-value
// access, read and observed by either, and kept by an effect's stored settings, which make an effect
// again that tiles the texture as wide.
TEST(Texturize, TheTextureScaleIsTheTextureWidthByAnotherName)
{
    rqs::registerKitFilters();
    QSTexturizeFilter filter;
    QList<QVariant> heard;
    const auto observation = platform::KeyValue::observe(&filter, "inputTextureScale", [&](const QVariant &v) { heard << v; });
    EXPECT_TRUE(platform::KeyValue::setValue(&filter, "inputTextureScale", 2.5));
    EXPECT_EQ(platform::KeyValue::valueForKey(&filter, "inputTextureWidth").toDouble(), 2.5);
    EXPECT_TRUE(platform::KeyValue::setValue(&filter, "inputTextureWidth", 6));
    EXPECT_EQ(platform::KeyValue::valueForKey(&filter, "inputTextureScale").toDouble(), 6.0);
    EXPECT_EQ(heard, QList<QVariant>({2.5, 6.0}));

    const QVariantMap description{{"name", "Texture"}, {"ciName", "QSTexturizeFilter"}};
    platform::LogCapture log;
    const auto effect = QSEffect::withDescription(description, {{"inputTextureName", "RQS-T#011#Wood-Dark"}, {"inputTextureScale", 40}});
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->filter()->numberValue("inputTextureWidth"), 40);
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(platform::PropertyList::write(effect->settings(), dir.filePath("Effect.plist"), &error)) << error.toStdString();
    const QVariantMap stored = platform::PropertyList::read(dir.filePath("Effect.plist"), &error).toMap();
    EXPECT_EQ(stored.value("inputTextureScale").toDouble(), 40);
    const auto restored = QSEffect::withDescription(description, stored);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->filter()->numberValue("inputTextureWidth"), 40);
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();

    QSTexturizeFilter direct;
    direct.setValueForKey("inputTextureName", "RQS-T#011#Wood-Dark");
    direct.setValueForKey("inputTextureWidth", 40);
    const Image picture = fxtest::filled({0, 0, 64, 64}, {1, 1, 1, 1});
    direct.setValueForKey("inputImage", QVariant::fromValue(picture));
    restored->setInputImage(picture);
    for (const auto &[x, y] : {std::pair{3, 5}, {20, 40}, {39, 1}, {41, 60}})
        EXPECT_TRUE(near(renderedPixel(restored->outputImage(), x, y), renderedPixel(direct.outputImage(), x, y))) << x << ", " << y;
}

// The plain accessors: the texture as chosen, a number held for callers (none at first), and a
// tinted texture set, drawn until the colour changes.
TEST(Texturize, TheTextureTheProportionAndASetTintedTextureAreHeldAsGiven)
{
    const auto filter = maskTexturizer(fxtest::ramp(4, 2), 4);
    EXPECT_EQ(filter->inputTexture().extent(), QRectF(0, 0, 4, 2));
    EXPECT_FALSE(filter->value("canvasProportion").isValid());
    EXPECT_TRUE(platform::KeyValue::setValue(filter.get(), "canvasProportion", 800));
    EXPECT_EQ(platform::KeyValue::valueForKey(filter.get(), "canvasProportion").toDouble(), 800);

    const Image red = fxtest::filled({0, 0, 4, 2}, {1, 0, 0, 1});
    filter->setCachedTexture(red);
    EXPECT_EQ(filter->cachedTexture().node(), red.node());
    EXPECT_TRUE(near(renderedPixel(filter->outputImage(), 5, 1), {1, 0, 0, 1}));
    filter->setValueForKey("inputColor", QVariant::fromValue(Color{1, 1, 1, 1}));
    EXPECT_NE(filter->cachedTexture().node(), red.node());
    EXPECT_TRUE(near(renderedPixel(filter->outputImage(), 5, 0), {0.1f, 0.1f, 0.1f, 1})) << "the ramp again";
}

// A 2-pixel border from a 6 × 6 mask of width 2 and corner 2 (scale 1) around a 10 × 10 picture:
// the corners are laid pixel for pixel, the middle 2 columns stretched over the middle 10.
TEST(TexturedFrame, NineSliceKeepsCornersAndStretchesTheMiddle)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    const QString bundle = frameBundle(dir, {{"InternalMasks/FRM-I#001#Ramp#2-2.png", [](int x) { return x * 50; }}});
    QSTexturedFrameFilter frame;
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 10, 10}, {0, 0, 1, 1})));
    frame.setValueForKey("inputWidth", 2.0);
    frame.setFrameDescription(std::make_shared<QSFrameDescription>(QVariantMap{{"InternalMask", "FRM-I#001#Ramp"}}, bundle, false));
    ASSERT_EQ(frame.cachedMask().extent(), QRectF(-2, -2, 14, 14));
    for (const auto &[x, column] : {std::pair{-2, 0}, {-1, 1}, {2, 2}, {7, 3}, {10, 4}, {11, 5}}) {
        const float grey = column * 50 / 255.0f;
        EXPECT_TRUE(near(renderedPixel(frame.cachedMask(), x, 5), {grey, grey, grey, 1}, 1e-4f)) << x;
    }
}

// Over a white frame, grey g shades: one multiplied gives g, two multiplied (joined into one image
// of 8 bits) g², a multiplied and a screened one 2g − g², one multiplied at half intensity (1 + g) ÷ 2.
// Where the mask is half transparent the frame and the picture share the pixel: nothing shows through.
TEST(TexturedFrame, AHalfTransparentMaskCoversThePictureWholly)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    const QString bundle = frameBundle(dir, {{"InternalMasks/FRM-I#001#Soft#2-2.png", [](int) { return 255; }}}, 128);
    QSTexturedFrameFilter frame;
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 10, 10}, {0, 0, 1, 1})));
    frame.setValueForKey("inputWidth", 2.0);
    frame.setFrameDescription(std::make_shared<QSFrameDescription>(
        QVariantMap{{"InternalMask", "FRM-I#001#Soft"}, {"Texture.Color", "1 1 1 1"}}, bundle, false));
    EXPECT_NEAR(renderedPixel(frame.outputImage(), 5, 5).a, 1.0f, 1e-3f);
}

TEST(TexturedFrame, ShadesStackInOrderAndJoinedShadesDrawAlike)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    const QString bundle = frameBundle(dir, {{"InternalMasks/FRM-I#001#Full#2-2.png", [](int) { return 255; }},
                                             {"Shades/FRM-S#001#Grey#2-2.png", [](int) { return 128; }}});
    const float g = 128 / 255.0f;
    const auto shade = [](const QString &mode, double intensity) {
        return QVariantMap{{"Shade", "FRM-S#001#Grey"}, {"BlendMode", mode}, {"Intensity", intensity}};
    };
    const struct
    {
        QVariantList shades;
        qsizetype layers;
        float grey;
    } cases[] = {{{shade("multiply", 1)}, 1, g},
                 {{shade("multiply", 1), shade("multiply", 1)}, 1, g * g},
                 {{shade("multiply", 1), shade("negativeMultiply", 1)}, 2, 2 * g - g * g},
                 {{shade("multiply", 0.5)}, 1, (1 + g) / 2}};
    for (const auto &c : cases) {
        auto description = std::make_shared<QSFrameDescription>(
            QVariantMap{{"InternalMask", "FRM-I#001#Full"}, {"Texture.Color", "1 1 1 1"}, {"Shades", c.shades}}, bundle, false);
        ASSERT_EQ(description->optimizedShades().size(), c.layers);
        QSTexturedFrameFilter frame;
        frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 10, 10}, {0, 0, 1, 1})));
        frame.setValueForKey("inputWidth", 2.0);
        frame.setFrameDescription(description);
        EXPECT_TRUE(near(renderedPixel(frame.outputImage(), -1, 5), {c.grey, c.grey, c.grey, 1}, 1 / 255.0f)) << c.grey;
    }
}

// A rename of another frame leaves the filter alone; its own frame, renamed, is still named by its ID.
TEST(TexturedFrame, FollowsOnlyARenameOfItsOwnFrame)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    QSFrameCatalog catalog(dir.path(), dir.filePath("UserFrames.plist"));
    for (const char *name : {"Mine", "Other"})
        catalog.addFrame(std::make_shared<QSFrameDescription>(QVariantMap{{"Name", name}}, dir.path(), true),
                         QStringLiteral("FRM-U#00%1#").arg(name[0] == 'M' ? 1 : 2));
    QSTexturedFrameFilter frame;
    const auto mine = catalog.frameWithName("Mine");
    frame.setFrameDescription(mine);
    platform::LogCapture log;
    ASSERT_TRUE(catalog.renameFrameID("Other", "Renamed other"));
    EXPECT_EQ(frame.value("inputFrameName"), "Plain Frame") << "still the default, not set";
    for (const char *name : {"Renamed mine", "Mine again"}) {
        ASSERT_TRUE(catalog.renameFrameID("FRM-U#001#", name));
        EXPECT_EQ(frame.value("inputFrameName"), "FRM-U#001#") << name;
        EXPECT_EQ(frame.frameDescription(), mine) << "a frame of a catalog of its own stays";
    }
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
}

namespace {

// The smallest alpha of the image's pixels in the rectangle and how many are below 0.99.
std::pair<float, int> alphaFloor(const Image &image, const QRect &rect)
{
    const auto pixels = platform::fx::Context().render(image, rect);
    float lowest = 2;
    int below = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            lowest = std::min(lowest, pixels->at(x, y).a);
            below += pixels->at(x, y).a < 0.99f;
        }
    return {lowest, below};
}

} // namespace

// An opaque 16-pixel texture enlarged four times stays opaque across its tile boundaries.
TEST(Texturize, EnlargedTilesHaveNoSeams)
{
    Buffer stripes(QRect(0, 0, 16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            stripes.row(y)[x] = x < 8 ? Pixel{1, 1, 1, 1} : Pixel{0.5f, 0.5f, 0.5f, 1};
    const auto filter = maskTexturizer(Image::fromBuffer(std::move(stripes)), 64);
    filter->setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 200, 150}, {1, 1, 1, 1})));
    const auto [lowest, below] = alphaFloor(filter->outputImage(), {0, 0, 200, 150});
    EXPECT_GT(lowest, 0.999f);
    EXPECT_EQ(below, 0);
}

// The inner shadow darkens the picture along the frame and leaves it opaque, and nothing shows
// through at the frame's inner edge.
TEST(TexturedFrame, TheInnerShadowDarkensAndKeepsThePictureOpaque)
{
    rqs::registerKitFilters();
    QSTexturedFrameFilter frame;
    frame.setDefaults();
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 120, 90}, {1, 1, 1, 1})));
    frame.setValueForKey("inputFrameName", "FRM-0#002#Metal-Silver");
    frame.setValueForKey("inputWidth", 0.1);
    frame.setValueForKey("canvasProportion", 100.0);
    frame.setValueForKey("inputShadowWidth", 0.03);
    const Image output = frame.outputImage();
    const auto [lowest, below] = alphaFloor(output, {0, 0, 120, 90});
    EXPECT_GT(lowest, 0.999f);
    EXPECT_EQ(below, 0);
    const Pixel edge = renderedPixel(output, 60, 1), middle = renderedPixel(output, 60, 45);
    EXPECT_LT(edge.r, middle.r - 0.1f);
    EXPECT_TRUE(near(middle, {1, 1, 1, 1}, 1e-3f));
}

// A frame picture stays loaded for the cache time after its last use, then is read again; a frame
// drawn records its largest corner.
TEST(FrameImageCache, AnImageIsDroppedAfterTheCacheTimeAndReadAgain)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    const QString bundle = frameBundle(dir, {{"InternalMasks/FRM-I#001#Ramp#2-2.png", [](int x) { return x * 50; }}});
    const QSFrameImageDescription mask(bundle + "/InternalMasks/FRM-I#001#Ramp#2-2.png");
    EXPECT_EQ(mask.cacheTime(), 300.0);
    EXPECT_EQ(mask.maxCorner(), 0.0);
    const Image first = mask.image();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(mask.image().node(), first.node()) << "kept while in use";
    const_cast<QSFrameImageDescription &>(mask).setCacheTime(0.05);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !mask.hasCachedImage(); }, 2000));
    const Image again = mask.image();
    EXPECT_NE(again.node(), first.node());
    EXPECT_TRUE(near(renderedPixel(again, 1, 0), renderedPixel(first, 1, 0)));

    QSTexturedFrameFilter frame;
    frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 10, 10}, {0, 0, 1, 1})));
    frame.setValueForKey("inputWidth", 4.0);
    auto description = std::make_shared<QSFrameDescription>(QVariantMap{{"InternalMask", "FRM-I#001#Ramp"}}, bundle, false);
    frame.setFrameDescription(description);
    frame.cachedMask();
    EXPECT_EQ(description->mask()->maxCorner(), 4.0) << "a corner of 2 drawn at twice its size";
}

namespace {

// The pixels within two of the picture's boundary, on either side, whose alpha is below 0.99, as "x,y=alpha".
QStringList translucentAlongTheBoundary(const Image &image, const QRect &picture)
{
    const QRect band = picture.adjusted(-2, -2, 2, 2), inside = picture.adjusted(2, 2, -2, -2);
    const auto pixels = platform::fx::Context().render(image, band);
    QStringList found;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            if (!inside.contains(x, y) && pixels->at(x, y).a < 0.99f)
                found << QStringLiteral("%1,%2=%3").arg(x).arg(y).arg(pixels->at(x, y).a);
    return found;
}

} // namespace

// The shipped frames' masks are drawn for a 16-pixel border; laid 60 pixels wide their inner edge
// is enlarged almost four times and still meets the picture: no pixel along the boundary lets the
// background through.
TEST(TexturedFrame, EveryShippedFrameMeetsThePictureWithoutASeam)
{
    rqs::registerKitFilters();
    const QRect picture(0, 0, 300, 200);
    int frames = 0;
    for (const QString &frameID : QSFrameCatalog::sharedFrameCatalog().frameIDs()) {
        if (frameID.endsWith(QLatin1String(" -")))
            continue;
        ++frames;
        QSTexturedFrameFilter frame;
        frame.setDefaults();
        frame.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled(picture, {0.2f, 0.4f, 0.8f, 1})));
        frame.setValueForKey("inputFrameName", frameID);
        frame.setValueForKey("inputWidth", 0.1);
        frame.setValueForKey("canvasProportion", 600.0);
        const Image output = frame.outputImage();
        const QStringList seam = translucentAlongTheBoundary(output, picture);
        EXPECT_TRUE(seam.isEmpty()) << frameID.toStdString() << ": " << seam.size() << " pixels, "
                                    << seam.mid(0, 4).join(' ').toStdString();
        if (frameID == QLatin1String("FRM-0#006#Wood-Walnut")) {
            // The lower left corner, four times enlarged (y up: the picture starts at the bottom).
            const QImage corner = platform::fx::Context().createImage(output, QRectF(-30, -30, 100, 75));
            EXPECT_TRUE(saveScreenshot(corner.scaled(corner.size() * 4), "framed-picture-boundary-400"));
        }
    }
    EXPECT_GE(frames, 6);
}

// Two multiplied shades of grey 128 joined: the combined shade starts as a PNG copy of the first
// shade's file in the private temporary folder, holds the joined image unrendered until it is
// fixed, and when its cache time ends writes 128 × 128 ÷ 255 = 64 back to that copy, keeping the
// image loaded.
TEST(CombinedShade, TheJoinedImageIsWrittenBackToItsTemporaryCopy)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    const QString bundle = frameBundle(dir, {{"Shades/FRM-S#001#Grey#2-2.png", [](int) { return 128; }}});
    const QString file = bundle + "/Shades/FRM-S#001#Grey#2-2.png";
    QString copy;
    {
        QSCombinedShadeDescription combined(file, "multiply", 1.0);
        copy = combined.imagePath();
        EXPECT_TRUE(copy.startsWith(platform::TempFolder::path() + "/")) << copy.toStdString();
        EXPECT_TRUE(copy.endsWith(".png"));
        QFile original(file), copied(copy);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly) && copied.open(QIODevice::ReadOnly));
        EXPECT_EQ(copied.readAll(), original.readAll());
        EXPECT_EQ(combined.name(), "FRM-S#001#Grey");
        EXPECT_EQ(combined.width(), 2.0) << "the options of the shade file";
        EXPECT_FALSE(combined.hasChanges());
        EXPECT_FALSE(combined.needsFixing());

        combined.add(QSShadeDescription(file, "multiply", 1.0));
        EXPECT_TRUE(combined.hasChanges());
        EXPECT_TRUE(combined.needsFixing());
        combined.fixImages();
        EXPECT_FALSE(combined.needsFixing());
        combined.setCacheTime(0.05);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !combined.hasChanges(); }, 2000));
        EXPECT_TRUE(combined.hasCachedImage());
        const QImage written(copy);
        ASSERT_EQ(written.size(), QSize(6, 6));
        EXPECT_NEAR(qGray(written.pixel(3, 3)), 64, 1);
        const QImage source(file);
        EXPECT_EQ(qGray(source.pixel(3, 3)), 128) << "the shade file itself is untouched";
    }
    EXPECT_FALSE(QFile::exists(copy)) << "the copy goes with its shade";
}

TEST(CombinedShade, AShadeFileThatCannotBeCopiedStaysTheImagePath)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    const QString missing = dir.filePath("Shades/FRM-S#009#Gone#2-2.png");
    platform::LogCapture log;
    const QSCombinedShadeDescription combined(missing, "multiply", 1.0);
    EXPECT_TRUE(log.contains("Warning: Could not copy file '" + missing + "' to '" + platform::TempFolder::path()));
    EXPECT_EQ(combined.imagePath(), missing);
    EXPECT_EQ(combined.width(), 2.0);
}
