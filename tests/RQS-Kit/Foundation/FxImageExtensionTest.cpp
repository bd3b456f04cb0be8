#include "RQS-Kit/Foundation/FxColorExtension.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "RQS-Kit/Foundation/QSBundleManager.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <atomic>

#include <QColorSpace>
#include <QTemporaryDir>
#include <QtConcurrent>

using platform::fx::Color;
using platform::fx::Image;

namespace {

void expectColor(const std::optional<Color> &color, Color expected)
{
    ASSERT_TRUE(color);
    EXPECT_NEAR(color->r, expected.r, 1e-3);
    EXPECT_NEAR(color->g, expected.g, 1e-3);
    EXPECT_NEAR(color->b, expected.b, 1e-3);
    EXPECT_NEAR(color->a, expected.a, 1e-3);
}

} // namespace

TEST(FxImageExtension, AverageColorIsUnpremultipliedAndSafeOnManyThreads)
{
    // Opaque red beside blue at alpha 128: premultiplied mean (0.5, 0, 0.251, 0.751).
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixelColor(0, 0, QColor(255, 0, 0, 255));
    picture.setPixelColor(1, 0, QColor(0, 0, 255, 128));
    expectColor(rqs::averageColor(Image::fromQImage(picture)), {0.6658f, 0, 0.3342f, 0.7510f});

    QImage clear(4, 4, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    expectColor(rqs::averageColor(Image::fromQImage(clear)), {0, 0, 0, 0});

    QList<int> greys;
    for (int grey = 0; grey < 64; ++grey)
        greys << grey * 4;
    const QList<float> means = QtConcurrent::blockingMapped(greys, [](int grey) {
        return rqs::averageColor(Image::withColor({grey / 255.0f, 0, 0, 1}).cropped({0, 0, 40, 30}))->r;
    });
    for (qsizetype i = 0; i < greys.size(); ++i)
        EXPECT_NEAR(means[i], greys[i] / 255.0f, 1e-5);
}

TEST(FxImageExtension, NewCGImageRendersTheExtentCutToWholePixels)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    picture.setPixelColor(0, 0, Qt::red);
    const QImage moved = rqs::newCGImage(Image::fromQImage(picture).transformed(QTransform::fromTranslate(5, 7)));
    ASSERT_EQ(moved.size(), QSize(2, 2));
    EXPECT_EQ(moved.pixelColor(0, 0), QColor(Qt::red)) << "the top row stays on top";
    EXPECT_EQ(moved.pixelColor(1, 1), QColor(Qt::blue));

    const QImage cut = rqs::newCGImage(Image::withColor({0.2f, 0.4f, 0.6f, 1}).cropped({0, 0, 3.7, 2.2}));
    ASSERT_EQ(cut.size(), QSize(3, 2));
    EXPECT_EQ(cut.pixelColor(2, 1), QColor(51, 102, 153));

    platform::LogCapture log;
    EXPECT_TRUE(rqs::newCGImage(Image::withColor({1, 0, 0, 1})).isNull());
    EXPECT_TRUE(rqs::newCGImage(Image::withColor({1, 0, 0, 1}).cropped({0, 0, 10000, 10000})).isNull());
    EXPECT_EQ(log.lines().filter("Warning: Cannot make a bitmap").size(), 2);

    const Image flat = Image::withColor({1, 0, 0, 1}).cropped({0, 0, 5, 0});
    EXPECT_EQ(rqs::fixedImage(flat).node(), flat.node());
}

// Each way of making a bitmap of an image, as its callers meet it: the pixels, their size and how
// the picture is tagged.
TEST(FxImageExtension, EveryBitmapOfAnImageHoldsItsPixelsAtItsSize)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    picture.setPixelColor(0, 0, Qt::red);
    const Image moved = Image::fromQImage(picture).transformed(QTransform::fromTranslate(5, 7));
    const struct
    {
        const char *name;
        QImage (*make)(const Image &);
        QImage::Format format;
        bool sRgb;
    } ways[] = {
        {"newCGImage", rqs::newCGImage, QImage::Format_ARGB32_Premultiplied, true},
        {"newCGImageUnrendered", rqs::newCGImageUnrendered, QImage::Format_RGBA8888_Premultiplied, false},
        {"newCGImageViaNSImage", rqs::newCGImageViaNSImage, QImage::Format_ARGB32_Premultiplied, true},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        const QImage bitmap = way.make(moved);
        ASSERT_EQ(bitmap.size(), QSize(2, 2));
        EXPECT_EQ(bitmap.format(), way.format);
        EXPECT_EQ(bitmap.colorSpace() == QColorSpace(QColorSpace::SRgb), way.sRgb);
        EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(Qt::red)) << "the top row stays on top";
        EXPECT_EQ(bitmap.pixelColor(1, 1), QColor(Qt::blue));

        platform::LogCapture log;
        EXPECT_TRUE(way.make(Image()).isNull());
        EXPECT_TRUE(way.make(Image::withColor({1, 0, 0, 1})).isNull());
        EXPECT_TRUE(way.make(Image::withColor({1, 0, 0, 1}).cropped({0, 0, 10000, 10000})).isNull());
        EXPECT_EQ(log.lines().filter("Warning: Cannot make a bitmap").size(), 3) << log.lines().join('\n').toStdString();
    }
}

// At a fractional origin the unrendered bitmap takes every pixel the extent touches, half-covered
// edges included; the one made as a picture moves the image back to the origin first, so that it
// is the extent's size and its pixels are the image's, resampled.
TEST(FxImageExtension, AFractionalOriginIsRoundedOutwardsOrMovedToTheOrigin)
{
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixelColor(0, 0, Qt::red);
    picture.setPixelColor(1, 0, Qt::blue);
    const Image halfway = Image::fromQImage(picture).transformed(QTransform::fromTranslate(10.5, 3));

    const QImage touched = rqs::newCGImageUnrendered(halfway);
    ASSERT_EQ(touched.size(), QSize(3, 1));
    EXPECT_EQ(touched.pixelColor(0, 0).alpha(), 128) << "half of the red pixel lies in the first";
    EXPECT_EQ(touched.pixelColor(2, 0).alpha(), 128);

    const QImage asPicture = rqs::newCGImageViaNSImage(halfway);
    ASSERT_EQ(asPicture.size(), QSize(2, 1));
    EXPECT_GT(asPicture.pixelColor(0, 0).red(), 2 * asPicture.pixelColor(0, 0).blue());
    EXPECT_GT(asPicture.pixelColor(1, 0).blue(), 2 * asPicture.pixelColor(1, 0).red());

    const QImage cut = rqs::newCGImageViaNSImage(Image::withColor({0.2f, 0.4f, 0.6f, 1}).cropped({0, 0, 3.7, 2.2}));
    EXPECT_EQ(cut.size(), QSize(4, 3)) << "the extent's size rounded up";
}

// The context for unrendered images is shared by every thread and made anew by createContext;
// renders on other threads meanwhile finish with the one they started with.
TEST(FxImageExtension, UnrenderedBitmapsStayRightWhileTheirContextIsMadeAnew)
{
    const Image swatch = Image::withColor({0, 1, 0, 1}).cropped({0, 0, 64, 48});
    std::atomic<bool> rendering = true;
    QFuture<int> wrong = QtConcurrent::run([&] {
        int count = 0;
        for (int i = 0; i < 200; ++i) {
            const QImage bitmap = rqs::newCGImageUnrendered(swatch);
            if (bitmap.size() != QSize(64, 48) || bitmap.pixelColor(63, 47) != QColor(Qt::green))
                ++count;
        }
        rendering = false;
        return count;
    });
    do
        rqs::createContext();
    while (rendering);
    EXPECT_EQ(wrong.result(), 0);
    rqs::createContext();
    EXPECT_EQ(rqs::newCGImageUnrendered(swatch).pixelColor(0, 0), QColor(Qt::green));
}

TEST(FxImageExtension, SavedImageReadsBack)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("swatch.png");
    ASSERT_TRUE(QSBundleManager::saveCIImage(Image::withColor({0, 1, 0, 0.5f}).cropped({0, 0, 6, 4}), QUrl::fromLocalFile(path)));
    const QImage read(path);
    ASSERT_EQ(read.size(), QSize(6, 4));
    EXPECT_EQ(read.pixelColor(3, 2), QColor(0, 255, 0, 128));
}

TEST(FxColorExtension, HueModelsOfTheEdgeColours)
{
    const auto expectHsv = [](QSColor::Hsv got, QSColor::Hsv expected) {
        EXPECT_NEAR(got.hue, expected.hue, 1e-6);
        EXPECT_NEAR(got.saturation, expected.saturation, 1e-6);
        EXPECT_NEAR(got.value, expected.value, 1e-6);
    };
    expectHsv(rqs::hsv({0, 0, 0, 1}), {0, 0, 0});
    expectHsv(rqs::hsv({0.5f, 0.5f, 0.5f, 1}), {0, 0, 0.5});
    expectHsv(rqs::hsv({1, 0, 0, 1}), {0, 1, 1});
    expectHsv(rqs::hsv({0, 0, 1, 1}), {2.0 / 3.0, 1, 1});
    expectHsv(rqs::hsl({1, 1, 1, 1}), {0, 0, 1});
    expectHsv(rqs::hsl({0.5f, 0.5f, 0.5f, 1}), {0, 0, 0.5});
    expectColor(rqs::colorForHSL({0, 1, 0.5}), {1, 0, 0, 1});
    expectColor(rqs::colorForHSV({2.0 / 3.0, 1, 1}), {0, 0, 1, 1});
}
