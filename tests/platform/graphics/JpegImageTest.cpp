#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/PdfGraphicsContext.h"

#include "support/PdfFixture.h"
#include "support/PixelProbe.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

using platform::JpegImage;

namespace {

// Four quarters of plain colours with a diagonal line across, so that the encoding has edges.
QImage quarters(const QSize &size)
{
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, size.width() - w, h, Qt::green);
    painter.fillRect(0, h, w, size.height() - h, Qt::blue);
    painter.fillRect(w, h, size.width() - w, size.height() - h, Qt::white);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawLine(0, 0, size.width(), size.height());
    return picture;
}

// The picture encoded a band of rows at a time, as the rasterised print encodes its pages.
JpegImage encoded(const QImage &picture, QString *error = nullptr)
{
    const QImage rows = picture.convertToFormat(QImage::Format_RGB888);
    platform::JpegEncoder encoder(rows.size());
    for (int top = 0; top < rows.height(); top += 16)
        encoder.addRows(rows.constScanLine(top), rows.bytesPerLine(), std::min(16, rows.height() - top));
    JpegImage image = encoder.finish();
    if (error)
        *error = encoder.error();
    return image;
}

QByteArray bytesOf(const std::shared_ptr<Buffer> &data)
{
    return QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize()));
}

} // namespace

// The encoding decodes to the very pixels that Qt's JPEG writer at the same quality gives (what
// Qt's PDF engine embedded), in whatever format the picture comes.
TEST(JpegImage, DecodesToThePixelsOfQtsWriterAtTheSameQuality)
{
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        const QImage picture = quarters({101, 67}).convertToFormat(format);
        const JpegImage image = encoded(picture);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(101, 67));
        EXPECT_TRUE(image.bytes().startsWith("\xff\xd8"));
        QByteArray qts;
        QBuffer buffer(&qts);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(JpegImage::defaultQuality);
        ASSERT_TRUE(writer.write(picture.convertToFormat(QImage::Format_RGB32)));
        EXPECT_EQ(image.decoded().convertToFormat(QImage::Format_RGB32),
                  QImage::fromData(qts, "JPEG").convertToFormat(QImage::Format_RGB32))
            << "format " << format;
    }
    QString error;
    EXPECT_TRUE(encoded(QImage(), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

// A PDF carries the JPEG's bytes as they are, in the rectangle, under the clip; a picture wholly
// outside the clip adds nothing, however far away it lies.
TEST(JpegImage, APdfCarriesTheBytesAsTheyAreWhereTheyAreDrawn)
{
    const JpegImage image = encoded(quarters({100, 60}));
    platform::PdfGraphicsContext context;
    context.beginPage({300, 200});
    context.drawJpegImage(image, QRectF(50, 40, 200, 120));
    context.beginPage({300, 200});
    context.clipToRect(QRectF(0, 0, 100, 100));
    context.drawJpegImage(image, QRectF(1e300, 0, 200, 120));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(context.write(buffer));
    const QByteArray pdf = buffer.data();

    QPDF read;
    read.processMemoryFile("drawn", pdf.constData(), std::size_t(pdf.size()));
    int pictures = 0;
    for (QPDFObjectHandle object : read.getAllObjects()) {
        if (!object.isStream() || !object.getDict().getKey("/Subtype").isNameAndEquals("/Image"))
            continue;
        ++pictures;
        EXPECT_TRUE(object.getDict().getKey("/Filter").isNameAndEquals("/DCTDecode"));
        EXPECT_EQ(object.getDict().getKey("/Width").getIntValue(), 100);
        EXPECT_EQ(object.getDict().getKey("/Height").getIntValue(), 60);
        EXPECT_EQ(bytesOf(object.getRawStreamData()), image.bytes());
    }
    EXPECT_EQ(pictures, 1);
    // Y-up: the picture's top row (red, green) lies at the top of its rectangle.
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), {{{130, 50}, Qt::red}, {{210, 60}, Qt::green},
                                                                   {{70, 140}, Qt::blue}, {{20, 20}, Qt::white}}),
              QStringList());
}

// Where the output takes no JPEG bytes, the decoded pixels are drawn.
TEST(JpegImage, ABitmapGetsTheDecodedPixels)
{
    const JpegImage image = encoded(quarters({100, 60}));
    const QImage drawn = platform::BitmapGraphicsContext::drawnImage(
        {100, 60}, 1, [&](platform::GraphicsContext &context) { context.drawJpegImage(image, QRectF(0, 0, 100, 60)); });
    EXPECT_EQ(PixelProbe::mismatches(drawn, {{{40, 5}, Qt::red}, {{80, 10}, Qt::green}, {{10, 50}, Qt::blue}}),
              QStringList());
}
