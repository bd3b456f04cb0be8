#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDocument.h"

#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include <memory>

using platform::PdfDocument;
using platform::PdfPage;

namespace {

// The image XObject that a picture page draws, read back from the page written on its own.
struct WrittenPicture { QPDF pdf; QPDFObjectHandle image; QByteArray bytes; QByteArray raw; };

std::unique_ptr<WrittenPicture> writtenPicture(const PdfPage &page)
{
    auto written = std::make_unique<WrittenPicture>();
    PdfDocument document;
    document.insertPage(page, 0);
    written->bytes = document.data().value_or(QByteArray());
    written->pdf.processMemoryFile("picture", written->bytes.constData(), std::size_t(written->bytes.size()));
    QPDFObjectHandle first = written->pdf.getAllPages().front();
    written->image = first.getKey("/Resources").getKey("/XObject").getKey("/Im0");
    const std::shared_ptr<Buffer> raw = written->image.getRawStreamData();
    written->raw = QByteArray(reinterpret_cast<const char *>(raw->getBuffer()), qsizetype(raw->getSize()));
    return written;
}

std::string nameOf(QPDFObjectHandle dict, const char *key) { return dict.getKey(key).getName(); }

const QColor fill(0, 0, 255);
const QColor marker(255, 0, 0);

} // namespace

TEST(PdfPage, JpegKeepsItsBytesAsDctStreamAndItsSizeFollowsTheResolutionItRecords)
{
    const QImage picture = PictureFixture::marked({300, 150}, fill, marker);
    struct Case { const char *name; QByteArray jpeg; QSizeF size; };
    const QList<Case> cases{
        {"72 dpi", PictureFixture::encoded(picture, "jpeg", 72), {300, 150}},
        {"150 dpi", PictureFixture::encoded(picture, "jpeg", 150), {144, 72}},
        {"300 dpi", PictureFixture::encoded(picture, "jpeg", 300), {72, 36}},
        {"none", PictureFixture::withoutResolution(PictureFixture::encoded(picture, "jpeg", 300)), {300, 150}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PdfPage> page = PdfPage::fromEncodedImage(c.jpeg);
        ASSERT_TRUE(page);
        EXPECT_NEAR(page->visibleSize().width(), c.size.width(), 0.01);
        EXPECT_NEAR(page->visibleSize().height(), c.size.height(), 0.01);
        const auto written = writtenPicture(*page);
        EXPECT_EQ(written->raw, c.jpeg);
        QPDFObjectHandle dict = written->image.getDict();
        EXPECT_EQ(nameOf(dict, "/Filter"), "/DCTDecode");
        EXPECT_EQ(nameOf(dict, "/ColorSpace"), "/DeviceRGB");
        EXPECT_EQ(dict.getKey("/Width").getIntValue(), 300);
        EXPECT_EQ(dict.getKey("/Height").getIntValue(), 150);
    }
}

TEST(PdfPage, JpegOrientationTurnsThePlacementNotTheBytes)
{
    // Two markers tell all eight orientations apart; Qt's own reading of the file is the reference.
    QImage picture = PictureFixture::marked({300, 150}, fill, marker);
    QPainter(&picture).fillRect(QRect(260, 0, 40, 40), QColor(0, 255, 0));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QByteArray jpeg = PictureFixture::withOrientation(PictureFixture::encoded(picture, "jpeg", 72), orientation);
        QBuffer buffer;
        buffer.setData(jpeg);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QImage expected = reader.read();
        ASSERT_FALSE(expected.isNull());
        const std::optional<PdfPage> page = PdfPage::fromEncodedImage(jpeg);
        ASSERT_TRUE(page);
        EXPECT_EQ(writtenPicture(*page)->raw, jpeg);
        EXPECT_EQ(page->visibleSize(), QSizeF(expected.size()));
        const QImage shown = page->render(1, 1);
        ASSERT_EQ(shown.size(), expected.size());
        const int w = shown.width() - 1;
        const int h = shown.height() - 1;
        for (QPoint at : {QPoint(5, 5), QPoint(w - 5, 5), QPoint(5, h - 5), QPoint(w - 5, h - 5)})
            EXPECT_TRUE(PixelProbe::isNear(shown, at, expected.pixelColor(at), 40))
                << at.x() << "," << at.y() << " is " << PixelProbe::describe(shown, at).toStdString() << " not "
                << PixelProbe::describe(expected, at).toStdString();
    }
}

TEST(PdfPage, OtherPicturesAreEmbeddedWithoutLossKeepingGreyAndTransparencyButWhatIsNoPictureMakesNoPage)
{
    QImage picture = PictureFixture::marked({40, 20}, QColor(10, 200, 30), marker);
    picture.setPixelColor(7, 13, QColor(1, 2, 3));
    const std::optional<PdfPage> page = PdfPage::fromEncodedImage(PictureFixture::encoded(picture, "png"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->visibleSize(), QSizeF(40, 20));
    const auto written = writtenPicture(*page);
    EXPECT_EQ(nameOf(written->image.getDict(), "/Filter"), "/FlateDecode");
    EXPECT_FALSE(written->image.getDict().hasKey("/SMask"));
    const std::shared_ptr<Buffer> decoded = written->image.getStreamData();
    ASSERT_EQ(decoded->getSize(), std::size_t(40 * 20 * 3));
    const unsigned char *pixels = decoded->getBuffer();
    for (QPoint at : {QPoint(0, 0), QPoint(7, 13), QPoint(39, 19)}) {
        const std::size_t offset = std::size_t(at.y() * 40 + at.x()) * 3;
        EXPECT_EQ(QColor(pixels[offset], pixels[offset + 1], pixels[offset + 2]), picture.pixelColor(at));
    }
    // At 144 dots per inch a picture covers half as many points; a page size given wins.
    picture.setDotsPerMeterX(qRound(144 / 0.0254));
    picture.setDotsPerMeterY(qRound(144 / 0.0254));
    const QSizeF atResolution = PdfPage::fromImage(picture)->visibleSize();
    EXPECT_NEAR(atResolution.width(), 20, 0.01);
    EXPECT_NEAR(atResolution.height(), 10, 0.01);
    EXPECT_EQ(PdfPage::fromImage(picture, {595.5, 842.25})->cropBox(), QRectF(0, 0, 595.5, 842.25));

    QImage grey(30, 10, QImage::Format_Grayscale8);
    grey.fill(QColor(90, 90, 90));
    EXPECT_EQ(nameOf(writtenPicture(*PdfPage::fromImage(grey))->image.getDict(), "/ColorSpace"), "/DeviceGray");
    QImage clear(30, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    for (int x = 0; x < 15; ++x)
        for (int y = 0; y < 10; ++y)
            clear.setPixelColor(x, y, QColor(0, 128, 0));
    const std::optional<PdfPage> half = PdfPage::fromImage(clear);
    ASSERT_TRUE(half);
    EXPECT_TRUE(writtenPicture(*half)->image.getDict().hasKey("/SMask"));
    const QImage shown = half->render(2, 2);
    EXPECT_TRUE(PixelProbe::isNear(shown, {5, 10}, QColor(0, 128, 0)));
    EXPECT_EQ(shown.pixelColor(55, 10).alpha(), 0);

    platform::LogCapture log;
    EXPECT_FALSE(PdfPage::fromEncodedImage("just some words"));
    EXPECT_FALSE(PdfPage::fromImage(QImage()));
    EXPECT_FALSE(PdfPage::fromImage(QImage(10, 10, QImage::Format_RGB32), QSizeF(0, 10)));
    ASSERT_EQ(log.lines().size(), 3);
    for (const QString &line : log.lines())
        EXPECT_TRUE(line.startsWith("Error: Could not make a page of a picture")) << line.toStdString();
}

TEST(PdfPage, RendersTheCropBoxAsShown)
{
    QList<PdfFixturePage> pages = PdfFixture::numbered(3);
    pages[1].rotate = 90;
    pages[2].mediaSize = {400, 400};
    pages[2].cropBox = {100, 50, 200, 100};
    const std::optional<PdfDocument> document = PdfDocument::fromData(PdfFixture::pages(pages), "fixture");
    ASSERT_TRUE(document);
    struct Case { int index; QSize size; QPoint markerAt; QPoint fillAt; };
    // Page 2 is 300 x 200 turned clockwise, which takes its lower-left marker to the top-left.
    const QList<Case> cases{{0, {200, 300}, {5, 295}, {195, 5}},
                            {1, {200, 300}, {5, 5}, {195, 295}},
                            {2, {200, 100}, {5, 95}, {195, 5}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        const QImage shown = document->page(c.index)->render(1, 1);
        EXPECT_EQ(shown.size(), c.size);
        EXPECT_TRUE(PixelProbe::isNear(shown, c.markerAt, marker)) << PixelProbe::describe(shown, c.markerAt).toStdString();
        EXPECT_TRUE(PixelProbe::isNear(shown, c.fillAt, pages[c.index].fill)) << PixelProbe::describe(shown, c.fillAt).toStdString();
    }
    const QImage part = document->page(0)->render(2, 2, QRect(0, 500, 40, 100));
    EXPECT_EQ(part.size(), QSize(40, 100));
    EXPECT_TRUE(PixelProbe::isNear(part, {20, 90}, marker));
}

TEST(PdfPage, PixelsComeFromTheFileAsItWasWhenOpened)
{
    QTemporaryDir folder;
    QList<PdfFixturePage> pages = PdfFixture::numbered(2);
    const QString path = PdfFixture::write(folder.path(), "book.pdf", PdfFixture::pages(pages));
    const std::optional<PdfDocument> document = PdfDocument::open(path);
    ASSERT_TRUE(document);

    // Saving the pages in the other order over the same file, as a document's save does.
    PdfDocument reordered;
    reordered.insertPage(*document->page(1), 0);
    reordered.insertPage(*document->page(0), 1);
    ASSERT_TRUE(reordered.write(path));

    const QImage first = document->page(0)->render(1, 1);
    EXPECT_TRUE(PixelProbe::isNear(first, {100, 100}, pages[0].fill)) << PixelProbe::describe(first, {100, 100}).toStdString();
    EXPECT_EQ(PdfDocument::open(path)->page(0)->visibleSize(), QSizeF(300, 200));
}
