#include "platform/graphics/PngWriter.h"

#include "platform/foundation/Log.h"

#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

} // namespace
