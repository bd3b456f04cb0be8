#include "NamedPicturesFixture.h"

#include "RQS-Kit/Effects/QSArtisticExtend.h"
#include "RQS-Kit/Effects/QSBlurCompositionFilter.h"
#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/QSInpaintingFilter.h"
#include "RQS-Kit/Effects/QSWatermarkFilter.h"
#include "platform/foundation/Log.h"

using namespace fxtest;

namespace {

QVariant v(const Image &image)
{
    return QVariant::fromValue(image);
}

// 16 × 16: red 0.2 left of x = 8, 0.8 right of it; a 6 × 6 hole at (5, 5) holds blue garbage.
Image twoTone()
{
    Buffer pixels(QRect(0, 0, 16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.row(y)[x] = (x >= 5 && x < 11 && y >= 5 && y < 11) ? Pixel{1, 0, 1, 1} : Pixel{x < 8 ? 0.2f : 0.8f, 0, 0, 1};
    return Image::fromBuffer(std::move(pixels));
}

struct InpaintCase
{
    double radius;
    bool preview;
};

} // namespace

TEST(QSInpaintingFilter, KeepsTheKnownPixelsAndFillsHolesFromTheirSurroundings)
{
    rqs::registerKitFilters();
    const QRect hole(5, 5, 6, 6);
    Buffer mask(QRect(0, 0, 16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            mask.row(y)[x] = hole.contains(x, y) ? Pixel{1, 1, 1, 1} : Pixel{0, 0, 0, 1};
    const auto input = platform::fx::Context().render(twoTone());
    for (const InpaintCase &c : {InpaintCase{20, false}, InpaintCase{20, true}, InpaintCase{1e9, false}}) {
        QSInpaintingFilter inpainting;
        inpainting.setPreviewQuality(c.preview);
        inpainting.setValueForKey("inputImage", v(twoTone()));
        inpainting.setValueForKey("inputMaskImage", v(Image::fromBuffer(mask)));
        inpainting.setValueForKey("inputRadius", c.radius);
        const auto out = platform::fx::Context().render(inpainting.outputImage());
        ASSERT_TRUE(out) << c.radius;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const Pixel p = out->at(x, y);
                if (!hole.contains(x, y)) {
                    EXPECT_EQ(p, input->at(x, y)) << x << ", " << y;
                    continue;
                }
                EXPECT_GE(p.r, 0.2f - 1e-4f) << x << ", " << y << " radius " << c.radius << " preview " << c.preview;
                EXPECT_LE(p.r, 0.8f + 1e-4f) << x << ", " << y;
                EXPECT_NEAR(p.b, 0, 1e-4) << "the hole's own pixels never count";
            }
    }
}

struct PlacementCase
{
    uint gravity;
    QRectF extent;
};

// A 1000 × 1000 background between sizes 500 and 1500 gives t = 0.5: a 200 × 50 watermark goes
// halfway from 100 × 25 at (10, 20) to 300 × 75 at (30, 40), so 200 × 50 at distances (20, 30).
TEST(QSWatermarkFilter, SizeAndPlaceFollowTheBackgroundAndGravity)
{
    QImage mark(200, 50, QImage::Format_ARGB32_Premultiplied);
    mark.fill(Qt::red);
    for (const PlacementCase &c : {PlacementCase{12, {20, 30, 200, 50}}, PlacementCase{0, {400, 475, 200, 50}},
                                   PlacementCase{18, {780, 920, 200, 50}}, PlacementCase{24 + 6, {20, 30, 200, 50}}}) {
        QSWatermarkFilter watermark;
        watermark.setWatermark(mark);
        watermark.setValueForKey("inputBackgroundImage", v(filled(QRect(0, 0, 1000, 1000), {0, 0, 1, 1})));
        watermark.setAdjustment({30, 40, 300, 0}, {1500, 1500}, {10, 20, 100, 0}, {500, 500});
        watermark.setGravity(0);
        (void)watermark.cachedImage();
        // Placement inputs count at once, not only after the watermark is set again.
        watermark.setGravity(c.gravity);
        EXPECT_EQ(watermark.cachedImage().extent(), c.extent) << c.gravity;
    }
}

TEST(QSWatermarkFilter, NoSizeGivesNoOutput)
{
    QSWatermarkFilter watermark;
    QImage mark(200, 50, QImage::Format_ARGB32_Premultiplied);
    watermark.setWatermark(mark);
    watermark.setValueForKey("inputBackgroundImage", v(filled(QRect(0, 0, 10, 10), {0, 0, 1, 1})));
    watermark.setAdjustment({0, 0, 0, 0}, {20, 20}, {0, 0, 0, 0}, {5, 5});
    platform::LogCapture log;
    EXPECT_TRUE(watermark.outputImage().isNull());
    EXPECT_TRUE(log.contains("Warning: The watermark's placement gives it no size"));
}

// Rectangles as wide as settings may give them, 1e308 kept to the engine's plane, with a
// watermark 1000 times taller than wide: a picture of 2^30 × 2^30 pixels (its height a
// thousand times more before it was kept to an int), refused before anything is allocated.
TEST(QSWatermarkFilter, APlacementTooLargeForAPictureGivesNoOutput)
{
    QSWatermarkFilter watermark;
    QImage mark(2, 2000, QImage::Format_ARGB32_Premultiplied);
    mark.fill(Qt::red);
    watermark.setWatermark(mark);
    watermark.setValueForKey("inputBackgroundImage", v(filled(QRect(0, 0, 10, 10), {0, 0, 1, 1})));
    platform::LogCapture log;
    ASSERT_TRUE(watermark.setValueForKey("minRect", QRectF(0, 0, 1e308, 0)));
    ASSERT_TRUE(watermark.setValueForKey("maxRect", QRectF(0, 0, 1e308, 0)));
    EXPECT_TRUE(watermark.outputImage().isNull());
    EXPECT_TRUE(log.contains("Warning: The watermark's placement makes it 1073741824 × 1073741824 pixels, more than a picture may hold"))
        << log.lines().join('\n').toStdString();
}

struct ExtendCase
{
    QSizeF background, picture;
    QSArtisticExtend::Layout expected;
};

TEST(QSArtisticExtend, SizesGrowWithTheBackground)
{
    const double s = std::sqrt(12e6) / 1000;
    for (const ExtendCase &c :
         {ExtendCase{{4000, 3000}, {2000, 1000}, {s, 14, {1000, 1000}, {986, 986, 2028, 1028}, 35, 20 * s, 173, 15 * s, 346}},
          ExtendCase{{600, 400}, {200, 100}, {0.5, 2, {200, 150}, {198, 148, 204, 104}, 5, 10, 25, 7.5, 50}}}) {
        const auto layout = QSArtisticExtend::Layout::of(c.background, c.picture);
        ASSERT_TRUE(layout);
        const QSArtisticExtend::Layout &e = c.expected;
        EXPECT_NEAR(layout->scale, e.scale, 1e-12);
        EXPECT_EQ(layout->margin, e.margin);
        EXPECT_EQ(layout->offset, e.offset);
        EXPECT_EQ(layout->mat, e.mat);
        EXPECT_EQ((std::array{layout->backgroundRadius, layout->pictureRadius, layout->motionRadius}),
                  (std::array{e.backgroundRadius, e.pictureRadius, e.motionRadius}));
        EXPECT_NEAR(layout->matRadius, e.matRadius, 1e-12);
        EXPECT_NEAR(layout->shadowRadius, e.shadowRadius, 1e-12);
    }
    EXPECT_FALSE(QSArtisticExtend::Layout::of({600, 400}, {0, 100}));
}

// Pictures that start elsewhere are kept moved to the origin in the inputs, and laid out from there.
TEST(QSArtisticExtend, PicturesAwayFromTheOriginStayMovedThereInItsInputs)
{
    rqs::registerKitFilters();
    QSArtisticExtend extend;
    const Image background = filled(QRect(10, 0, 60, 40), {0, 0, 1, 1});
    extend.setValueForKey("inputBackgroundImage", v(background));
    extend.setValueForKey("inputImage", v(filled(QRect(-3, 5, 20, 10), {1, 0, 0, 1})));
    EXPECT_EQ(extend.imageValue("inputBackgroundImage").extent(), QRectF(0, 0, 60, 40));
    EXPECT_EQ(extend.imageValue("inputImage").extent(), QRectF(0, 0, 20, 10));
    const Image output = extend.outputImage();
    EXPECT_EQ(output.extent(), QRectF(0, 0, 60, 40));
    // The picture in the middle: (60 - 20) / 2 = 20 across, (40 - 10) / 2 = 15 up.
    EXPECT_TRUE(near(renderedPixel(output, 30, 20), {1, 0, 0, 1}, 1e-4f));
    const QTransform slightly = QTransform::fromTranslate(0.4, 0.3);
    extend.setValueForKey("inputBackgroundImage", v(filled(QRect(0, 0, 60, 40), {0, 0, 1, 1}).transformed(slightly)));
    EXPECT_EQ(extend.imageValue("inputBackgroundImage").extent(), QRectF(0.4, 0.3, 60, 40)) << "less than a pixel away stays";
}

TEST(QSArtisticExtend, EmptyPictureGivesNoOutput)
{
    QSArtisticExtend extend;
    extend.setValueForKey("inputBackgroundImage", v(filled(QRect(0, 0, 60, 40), {0, 0, 1, 1})));
    extend.setValueForKey("inputImage", v(Image::withColor({1, 0, 0, 1}).cropped({0, 0, 0, 10})));
    platform::LogCapture log;
    EXPECT_TRUE(extend.outputImage().isNull());
    EXPECT_TRUE(log.contains("Warning: Artistic extend needs a picture and a background that are not empty"));
}

// Pictures without end (a colour, a tile, a clamp, noise, a picture scaled past the engine's plane)
// have no corner to move to the origin: moving them again and again overflowed the stack. They
// are kept as given, and give no output, with a warning.
TEST(QSArtisticExtend, PicturesOfInfiniteExtentGiveNoOutput)
{
    rqs::registerKitFilters();
    const Image finite = filled(QRect(0, 0, 60, 40), {0, 0, 1, 1});
    const struct
    {
        const char *name;
        Image image;
    } endless[] = {{"colour", Image::withColor({1, 0, 0, 1})},
                   {"tile", finite.tiled()},
                   {"clamp", filled(QRect(5, 5, 4, 4), {1, 0, 0, 1}).clampedToExtent()},
                   {"noise", Image::random()},
                   {"scaled", finite.transformed(QTransform::fromScale(1e200, 1e200))},
                   {"moved and scaled", finite.transformed(QTransform(1e300, 0, 0, 1e300, -1e305, 7e300))}};
    for (const auto &c : endless) {
        for (const char *key : {"inputImage", "inputBackgroundImage"}) {
            SCOPED_TRACE(std::string(c.name) + " as " + key);
            QSArtisticExtend extend;
            extend.setValueForKey("inputBackgroundImage", v(finite));
            extend.setValueForKey("inputImage", v(filled(QRect(0, 0, 20, 10), {1, 0, 0, 1})));
            extend.setValueForKey(key, v(c.image));
            EXPECT_EQ(extend.imageValue(key).extent(), c.image.extent());
            platform::LogCapture log;
            EXPECT_TRUE(extend.outputImage().isNull());
            EXPECT_TRUE(log.contains("Warning: Artistic extend needs a picture and a background of finite extent"))
                << log.lines().join('\n').toStdString();
        }
    }
}

// Over a background black on the left half and white on the right (40 × 20), a picture clear but
// for one red pixel: inside the frame shrunk by the margin the background stays as it is, outside
// it is the background blurred, and the picture lies over both.
TEST(QSBlurCompositionFilter, TheBackgroundStaysSharpOnlyInsideTheShrunkFrame)
{
    rqs::registerKitFilters();
    Buffer edge(QRect(0, 0, 40, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            edge.row(y)[x] = x < 20 ? Pixel{0, 0, 0, 1} : Pixel{1, 1, 1, 1};
    const Image background = Image::fromBuffer(std::move(edge));
    Buffer clear(QRect(0, 0, 40, 20));
    clear.row(10)[30] = {1, 0, 0, 1};
    const Image picture = Image::fromBuffer(std::move(clear));
    const Image blurred = rqs::applyFilter(QStringLiteral("CIGaussianBlur"),
                                           {{QStringLiteral("inputImage"), QVariant::fromValue(background)},
                                            {QStringLiteral("inputRadius"), 3.0}});
    QSBlurCompositionFilter composition;
    composition.setDefaults();
    composition.setValueForKey("inputImage", QVariant::fromValue(picture));
    composition.setValueForKey("inputBackgroundImage", QVariant::fromValue(background));
    composition.setValueForKey("inputRadius", 3.0);
    composition.setValueForKey("inputMargin", QVariant::fromValue(platform::fx::Vector{{2, 4, 2, 4}, 4}));
    const Image output = composition.outputImage();
    struct Case
    {
        int x, y;
        Pixel expected;
    };
    const Pixel blurredEdge = renderedPixel(blurred, 19, 1);
    ASSERT_GT(blurredEdge.r, 0.2f) << "the blur mixes the two halves at the edge";
    for (const Case &c : {Case{19, 10, {0, 0, 0, 1}}, Case{20, 10, {1, 1, 1, 1}}, Case{19, 1, blurredEdge},
                          Case{19, 18, renderedPixel(blurred, 19, 18)}, Case{1, 10, renderedPixel(blurred, 1, 10)},
                          Case{30, 10, {1, 0, 0, 1}}})
        EXPECT_TRUE(near(renderedPixel(output, c.x, c.y), c.expected, 1e-4f)) << c.x << ", " << c.y;

    composition.setValueForKey("inputMargin", QVariant::fromValue(platform::fx::Vector{{0, 0, 0, 0}, 4}));
    EXPECT_TRUE(near(renderedPixel(composition.outputImage(), 19, 1), {0, 0, 0, 1}, 1e-4f)) << "no margin: all sharp";
}
