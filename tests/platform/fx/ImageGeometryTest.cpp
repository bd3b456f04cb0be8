#include "FxTestImages.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"

using namespace fxtest;
using platform::fx::Extent::isInfinite;

namespace {

struct GeometryCase
{
    const char *name;
    Image image;
    QRectF extent; // empty: infinite
    QPoint at;
    Pixel expected;
};

class ImageGeometry : public ::testing::TestWithParam<GeometryCase>
{
};

TEST_P(ImageGeometry, RendersHandWorkedPixels)
{
    const GeometryCase &c = GetParam();
    if (c.extent.isEmpty())
        EXPECT_TRUE(isInfinite(c.image.extent()));
    else
        EXPECT_EQ(c.image.extent(), c.extent);
    EXPECT_TRUE(near(renderedPixel(c.image, c.at.x(), c.at.y()), c.expected));
}

const Image picture = ramp(4, 3);

INSTANTIATE_TEST_SUITE_P(
    Fx, ImageGeometry,
    ::testing::Values(
        GeometryCase{"CropKeepsInside", picture.cropped(QRectF(1, 1, 2, 2)), QRectF(1, 1, 2, 2), {2, 1}, rampPixel(2, 1)},
        GeometryCase{"CropDropsOutside", picture.cropped(QRectF(1, 1, 2, 2)), QRectF(1, 1, 2, 2), {0, 0}, Pixel{}},
        // A half-pixel crop keeps the pixels whose centres it holds.
        GeometryCase{"CropByCentres", picture.cropped(QRectF(0.6, 0, 1, 3)), QRectF(0.6, 0, 1, 3), {1, 0}, rampPixel(1, 0)},
        GeometryCase{"IntegerMove", picture.transformed(QTransform::fromTranslate(2, 1)), QRectF(2, 1, 4, 3), {5, 3},
                     rampPixel(3, 2)},
        // Half a pixel right: the mean of the pixel and its left neighbour.
        GeometryCase{"HalfPixelMove", picture.transformed(QTransform::fromTranslate(0.5, 0)), QRectF(0.5, 0, 4, 3),
                     {2, 1}, rampPixel(1.5, 1)},
        // At the left edge half of the mix is the transparent outside.
        GeometryCase{"HalfPixelMoveEdge", picture.transformed(QTransform::fromTranslate(0.5, 0)), QRectF(0.5, 0, 4, 3),
                     {0, 0}, Pixel{0, 0, 0, 0.5f}},
        // Twice as large: centre (3.5, 1.5) reads (1.75, 0.75), a quarter past pixels 1 and row 0.
        GeometryCase{"DoubleSize", picture.transformed(QTransform::fromScale(2, 2)), QRectF(0, 0, 8, 6), {3, 1},
                     rampPixel(1.25, 0.25)},
        GeometryCase{"HalfTurnInPlace", picture.transformed(QTransform(-1, 0, 0, -1, 4, 3)), QRectF(0, 0, 4, 3), {0, 0},
                     rampPixel(3, 2)},
        // A quarter size goes through two 2 × 2 reductions: the mean of the top-left 4 × 4 block
        // (rows 0..3, row 3 transparent) is red 0.1125, green 0.075, alpha 0.75.
        GeometryCase{"QuarterSizeAverages", picture.transformed(QTransform::fromScale(0.25, 0.25)), QRectF(0, 0, 1, 0.75),
                     {0, 0}, Pixel{0.1125f, 0.075f, 0, 0.75f}},
        GeometryCase{"ClampBelowLeft", picture.clampedToExtent(), QRectF(), {-7, -4}, rampPixel(0, 0)},
        GeometryCase{"ClampAboveRight", picture.clampedToExtent(), QRectF(), {100, 2}, rampPixel(3, 2)},
        GeometryCase{"TileLeft", picture.tiled(), QRectF(), {-1, 4}, rampPixel(3, 1)},
        GeometryCase{"TileFar", picture.tiled(), QRectF(), {4001, -3}, rampPixel(1, 0)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FxImage, InfiniteImagesAreRefusedWithoutAFiniteRectangle)
{
    platform::LogCapture log;
    const Image constant = Image::withColor({1, 0, 0, 1});
    EXPECT_FALSE(platform::fx::Context().render(constant).has_value());
    EXPECT_TRUE(platform::fx::Context().createImage(constant, constant.extent()).isNull());
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().first().startsWith("Error: "));
    // A finite rectangle of it renders.
    EXPECT_TRUE(near(renderedPixel(constant, -1000000, 5), Pixel{1, 0, 0, 1}));
}

TEST(FxImage, SingularTransformGivesNoImage)
{
    platform::LogCapture log;
    EXPECT_TRUE(picture.transformed(QTransform::fromScale(0, 1)).isNull());
    EXPECT_TRUE(log.lines().value(0).startsWith("Warning: "));
}

TEST(FxImage, PicturesAreReadWithTheirTopRowAtTheTop)
{
    QImage file(2, 2, QImage::Format_RGBA8888);
    file.fill(Qt::transparent);
    file.setPixelColor(0, 0, QColor(255, 0, 0));
    const Image image = Image::fromQImage(file);
    EXPECT_TRUE(near(renderedPixel(image, 0, 1), Pixel{1, 0, 0, 1}));
    const QImage back = platform::fx::Context().createImage(image, image.extent(), QImage::Format_RGBA8888);
    EXPECT_EQ(back.pixelColor(0, 0), QColor(255, 0, 0));
}

} // namespace
