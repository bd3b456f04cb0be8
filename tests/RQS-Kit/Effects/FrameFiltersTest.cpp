#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSFrameImageDescription.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/FxTestImages.h"

#include <QImage>
#include <QTemporaryDir>

using namespace platform::fx;
using fxtest::near;
using fxtest::renderedPixel;

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
