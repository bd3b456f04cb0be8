#include "RQS-Kit/Foundation/QSCachedImage.h"

#include "platform/foundation/Log.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage clearPicture() { return PictureFixture::marked(QSize(32, 32), Qt::blue, Qt::red).convertToFormat(QImage::Format_ARGB32); }

// Minutes of release delay become milliseconds.
struct FastRelease
{
    FastRelease() { QSCachedImage::setReleaseTimeScale(1e-5); }
    ~FastRelease() { QSCachedImage::setReleaseTimeScale(1.0); }
};

} // namespace

TEST(QSCachedImage, StrategiesReleaseAfterTheirDelayAndReloadFromTheFile)
{
    FastRelease fast;
    const std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedNSImage(clearPicture(), 2);
    ASSERT_TRUE(image);
    image->nsImage();
    EXPECT_TRUE(image->isCached());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !image->isCached(); }, 1000));
    EXPECT_TRUE(PixelProbe::isNear(image->nsImage(), {2, 2}, Qt::red, 0));
}

TEST(QSCachedImage, PicturesWithoutAFileStayInMemory)
{
    FastRelease fast;
    platform::LogCapture log;
    // JPEG cannot hold this width, so the temporary file cannot be written.
    QImage wide(70000, 1, QImage::Format_RGB32);
    wide.fill(Qt::green);
    const std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedNSImage(wide, 1);
    EXPECT_TRUE(image->imageURL().isEmpty());
    EXPECT_FALSE(log.lines().isEmpty());
    image->cacheTimed();
    QCoreApplication::processEvents();
    EXPECT_TRUE(image->isCached());
    EXPECT_EQ(image->nsImage().pixelColor(69999, 0), QColor(Qt::green));

    EXPECT_EQ(QSCachedImage::cachedNSImage(QImage(), 0), nullptr);
    EXPECT_EQ(QSCachedImage::cachedImageFile("/nonexistent/picture.png", 0), nullptr);
}

TEST(QSCachedImage, VectorPicturesAreDrawnAtTheSizeAsked)
{
    QTemporaryDir folder;
    const auto pdf = [&](const QString &name, QSizeF size) {
        PdfFixturePage page;
        page.mediaSize = size;
        return PdfFixture::write(folder.path(), name, PdfFixture::pages({page}));
    };
    const std::shared_ptr<QSCachedImage> small = QSCachedImage::cachedImageFile(pdf("small.pdf", {100, 50}), 4);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->nsImage().size(), QSize(100, 50));
    EXPECT_EQ(small->ciImageForSize({800, 400}).size(), QSize(800, 400));
    EXPECT_EQ(small->ciImage().size(), QSize(1536, 768));
    EXPECT_EQ(small->ciImageForSize({800, 400}).size(), QSize(1536, 768));

    platform::LogCapture log;
    EXPECT_TRUE(small->ciImageForSize({1e6, 1e6}).isNull());
    EXPECT_TRUE(log.contains("would not fit in memory"));

    // A copy takes the temporary file's own type, whatever the name asked for.
    const std::shared_ptr<QSCachedImage> clear = QSCachedImage::cachedNSImage(clearPicture(), 4);
    ASSERT_TRUE(clear->writeToURL(QUrl::fromLocalFile(folder.filePath("copy.tiff"))));
    EXPECT_EQ(QImageReader(folder.filePath("copy.png")).format(), QByteArray("png"));
}
