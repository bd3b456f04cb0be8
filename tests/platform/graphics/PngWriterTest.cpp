#include "platform/graphics/PngWriter.h"

#include "platform/foundation/Log.h"

#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct PngCase
{
    const char *name;
    QImage::Format format;
    bool translucent;
    bool alphaWritten;
};

class PngRoundTrip : public ::testing::TestWithParam<PngCase>
{
};

// Noise over many bands (a band is 256 KB of rows) reads back byte for byte; an opaque RGBA
// picture is written without its alpha channel.
TEST_P(PngRoundTrip, ReadsBackTheSamePixels)
{
    const PngCase &c = GetParam();
    QImage picture(301, 997, c.format);
    QRandomGenerator random(35);
    for (int y = 0; y < picture.height(); ++y) {
        uchar *line = picture.scanLine(y);
        for (int x = 0; x < picture.bytesPerLine(); ++x)
            line[x] = uchar(y < 500 ? random.bounded(256) : (x + y) / 3);
        if (c.format == QImage::Format_RGBA8888 && !c.translucent)
            for (int x = 0; x < picture.width(); ++x)
                line[4 * x + 3] = 255;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("out.png");
    ASSERT_TRUE(platform::PngWriter::write(picture, path));
    const QImage read(path);
    ASSERT_EQ(read.size(), picture.size());
    EXPECT_EQ(read.hasAlphaChannel(), c.alphaWritten);
    EXPECT_EQ(read.convertToFormat(c.format), picture);
}

INSTANTIATE_TEST_SUITE_P(Graphics, PngRoundTrip,
                         ::testing::Values(PngCase{"Rgb", QImage::Format_RGB888, false, false},
                                           PngCase{"Translucent", QImage::Format_RGBA8888, true, true},
                                           PngCase{"OpaqueRgba", QImage::Format_RGBA8888, false, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PngWriter, RefusesOtherFormatsAndUnwritablePaths)
{
    platform::LogCapture log;
    QImage picture(4, 4, QImage::Format_RGB888);
    picture.fill(Qt::red);
    EXPECT_FALSE(platform::PngWriter::write(picture.convertToFormat(QImage::Format_Grayscale16), "/tmp/never.png"));
    EXPECT_FALSE(platform::PngWriter::write(picture, "/proc/no/such/folder/out.png"));
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines()[0].startsWith("Error: "));
    EXPECT_TRUE(log.lines()[1].startsWith("Error: "));
}

// A picture small enough to wait in the write buffer until the end, and one whose writes fail on
// their way, on a disk that is full or that takes part of them: the old picture stays.
TEST(PngWriter, OnAFullDiskFailsSayingSoAndKeepsTheOldPicture)
{
    QImage noise(200, 200, QImage::Format_RGB888);
    QRandomGenerator random(7);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.bytesPerLine(); ++x)
            noise.scanLine(y)[x] = uchar(random.bounded(256));
    }
    QImage small(2, 2, QImage::Format_RGB888);
    small.fill(Qt::red);
    const struct { const char *name; QImage picture; qsizetype room; } cases[] = {
        {"small", small, 0}, {"noise", noise, 0}, {"noise, 8 KiB free", noise, 8192}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const FullDisk disk(folder.path(), "out.png", "old picture", c.room);
        if (!disk.mounted)
            GTEST_SKIP() << "a full disk needs root and a tmpfs";
        platform::LogCapture log;
        EXPECT_FALSE(platform::PngWriter::write(c.picture, disk.oldFile));
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error: Could not write %1, because the disk is full").arg(disk.oldFile)});
        EXPECT_EQ(PdfFixture::read(disk.oldFile), "old picture");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "out.png"}));
    }
}

// A picture asked for band by band comes out as the same picture written whole: without alpha
// while every band is opaque, and asked for again from its top with alpha once a band is not.
TEST(PngWriter, APictureWrittenInBandsIsThePictureAndTakesAlphaFromTheFirstBandThatNeedsIt)
{
    QImage opaque(211, 500, QImage::Format_RGBA8888);
    QRandomGenerator random(11);
    for (int y = 0; y < opaque.height(); ++y) {
        for (int x = 0; x < opaque.width(); ++x)
            opaque.setPixelColor(x, y, QColor(random.bounded(256), (x + y) % 256, random.bounded(256)));
    }
    QImage late = opaque;
    late.setPixelColor(17, 480, QColor(10, 20, 30, 40));
    const struct { const char *name; QImage picture; int bandRows; bool alpha; int asked; } cases[] = {
        {"opaque, bands of 64 rows", opaque, 64, false, 8}, {"opaque, one row at a time", opaque, 1, false, 500},
        {"translucent in the last band", late, 64, true, 8 + 8}, {"opaque, one band", opaque, 500, false, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath("bands.png");
        int asked = 0;
        const auto rows = [&](int top, int count) {
            ++asked;
            return c.picture.copy(0, top, c.picture.width(), count);
        };
        ASSERT_TRUE(platform::PngWriter::write(c.picture.size(), c.bandRows, rows, path));
        EXPECT_EQ(asked, c.asked);
        const QImage read(path);
        EXPECT_EQ(read.hasAlphaChannel(), c.alpha);
        EXPECT_EQ(read.convertToFormat(QImage::Format_RGBA8888), c.picture);
    }
}

// Rows that cannot be had (or not as asked) fail the picture, and the old file stays.
TEST(PngWriter, APictureWhoseRowsFailIsNotWritten)
{
    QImage picture(40, 100, QImage::Format_RGB888);
    picture.fill(Qt::green);
    const struct { const char *name; std::function<QImage(int, int)> rows; } cases[] = {
        {"a band that fails", [&](int top, int count) { return top >= 50 ? QImage() : picture.copy(0, top, 40, count); }},
        {"a band too short", [&](int top, int count) { return picture.copy(0, top, 40, count - 1); }},
        {"a band of another format", [&](int top, int count) {
             const QImage rows = picture.copy(0, top, 40, count);
             return top == 0 ? rows : rows.convertToFormat(QImage::Format_RGBA8888);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath("old.png");
        ASSERT_TRUE(PdfFixture::write(path, "old picture").size());
        platform::LogCapture log;
        EXPECT_FALSE(platform::PngWriter::write(picture.size(), 25, c.rows, path));
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.lines()[0].startsWith("Error: Could not write " + path));
        EXPECT_EQ(PdfFixture::read(path), "old picture");
    }
}

} // namespace
