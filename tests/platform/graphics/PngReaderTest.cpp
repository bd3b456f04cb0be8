#include "platform/graphics/PngReader.h"

#include "support/PdfFixture.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A PNG written with libpng as given: rows of bytes in the colour type and depth's own layout,
// an optional gamma chunk, interlaced or not.
bool writePng(const QString &path, int width, int height, int colourType, int depth, bool interlaced, bool gamma,
              const std::function<void(int y, std::vector<png_byte> &row)> &fill)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (gamma)
        png_set_gAMA(png, info, 0.5);
    png_write_info(png, info);
    std::vector<std::vector<png_byte>> rows(std::size_t(height), std::vector<png_byte>(png_get_rowbytes(png, info)));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < height; ++y) {
        fill(y, rows[std::size_t(y)]);
        pointers.push_back(rows[std::size_t(y)].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

QImage noise(int width, int height, QImage::Format format, int seed)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    QRandomGenerator random{quint32(seed)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgba(random.bounded(256), random.bounded(256), (x * 7 + y) % 256, 255 - (x + y) % 200));
    }
    return picture.convertToFormat(format);
}

// The rows as PngReader reads them, in one picture of its layout.
QImage readByRows(const QString &path, QString *error)
{
    const std::unique_ptr<platform::PngReader> reader = platform::PngReader::open(path, error);
    if (!reader)
        return {};
    QImage picture(reader->size(), reader->hasAlpha() ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y) {
        if (!reader->readRow(picture.scanLine(y), error))
            return {};
    }
    return picture;
}

} // namespace

// Palette, grey, grey with alpha and transparency keys come out expanded to the very pixels
// Qt's reader gives.
TEST(PngReader, ReadsEveryEightBitKindRowByRowAsQtDoes)
{
    QTemporaryDir folder;
    QImage palette = noise(37, 23, QImage::Format_RGB32, 1).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QImage keyed = palette;
    keyed.setColor(3, qRgba(0, 0, 0, 0));
    const struct { const char *name; QImage picture; bool alpha; } saved[] = {
        {"rgb", noise(61, 45, QImage::Format_RGB32, 2), false},
        {"rgba", noise(61, 45, QImage::Format_ARGB32, 3), true},
        {"palette", palette, false},
        {"palette with a transparent entry", keyed, true},
        {"grey", noise(33, 20, QImage::Format_Grayscale8, 4), false},
        {"one bit", noise(33, 20, QImage::Format_Mono, 5), false},
    };
    for (const auto &c : saved) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(QString::fromLatin1(c.name) + ".png");
        ASSERT_TRUE(c.picture.save(path, "PNG"));
        QString error;
        const QImage rows = readByRows(path, &error);
        ASSERT_FALSE(rows.isNull()) << error.toStdString();
        EXPECT_EQ(rows.hasAlphaChannel(), c.alpha);
        EXPECT_EQ(rows, QImage(path).convertToFormat(rows.format()));
    }
    const QString greyAlpha = folder.filePath("grey-alpha.png");
    ASSERT_TRUE(writePng(greyAlpha, 19, 11, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false, [](int y, std::vector<png_byte> &row) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = png_byte(i * 13 + std::size_t(y) * 7);
    }));
    const QImage rows = readByRows(greyAlpha, nullptr);
    ASSERT_FALSE(rows.isNull());
    EXPECT_EQ(rows, QImage(greyAlpha).convertToFormat(QImage::Format_RGBA8888));
}

// What this reader leaves to Qt's is refused at open without an error: Qt's reader reads it.
TEST(PngReader, LeavesSixteenBitsInterlacingAndColourTagsToQt)
{
    QTemporaryDir folder;
    const auto bytes = [](int, std::vector<png_byte> &row) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = png_byte(i * 5);
    };
    const struct { const char *name; int depth; bool interlaced; bool gamma; } refused[] = {
        {"sixteen bits", 16, false, false}, {"interlaced", 8, true, false}, {"gamma", 8, false, true}};
    for (const auto &c : refused) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(QString::fromLatin1(c.name) + ".png");
        ASSERT_TRUE(writePng(path, 21, 9, PNG_COLOR_TYPE_RGB, c.depth, c.interlaced, c.gamma, bytes));
        QString error = "unchanged";
        EXPECT_EQ(platform::PngReader::open(path, &error), nullptr);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_FALSE(QImage(path).isNull());
    }
}

// Hostile files: what is no PNG, a damaged header, a size beyond reason, a picture cut short and
// one whose compressed rows are garbled are told as errors, at open or at the row they spoil.
TEST(PngReader, DamagedFilesAreToldAtOpenOrAtTheRowTheySpoil)
{
    QTemporaryDir folder;
    const QString good = folder.filePath("good.png");
    ASSERT_TRUE(noise(300, 200, QImage::Format_RGB32, 6).save(good, "PNG", 0));
    const QByteArray bytes = PdfFixture::read(good);
    const qsizetype data = bytes.indexOf("IDAT") + 4;
    QByteArray garbled = bytes;
    for (qsizetype i = data + 2000; i < data + 2400; ++i)
        garbled[i] = char(~garbled[i]);
    QByteArray huge = bytes;
    huge.replace(16, 8, QByteArray("\x40\x00\x00\x00\x40\x00\x00\x00", 8));
    QByteArray header = bytes;
    header[20] = char(header[20] ^ 0x55);
    const struct { const char *name; QByteArray bytes; bool opens; } cases[] = {
        {"no PNG", "GIF89a and then some", false},
        {"empty", {}, false},
        {"header damaged", header, false},
        {"a size beyond reason", huge, false},
        {"cut short", bytes.left(bytes.size() / 2), true},
        {"rows garbled", garbled, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = PdfFixture::write(folder.path(), QString::fromLatin1(c.name) + ".png", c.bytes);
        QString error;
        std::unique_ptr<platform::PngReader> reader = platform::PngReader::open(path, &error);
        EXPECT_EQ(reader != nullptr, c.opens) << error.toStdString();
        if (!reader) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        std::vector<unsigned char> row(std::size_t(reader->bytesPerRow()));
        int read = 0;
        while (reader->readRow(row.data(), &error))
            ++read;
        EXPECT_LT(read, 200);
        EXPECT_TRUE(error.startsWith(QStringLiteral("it is damaged at row %1").arg(read + 1))) << error.toStdString();
    }
}
