#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "RQS-Kit/Foundation/QSCachedImage.h"

#include "platform/foundation/Log.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QColorSpace>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

QImage clearPicture() { return PictureFixture::marked(QSize(32, 32), Qt::blue, Qt::red).convertToFormat(QImage::Format_ARGB32); }

// A PDF file of one page of that size in points.
QString onePagePdf(const QTemporaryDir &folder, const QString &name, QSizeF size)
{
    PdfFixturePage page;
    page.mediaSize = size;
    return PdfFixture::write(folder.path(), name, PdfFixture::pages({page}));
}

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

    // Strategy 1 decodes nothing at first, yet a file that is no picture is still refused.
    QTemporaryDir folder;
    const QString text = PdfFixture::write(folder.path(), "notes.png", "not a picture");
    for (const int strategy : {1, 3}) {
        platform::LogCapture log;
        EXPECT_EQ(QSCachedImage::cachedImageFile(text, strategy), nullptr) << strategy;
        EXPECT_TRUE(log.contains("Warning: Could not load image")) << strategy;
    }
}

TEST(QSCachedImage, MetadataComesFromExifAndTheFilesOwnTags)
{
    QTemporaryDir folder;
    // Exif by hand, little-endian: Make in the first directory, which points to an Exif directory
    // holding ExposureTime 1/250 and ISOSpeedRatings 400.
    QByteArray tiff = QByteArray::fromHex("49492a0008000000" "0200"
                                          "0f01020008000000" "26000000" "6987040001000000" "2e000000" "00000000");
    tiff += QByteArray("Foldcam", 8);
    tiff += QByteArray::fromHex("0200" "9a82050001000000" "4c000000" "2788030001000000" "90010000" "00000000"
                                "01000000" "fa000000");
    QByteArray jpeg = PictureFixture::encoded(clearPicture(), "jpeg");
    const QByteArray app1 = QByteArray::fromHex("ffe1") + char(0) + char(tiff.size() + 8) + QByteArray("Exif\0\0", 6) + tiff;
    jpeg.insert(2, app1);
    QImage described = clearPicture();
    described.setText("Description", "Cover");
    QImage dense = clearPicture();
    dense.setDotsPerMeterX(11811); // 300 dpi
    dense.setDotsPerMeterY(11811);
    ASSERT_TRUE(described.save(folder.filePath("described.png")) && dense.save(folder.filePath("dense.tiff")));

    const struct { QString file; QString dictionary; QString key; QVariant expected; } cases[] = {
        {PdfFixture::write(folder.path(), "exif.jpg", jpeg), "{Exif}", "ExposureTime", 0.004},
        {folder.filePath("exif.jpg"), "{Exif}", "ISOSpeedRatings", 400},
        {folder.filePath("exif.jpg"), "{TIFF}", "Make", "Foldcam"},
        {folder.filePath("exif.jpg"), "{Exif}", "ExifVersion", QVariant()}, // not made up
        {folder.filePath("exif.jpg"), "", "PixelWidth", 32},
        {folder.filePath("described.png"), "{TIFF}", "ImageDescription", "Cover"},
        {folder.filePath("described.png"), "{Exif}", "ExposureTime", QVariant()},
        {folder.filePath("dense.tiff"), "{TIFF}", "XResolution", 11811 * 0.0254},
    };
    for (const auto &c : cases) {
        const std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedImageFile(c.file, 4);
        ASSERT_TRUE(image) << c.file.toStdString();
        const QVariant value = c.dictionary == "{Exif}" ? image->exifdataForKey(c.key)
            : c.dictionary == "{TIFF}"                  ? image->tiffdataForKey(c.key)
                                                        : image->metaDataForKey(c.key);
        EXPECT_EQ(value, c.expected) << c.key.toStdString() << " of " << c.file.toStdString();
    }
}

TEST(QSCachedImage, PicturesAreHandedOutInSRGB)
{
    QTemporaryDir folder;
    QImage adobe(8, 8, QImage::Format_RGB32);
    adobe.fill(QColor(128, 0, 0));
    adobe.setColorSpace(QColorSpace::AdobeRgb);
    ASSERT_TRUE(adobe.save(folder.filePath("adobe.png")));
    const std::shared_ptr<QSCachedImage> converted = QSCachedImage::cachedImageFile(folder.filePath("adobe.png"), 4);
    ASSERT_TRUE(converted);
    // Red 128 decodes (gamma 2.2) to 0.2196 linear, the Adobe-to-sRGB matrix makes 0.3071, encoded 150.
    const QImage rendered = rqs::newCGImage(converted->ciImage());
    EXPECT_TRUE(PixelProbe::isNear(rendered, {4, 4}, QColor(150, 0, 0), 2))
        << PixelProbe::describe(rendered, {4, 4}).toStdString();
    EXPECT_EQ(converted->nsImage().colorSpace(), QColorSpace(QColorSpace::SRgb));
    EXPECT_EQ(converted->metaDataForKey("ProfileName"), "Adobe RGB") << "the file keeps its profile";

    const std::shared_ptr<QSCachedImage> tagged = QSCachedImage::cachedNSImage(clearPicture(), 4);
    EXPECT_TRUE(PixelProbe::isNear(rqs::newCGImage(tagged->ciImage()), {2, 2}, Qt::red, 0));
}

TEST(QSCachedImage, VectorPicturesAreDrawnAtTheSizeAsked)
{
    QTemporaryDir folder;
    const std::shared_ptr<QSCachedImage> small = QSCachedImage::cachedImageFile(onePagePdf(folder, "small.pdf", {100, 50}), 4);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->nsImage().size(), QSize(100, 50));
    EXPECT_EQ(small->ciImageForSize({800, 400}).extent().size(), QSizeF(800, 400));
    EXPECT_EQ(small->ciImage().extent().size(), QSizeF(1536, 768));
    EXPECT_EQ(small->ciImageForSize({800, 400}).extent().size(), QSizeF(1536, 768));

    platform::LogCapture log;
    EXPECT_TRUE(small->ciImageForSize({1e6, 1e6}).isNull());
    EXPECT_TRUE(log.contains("would not fit in memory"));

    // A copy takes the temporary file's own type, whatever the name asked for.
    const std::shared_ptr<QSCachedImage> clear = QSCachedImage::cachedNSImage(clearPicture(), 4);
    ASSERT_TRUE(clear->writeToURL(QUrl::fromLocalFile(folder.filePath("copy.tiff"))));
    EXPECT_EQ(QImageReader(folder.filePath("copy.png")).format(), QByteArray("png"));
}

// The plain accessors: the picture in memory and the recipe made from it are set as they are,
// without reading the file; while properties are being got, the derived values stay as they stand.
TEST(QSCachedImage, PlainAccessorsSetWhatIsHeldAndAPropertyRunInProgressIsNotStartedAgain)
{
    const std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedNSImage(clearPicture(), 4);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->storedImage().pixelColor(2, 2), QColor(Qt::red));
    image->setStoredImage(QImage());
    EXPECT_FALSE(image->isCached());
    EXPECT_TRUE(image->storedImage().isNull()) << "the accessor does not reload";
    QImage green(8, 8, QImage::Format_RGB32);
    green.fill(Qt::green);
    image->setStoredImage(green);
    EXPECT_TRUE(image->isCached());
    EXPECT_EQ(image->nsImage().pixelColor(2, 2), QColor(Qt::green)) << "what was set, not the file";

    const platform::fx::Image recipe = platform::fx::Image::fromQImage(green);
    image->setCachedCIImage(recipe);
    EXPECT_EQ(rqs::newCGImage(image->cachedCIImage()).pixelColor(2, 2), QColor(Qt::green));

    QTemporaryDir folder;
    // Strategy 1 reads nothing at first, so no property has been got yet.
    const std::shared_ptr<QSCachedImage> vector = QSCachedImage::cachedImageFile(onePagePdf(folder, "vector.pdf", {100, 50}), 1);
    ASSERT_TRUE(vector);
    EXPECT_FALSE(vector->gettingProperties());
    vector->setGettingProperties(true);
    vector->getImageProperties();
    EXPECT_FALSE(vector->isVectorial()) << "not got while a run is under way";
    EXPECT_TRUE(vector->hasVectorialRepresentation()) << "the raw test looks at the picture itself";
    vector->setGettingProperties(false);
    vector->getImageProperties();
    EXPECT_TRUE(vector->isVectorial());
    EXPECT_FALSE(vector->gettingProperties());
    EXPECT_FALSE(image->hasVectorialRepresentation());
}

TEST(QSCachedImage, ATemporaryFileThatCannotBeDeletedIsReported)
{
    std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedNSImage(clearPicture(), 4);
    ASSERT_TRUE(image);
    const QUrl url = image->imageURL();
    const QString path = url.toLocalFile();
    // A folder with something in it where the file was: no file removal takes it.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path + "/inside"));
    platform::LogCapture log;
    image.reset();
    ASSERT_EQ(log.lines().size(), 1) << log.lines().join("\n").toStdString();
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Warning, problem deleting: %1 Error: ").arg(url.toString())))
        << log.lines().first().toStdString();
    EXPECT_TRUE(log.lines().first().endsWith(")"));
    QDir(path).removeRecursively();
}

// Strategy 4 keeps the picture in memory for good, built from a picture or from a file, while a
// strategy-0 picture accessed alongside is released twice over.
TEST(QSCachedImage, StrategyFourNeverReleases)
{
    FastRelease fast;
    QTemporaryDir folder;
    ASSERT_TRUE(clearPicture().save(folder.filePath("clear.png")));
    const std::shared_ptr<QSCachedImage> kept[] = {QSCachedImage::cachedNSImage(clearPicture(), 4),
                                                   QSCachedImage::cachedImageFile(folder.filePath("clear.png"), 4)};
    const std::shared_ptr<QSCachedImage> released = QSCachedImage::cachedNSImage(clearPicture(), 0);
    for (int round = 0; round < 2; ++round) {
        for (const auto &image : kept) {
            ASSERT_TRUE(image);
            EXPECT_TRUE(PixelProbe::isNear(image->nsImage(), {2, 2}, Qt::red, 0));
        }
        released->nsImage();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !released->isCached(); }, 1000));
        for (const auto &image : kept)
            EXPECT_TRUE(image->isCached()) << round;
    }
}

// Strategy 1: a picture built from a file is not decoded at construction; each access decodes it
// from the temporary file, and the next pass of the event loop releases it again.
TEST(QSCachedImage, StrategyOneDecodesOnAccessAndReleasesAtTheNextPass)
{
    QTemporaryDir folder;
    ASSERT_TRUE(clearPicture().save(folder.filePath("clear.png")));
    const std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedImageFile(folder.filePath("clear.png"), 1);
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->isCached()) << "decoded at construction";
    EXPECT_TRUE(QFileInfo::exists(image->imageURL().toLocalFile()));
    for (int access = 0; access < 2; ++access) {
        EXPECT_TRUE(PixelProbe::isNear(image->nsImage(), {2, 2}, Qt::red, 0)) << access;
        EXPECT_TRUE(image->isCached()) << access;
        QCoreApplication::processEvents();
        EXPECT_FALSE(image->isCached()) << access;
    }
}

// The temporary file of a picture without transparency is a JPEG, of one with it a PNG; a picture
// built from a file keeps the file's own type.
TEST(QSCachedImage, AnOpaquePictureIsKeptAsJpegAndATransparentOneAsPng)
{
    QTemporaryDir folder;
    const QImage opaque = clearPicture().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(opaque.save(folder.filePath("opaque.tiff")));
    const struct
    {
        const char *what;
        std::shared_ptr<QSCachedImage> image;
        QString suffix;
        QByteArray format;
        bool transparent;
    } cases[] = {{"opaque", QSCachedImage::cachedNSImage(opaque, 4), "jpg", "jpeg", false},
                 {"transparent", QSCachedImage::cachedNSImage(clearPicture(), 4), "png", "png", true},
                 {"from a TIFF file", QSCachedImage::cachedImageFile(folder.filePath("opaque.tiff"), 4), "tiff", "tiff", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.image);
        const QString file = c.image->imageURL().toLocalFile();
        EXPECT_EQ(QFileInfo(file).suffix(), c.suffix);
        EXPECT_EQ(QImageReader(file).format(), c.format);
        EXPECT_EQ(c.image->hasTransparency(), c.transparent);
    }
}

// A vector page of 3000 × 2000 points is larger than the 1536 a smaller page is drawn at: it is used
// at its own size, and a smaller size asked for is the kept picture.
TEST(QSCachedImage, ALargeVectorPageIsUsedAtItsOwnSize)
{
    QTemporaryDir folder;
    const std::shared_ptr<QSCachedImage> large = QSCachedImage::cachedImageFile(onePagePdf(folder, "large.pdf", {3000, 2000}), 4);
    ASSERT_TRUE(large);
    EXPECT_TRUE(large->isVectorial());
    EXPECT_EQ(large->nsImage().size(), QSize(3000, 2000));
    EXPECT_EQ(large->cgImage().size(), QSize(3000, 2000));
    const platform::fx::Image kept = large->ciImage();
    EXPECT_EQ(kept.extent().size(), QSizeF(3000, 2000));
    EXPECT_EQ(large->ciImageForSize({1500, 1000}).node(), kept.node());
    EXPECT_EQ(large->ciImageForSize({3000, 2000}).node(), kept.node());
}

// An access on another thread reloads a released picture there and starts the release delay on
// the main thread, whose timer then releases it again.
TEST(QSCachedImage, AnAccessOnAnotherThreadStartsTheReleaseTimer)
{
    FastRelease fast;
    const std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedNSImage(clearPicture(), 2);
    ASSERT_TRUE(image);
    image->nsImage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !image->isCached(); }, 1000));
    for (const bool recipe : {false, true}) {
        SCOPED_TRACE(recipe ? "ciImage" : "nsImage");
        QImage got;
        std::thread([&] { got = recipe ? rqs::newCGImage(image->ciImage()) : image->nsImage(); }).join();
        EXPECT_TRUE(PixelProbe::isNear(got, {2, 2}, Qt::red, 0));
        EXPECT_TRUE(image->isCached());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !image->isCached(); }, 1000)) << "no release after the access";
    }
}
