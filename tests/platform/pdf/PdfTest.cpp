#include "platform/foundation/Log.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfOperators.h"

#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <poppler-qt6.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

using platform::PdfDocument;
using platform::PdfOperators;
using platform::PdfPage;

namespace {

QByteArray rawStream(QPDFObjectHandle stream)
{
    const std::shared_ptr<Buffer> data = stream.getRawStreamData();
    return QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize()));
}

std::unique_ptr<QPDF> readBack(const QString &path)
{
    auto pdf = std::make_unique<QPDF>();
    pdf->processFile(QFile::encodeName(path).constData());
    return pdf;
}

QList<QByteArray> rawContents(const QString &path)
{
    QList<QByteArray> contents;
    const std::unique_ptr<QPDF> pdf = readBack(path);
    for (QPDFObjectHandle page : pdf->getAllPages())
        contents.append(rawStream(page.getKey("/Contents")));
    return contents;
}

QStringList pageTexts(const QString &path)
{
    QStringList texts;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    for (int i = 0; document && i < document->numPages(); ++i)
        texts.append(document->page(i)->text(QRectF()).trimmed());
    return texts;
}

class PdfDocumentTest : public ::testing::Test
{
protected:
    QString fixture(const QString &name, const QByteArray &bytes) { return PdfFixture::write(m_folder.path(), name, bytes); }
    QString path(const QString &name) const { return m_folder.filePath(name); }
    // The page texts of the document written to that file; a failed write fails the test.
    QStringList writtenTexts(const PdfDocument &document, const QString &name)
    {
        EXPECT_TRUE(document.write(path(name))) << name.toStdString();
        return pageTexts(path(name));
    }
    std::optional<PdfDocument> numbered(const QString &name, int count)
    {
        return PdfDocument::open(fixture(name, PdfFixture::pages(PdfFixture::numbered(count))));
    }

    QTemporaryDir m_folder;
};

PdfFixturePage with(QSizeF media, int rotate, QRectF crop = {}, bool inherited = false)
{
    return {.mediaSize = media, .rotate = rotate, .cropBox = crop, .inherited = inherited};
}

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
    written->raw = rawStream(written->image);
    return written;
}

std::string nameOf(QPDFObjectHandle dict, const char *key) { return dict.getKey(key).getName(); }

// A PDF whose one page sits under depth /Pages nodes, each the only kid of the one above; qpdf
// rebuilds its missing cross-reference table.
QByteArray nestedPages(int depth)
{
    QList<QByteArray> objects{"<< /Type /Catalog /Pages 2 0 R >>"};
    for (int number = 2; number < depth + 2; ++number) {
        const QByteArray parent = number == 2 ? QByteArray() : " /Parent " + QByteArray::number(number - 1) + " 0 R";
        objects.append("<< /Type /Pages /Kids [" + QByteArray::number(number + 1) + " 0 R] /Count 1" + parent + " >>");
    }
    objects.append("<< /Type /Page /Parent " + QByteArray::number(depth + 1) + " 0 R /MediaBox [0 0 200 100] >>");
    QByteArray pdf = "%PDF-1.4\n";
    for (qsizetype i = 0; i < objects.size(); ++i)
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    return pdf + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\n%%EOF\n";
}

const QColor fill(0, 0, 255);
const QColor marker(255, 0, 0);

} // namespace

TEST_F(PdfDocumentTest, ReadsBoxesAndRotationOfEachPage)
{
    struct Case { const char *name; PdfFixturePage page; QRectF cropBox; int rotation; QSizeF visibleSize; };
    const QList<Case> cases{
        {"portrait", with({200, 300}, 0), {0, 0, 200, 300}, 0, {200, 300}},
        {"quarter turn", with({200, 300}, 90), {0, 0, 200, 300}, 90, {300, 200}},
        {"three quarters", with({300, 200}, 270), {0, 0, 300, 200}, 270, {200, 300}},
        {"negative turn", with({200, 300}, -90), {0, 0, 200, 300}, 270, {300, 200}},
        {"more than a full turn", with({200, 300}, 450), {0, 0, 200, 300}, 90, {300, 200}},
        {"not a quarter turn", with({200, 300}, 45), {0, 0, 200, 300}, 0, {200, 300}},
        {"crop box inside", with({612, 792}, 0, {50, 60, 300, 400}), {50, 60, 300, 400}, 0, {300, 400}},
        {"crop box over the edge", with({200, 300}, 0, {100, 100, 300, 300}), {100, 100, 100, 200}, 0, {100, 200}},
        {"crop box outside", with({200, 300}, 0, {500, 500, 50, 50}), {0, 0, 200, 300}, 0, {200, 300}},
        {"inherited", with({250, 350}, 90, {}, true), {0, 0, 250, 350}, 90, {350, 250}},
    };
    QList<PdfFixturePage> pages;
    for (const Case &c : cases)
        pages.append(c.page);
    const std::optional<PdfDocument> document = PdfDocument::open(fixture("geometry.pdf", PdfFixture::pages(pages)));
    ASSERT_TRUE(document);
    ASSERT_EQ(document->pageCount(), cases.size());
    for (int i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const PdfPage page = *document->page(i);
        EXPECT_EQ(page.cropBox(), cases[i].cropBox);
        EXPECT_EQ(page.rotation(), cases[i].rotation);
        EXPECT_EQ(page.visibleSize(), cases[i].visibleSize);
    }
}

TEST_F(PdfDocumentTest, PagesUnderOneParentAllInheritItsAttributesAndKeepThemWhenWritten)
{
    QList<PdfFixturePage> pages = PdfFixture::numbered(4);
    for (int i = 1; i < 4; ++i)
        pages[i] = with({300, 400}, 90, {}, true);
    pages[2].number = 3;
    const std::optional<PdfDocument> document = PdfDocument::open(fixture("tree.pdf", PdfFixture::pages(pages)));
    ASSERT_TRUE(document);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(std::pair(document->page(i)->cropBox(), document->page(i)->rotation()), std::pair(QRectF(0, 0, 300, 400), 90)) << i;

    PdfDocument copy;
    copy.insertPage(*document->page(2), 0);
    EXPECT_EQ(writtenTexts(copy, "copy.pdf"), QStringList{"Page 3"});
    const std::unique_ptr<QPDF> written = readBack(path("copy.pdf"));
    ASSERT_EQ(written->getAllPages().size(), 1u);
    QPDFPageObjectHelper page(written->getAllPages().front());
    EXPECT_EQ(page.getAttribute("/Rotate", false).getIntValue(), 90);
    EXPECT_TRUE(page.getAttribute("/Resources", false).getKey("/Font").hasKey("/F1"));
    EXPECT_EQ(PdfDocument::open(path("copy.pdf"))->page(0)->cropBox(), QRectF(0, 0, 300, 400));
}

TEST_F(PdfDocumentTest, WritesPagesOfTwoFilesInTheirNewOrderWithContentUnchangedAndRefusesIndexesOutside)
{
    QList<PdfFixturePage> second = PdfFixture::numbered(2);
    second[0].number = 11;
    second[1].number = 12;
    const std::optional<PdfDocument> a = numbered("first.pdf", 3);
    const std::optional<PdfDocument> b = PdfDocument::open(fixture("second.pdf", PdfFixture::pages(second)));
    ASSERT_TRUE(a && b);

    PdfDocument combined;
    ASSERT_TRUE(combined.insertPage(*a->page(0), 0));
    ASSERT_TRUE(combined.insertPage(*b->page(1), 1));
    ASSERT_TRUE(combined.insertPage(*a->page(2), 2));
    ASSERT_TRUE(combined.insertPage(*b->page(0), 1));
    ASSERT_TRUE(combined.insertPage(*a->page(0), 4)); // the same page twice is written twice
    EXPECT_EQ(writtenTexts(combined, "combined.pdf"), (QStringList{"Page 1", "Page 11", "Page 12", "Page 3", "Page 1"}));
    const QList<QByteArray> sourceA = rawContents(path("first.pdf"));
    const QList<QByteArray> sourceB = rawContents(path("second.pdf"));
    EXPECT_EQ(rawContents(path("combined.pdf")), (QList<QByteArray>{sourceA[0], sourceB[0], sourceB[1], sourceA[2], sourceA[0]}));

    PdfDocument document = *a;
    platform::LogCapture log;
    EXPECT_FALSE(document.insertPage(*a->page(0), 4));
    EXPECT_FALSE(document.insertPage(*a->page(0), -1));
    EXPECT_FALSE(document.removePage(3));
    EXPECT_FALSE(document.page(3));
    EXPECT_EQ(log.lines().size(), 4);
    EXPECT_TRUE(document.removePage(0));
    EXPECT_TRUE(document.insertPage(*a->page(0), 2));
    EXPECT_EQ(document.pageCount(), 3);
    EXPECT_EQ(a->pageCount(), 3);
    EXPECT_EQ(writtenTexts(document, "moved.pdf"), (QStringList{"Page 2", "Page 3", "Page 1"}));
}

TEST_F(PdfDocumentTest, BadFilesFailWithOneErrorLine)
{
    const QByteArray good = PdfFixture::pages(PdfFixture::numbered(3));
    struct Case { const char *name; QString path; QString reason; bool needsPassword; };
    const QList<Case> cases{
        {"truncated", fixture("truncated.pdf", good.left(good.size() / 3)), "damaged", false},
        {"text", fixture("text.pdf", "These are just a few words, not a PDF.\n"), "not a PDF", false},
        {"empty", fixture("empty.pdf", {}), "empty", false},
        {"missing", path("missing.pdf"), "No such file", false},
        {"locked", fixture("locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(1), "user", "owner")), "password", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::LogCapture log;
        bool needsPassword = !c.needsPassword;
        EXPECT_FALSE(PdfDocument::open(c.path, &needsPassword));
        EXPECT_EQ(needsPassword, c.needsPassword);
        ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
        EXPECT_TRUE(log.lines().front().startsWith("Error: Could not open PDF \"" + c.path + "\""));
        EXPECT_TRUE(log.lines().front().contains(c.reason));
    }
}

TEST_F(PdfDocumentTest, RepairedFilesAreDamagedOnlyWhenAPageWasLostAndFilesNeedingOnlyAnOwnerPasswordCopyOut)
{
    const QByteArray good = PdfFixture::pages(PdfFixture::numbered(3));
    QByteArray badOffset = good;
    const qsizetype at = badOffset.lastIndexOf("startxref") + 10;
    badOffset.replace(at, badOffset.indexOf('\n', at) - at, "17");
    struct Case { const char *name; QByteArray bytes; QString line; QString damage; };
    const QList<Case> cases{
        {"wrong object count", PdfFixture::wrongObjectCount(good), "Info: \"" + path("wrong object count.pdf") + "\" was repaired", ""},
        {"cross-reference offset", badOffset, "Info: \"" + path("cross-reference offset.pdf") + "\" was repaired", ""},
        {"unreadable page", PdfFixture::unreadablePage(good, 1), "Warning: \"" + path("unreadable page.pdf") + "\" is damaged",
         "page 2 could not be read"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::LogCapture log;
        const std::optional<PdfDocument> document = PdfDocument::open(fixture(QString(c.name) + ".pdf", c.bytes));
        ASSERT_TRUE(document);
        EXPECT_EQ(document->pageCount(), 3);
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.lines().front().startsWith(c.line)) << log.lines().front().toStdString();
        EXPECT_EQ(document->damage().section(" (", 0, 0), c.damage);
    }

    const QString owner = fixture("owner.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "", "owner"));
    const std::optional<PdfDocument> document = PdfDocument::open(owner);
    ASSERT_TRUE(document);
    EXPECT_EQ(writtenTexts(*document, "free.pdf"), (QStringList{"Page 1", "Page 2"}));
    EXPECT_FALSE(readBack(path("free.pdf"))->isEncrypted());
}

TEST_F(PdfDocumentTest, DocumentsReadBackAsWrittenInMemoryOrWithoutPagesAndFailedWritesAreReported)
{
    const std::optional<PdfDocument> source = numbered("two.pdf", 2);
    ASSERT_TRUE(source);
    const std::optional<QByteArray> bytes = source->data();
    ASSERT_TRUE(bytes);
    const std::optional<PdfDocument> copy = PdfDocument::fromData(*bytes, "copy");
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->pageCount(), 2);
    EXPECT_EQ(copy->page(1)->cropBox(), QRectF(0, 0, 300, 200));
    fixture("kept.pdf", "old contents");
    EXPECT_EQ(writtenTexts(*copy, "kept.pdf"), (QStringList{"Page 1", "Page 2"}));
    ASSERT_TRUE(PdfDocument().write(path("none.pdf")));
    EXPECT_EQ(PdfDocument::open(path("none.pdf"))->pageCount(), 0);

    platform::LogCapture log;
    EXPECT_FALSE(copy->write(path("no/such/folder/out.pdf")));
    EXPECT_FALSE(PdfDocument::fromData("%PDF-1.4 nothing else", "scrap"));
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().value(0).startsWith("Error: Could not write PDF"));
    EXPECT_TRUE(log.lines().value(1).startsWith("Error: Could not read PDF scrap"));
}

TEST_F(PdfDocumentTest, PixelsComeFromTheFileAsItWasWhenOpened)
{
    const std::optional<PdfDocument> document = numbered("book.pdf", 2);
    ASSERT_TRUE(document);

    // Saving the pages in the other order over the same file, as a document's save does.
    PdfDocument reordered;
    reordered.insertPage(*document->page(1), 0);
    reordered.insertPage(*document->page(0), 1);
    ASSERT_TRUE(reordered.write(path("book.pdf")));

    const QImage first = document->page(0)->render(1, 1);
    EXPECT_EQ(PixelProbe::mismatches(first, {{{100, 100}, PdfFixture::colourOf(1)}}), QStringList());
    EXPECT_EQ(PdfDocument::open(path("book.pdf"))->page(0)->visibleSize(), QSizeF(300, 200));
}

// Threads that draw at once each get a poppler document of their own: the pixels are those of one
// thread drawing the pages in turn, for a file and for bytes in memory alike.
TEST_F(PdfDocumentTest, PagesDrawnOnSeveralThreadsAtOnceMatchThoseDrawnOneAfterAnother)
{
    const QByteArray bytes = PdfFixture::pages(PdfFixture::numbered(6));
    const std::optional<PdfDocument> fromFile = PdfDocument::open(fixture("threads.pdf", bytes));
    const std::optional<PdfDocument> fromBytes = PdfDocument::fromData(bytes, QStringLiteral("threads"));
    for (const std::optional<PdfDocument> &document : {fromFile, fromBytes}) {
        ASSERT_TRUE(document);
        QList<QImage> inTurn;
        for (int i = 0; i < document->pageCount(); ++i)
            inTurn.append(document->page(i)->render(1.5, 1.5));

        constexpr int threads = 8;
        QList<QList<QImage>> atOnce(threads);
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&, t] {
                // Each thread starts at another page, so that different pages are drawn at once.
                for (int k = 0; k < document->pageCount(); ++k)
                    atOnce[t].append(document->page((t + k) % document->pageCount())->render(1.5, 1.5));
            });
        }
        for (std::thread &worker : workers)
            worker.join();
        for (int t = 0; t < threads; ++t) {
            for (int k = 0; k < document->pageCount(); ++k) {
                const int index = (t + k) % document->pageCount();
                ASSERT_FALSE(atOnce[t][k].isNull());
                EXPECT_TRUE(atOnce[t][k] == inTurn[index]) << "thread " << t << ", page " << index + 1;
            }
        }
    }
}

TEST(PdfPage, JpegKeepsItsBytesAsDctStreamWhileResolutionAndOrientationSetItsSizeAndPlacement)
{
    // Two markers tell all eight orientations apart; Qt's own reading of the file is the reference.
    QImage picture = PictureFixture::marked({300, 150}, fill, marker);
    QPainter(&picture).fillRect(QRect(260, 0, 40, 40), QColor(0, 255, 0));
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
        QList<std::pair<QPoint, QColor>> corners;
        for (QPoint at : {QPoint(5, 5), QPoint(shown.width() - 6, 5), QPoint(5, shown.height() - 6),
                          QPoint(shown.width() - 6, shown.height() - 6)})
            corners.append({at, expected.pixelColor(at)});
        EXPECT_EQ(PixelProbe::mismatches(shown, corners, 40), QStringList());
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
    QPainter(&clear).fillRect(QRect(0, 0, 15, 10), QColor(0, 128, 0));
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
    EXPECT_FALSE(PdfPage::fromImage(QImage(10, 10, QImage::Format_RGB32), QSizeF(1e60, 10)));
    ASSERT_EQ(log.lines().size(), 4);
    for (const QString &line : log.lines())
        EXPECT_TRUE(line.startsWith("Error: Could not make a page of a picture")) << line.toStdString();
}

TEST(PdfPage, JpegsThatBreakOffOrWhoseFrameHeaderLiesAreRefusedWithAnErrorLine)
{
    const QByteArray jpeg = PictureFixture::encoded(PictureFixture::marked({300, 150}, fill, marker), "jpeg", 72);
    // The frame header's rows and columns, claiming 150 x 600 and 64 x 300 instead of 150 x 300.
    const qsizetype frame = jpeg.indexOf("\xFF\xC0") + 5;
    const auto claiming = [&](const char *size) { return jpeg.left(frame) + QByteArray(size, 4) + jpeg.mid(frame + 4); };
    for (const QByteArray &damaged : {jpeg.left(jpeg.size() * 2 / 3), claiming("\x00\x96\x02\x58"), claiming("\x00\x40\x01\x2C")}) {
        platform::LogCapture log;
        EXPECT_FALSE(PdfPage::fromEncodedImage(damaged));
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.lines().front().startsWith("Error: ")) << log.lines().front().toStdString();
    }
    // Bytes after the end-of-image marker are no part of the stream (phones append videos there).
    platform::LogCapture log;
    const std::optional<PdfPage> page = PdfPage::fromEncodedImage(jpeg + "trailer");
    ASSERT_TRUE(page);
    EXPECT_EQ(writtenPicture(*page)->raw, jpeg + "trailer");
    EXPECT_EQ(log.lines(), QStringList());
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
        EXPECT_EQ(PixelProbe::mismatches(shown, {{c.markerAt, marker}, {c.fillAt, pages[c.index].fill}}), QStringList());
    }
    const QImage part = document->page(0)->render(2, 2, QRect(0, 500, 40, 100));
    EXPECT_EQ(part.size(), QSize(40, 100));
    EXPECT_TRUE(PixelProbe::isNear(part, {20, 90}, marker));
}

TEST(PdfOperators, NumbersAreShortAndNeverExponentialAndPathsBecomeConstructionOperators)
{
    const QList<std::pair<double, std::string>> cases{
        {0, "0"}, {-0.0, "0"}, {1, "1"}, {-2.5, "-2.5"}, {1.0 / 3, "0.333333"}, {595.275591, "595.275591"},
        {1e-9, "0"}, {-3e-7, "0"}, {12345678, "12345678"}, {0.1 + 0.2, "0.3"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(PdfOperators::number(value), text) << value;

    QPainterPath path;
    path.moveTo(1, 2);
    path.lineTo(3, 4);
    path.cubicTo(5, 6, 7, 8, 9, 10);
    path.closeSubpath();
    EXPECT_EQ(PdfOperators::path(path), "1 2 m\n3 4 l\n5 6 7 8 9 10 c\n1 2 l\n");
    EXPECT_EQ(PdfOperators::path(QPainterPath()), "0 0 0 0 re\n");
}

TEST(PdfOperators, ExtremeNumbersStayInTheNumberAlphabetAndWithinWhatReadersTake)
{
    const double largest = PdfOperators::largest;
    // Each value and what a reader reads back; whole numbers beyond a reader's integers are reals.
    const QList<std::pair<double, double>> cases{
        {1e300, largest}, {-1e60, -largest}, {3e38, 3e38}, {2147483647, 2147483647}, {2147483648.0, 2147483648.0},
        {std::numeric_limits<double>::infinity(), 0}, {std::nan(""), 0}, {4.99e-7, 0}, {6e-7, 1e-6},
    };
    std::string content;
    QList<double> expected;
    for (const auto &[value, readBack] : cases) {
        const std::string text = PdfOperators::number(value);
        EXPECT_TRUE(QRegularExpression("^-?[0-9]+(\\.[0-9]{1,6})?$").match(QString::fromStdString(text)).hasMatch()) << text;
        EXPECT_EQ(text.find('.') != std::string::npos, std::abs(readBack) >= 2147483648.0 || readBack != std::trunc(readBack)) << text;
        content += text + " 0 m\n";
        expected += {readBack, 0};
    }
    content += PdfOperators::matrix(QTransform(1e300, 0, 0, -1e300, 1e60, -2e30)) + " cm\n";
    expected += {largest, 0, 0, -largest, largest, -2e30};
    QPainterPath far;
    far.moveTo(-1e50, 1e39);
    far.lineTo(1e-300, 3.3e38);
    content += PdfOperators::path(far);
    expected += {-largest, largest, 0, 3.3e38};
    const QByteArray pdf = PdfFixture::rewritten(PdfFixture::pages(PdfFixture::numbered(1)), [&](QPDF &written) {
        QPDFObjectHandle first = written.getAllPages().front();
        first.replaceKey("/Contents", written.newStream(content));
    });
    const QList<double> numbers = PdfFixture::contentNumbers(pdf, 0);
    ASSERT_EQ(numbers.size(), expected.size());
    for (qsizetype i = 0; i < numbers.size(); ++i)
        EXPECT_NEAR(numbers[i], expected[i], std::max(1e-9, std::abs(expected[i]) * 1e-12)) << i;
    EXPECT_TRUE(PdfOperators::isWritable(-largest));
    EXPECT_FALSE(PdfOperators::isWritable(1e39));
    EXPECT_FALSE(PdfOperators::isWritable(QTransform::fromTranslate(std::nan(""), 0)));
    EXPECT_FALSE(PdfOperators::isWritable(far));
}

TEST(HostileInputTest, APageTreeNestedTwentyThousandLevelsIsRefusedWhileAHundredLevelsOpen)
{
    platform::LogCapture log;
    EXPECT_FALSE(PdfDocument::fromData(nestedPages(20000), QStringLiteral("deep")));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith("Error: "));
    const std::optional<PdfDocument> nested = PdfDocument::fromData(nestedPages(100), QStringLiteral("nested"));
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->page(0)->visibleSize(), QSizeF(200, 100));
}

// A damaged page names its own page tree among its resources or as its content, or deeper inside
// them. qpdf copies no page-tree node into another document, which once left the booklet
// unwritable and crashed it. The inputs that crashed the fuzzer are kept as they were found.
TEST(HostileInputTest, APageNamingItsPageTreeIsPlacedWithoutIt)
{
    QList<QByteArray> pdfs;
    for (const QByteArray &page : {QByteArray("<</Resources<<2 0 R>>>>"), QByteArray("<</Contents 2 0 R>>")})
        pdfs.append("\n1 0 obj<</Pages 2 0 R>>\n2 0 obj<</Kids [ 3 0 R] \n3 0 obj\n" + page + " >>\ntrailer<</Root 1 0 R>>");
    for (const QFileInfo &kept : QDir(QStringLiteral(FOLDWISE_TEST_DATA "/crashes")).entryInfoList(QDir::Files))
        pdfs.append(PdfFixture::read(kept.filePath()));
    ASSERT_GE(pdfs.size(), 4);
    for (const QByteArray &pdf : pdfs) {
        const std::optional<PdfDocument> document = PdfDocument::fromData(pdf, QStringLiteral("damaged"));
        ASSERT_TRUE(document && document->page(0));
        platform::PdfGraphicsContext context;
        context.beginPage({200, 200});
        context.drawPdfPage(*document->page(0));
        QBuffer written;
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        EXPECT_TRUE(context.write(written));
        EXPECT_TRUE(PdfDocument::fromData(written.data(), QStringLiteral("booklet")));
    }
}

namespace {

using Tree = PdfFixtureTree;

QByteArray withPageTree(const Tree &tree) { return PdfFixture::withPageTree(PdfFixture::pages(PdfFixture::numbered(6)), tree); }
Tree pageOf(int index) { return Tree::pageAt(index); }
Tree nodeOf(QList<Tree> kids, int count = -1) { return Tree::node(std::move(kids), count); }

} // namespace

// Opened to show some pages at once, a file reads its page tree's nodes and each page when it is
// asked for; what it shows and writes is what the whole file read at once shows and writes, and
// a tree whose counts cannot be taken at their word is read whole.
TEST_F(PdfDocumentTest, PagesReadWhenAskedAreThePagesOfTheWholeFile)
{
    const QList<std::pair<const char *, Tree>> shapes{
        {"flat", nodeOf({pageOf(0), pageOf(1), pageOf(2), pageOf(3), pageOf(4), pageOf(5)})},
        {"nodes of pages", nodeOf({nodeOf({pageOf(0), pageOf(1), pageOf(2)}), nodeOf({pageOf(3), pageOf(4), pageOf(5)})})},
        {"three levels", nodeOf({nodeOf({nodeOf({pageOf(0), pageOf(1)}), nodeOf({pageOf(2), pageOf(3)})}), nodeOf({pageOf(4), pageOf(5)})})},
        {"pages beside nodes", nodeOf({pageOf(0), nodeOf({pageOf(1), pageOf(2)}), pageOf(3), pageOf(4), pageOf(5)})},
        {"a node counting too few", nodeOf({nodeOf({pageOf(0), pageOf(1), pageOf(2)}), nodeOf({pageOf(3), pageOf(4), pageOf(5)}, 2)}, 6)},
        {"counts adding up to too many", nodeOf({nodeOf({pageOf(0), pageOf(1)}), nodeOf({pageOf(2), pageOf(3), pageOf(4), pageOf(5)})}, 7)},
    };
    for (const auto &[name, shape] : shapes) {
        const QString file = fixture(QString::fromLatin1(name) + ".pdf", withPageTree(shape));
        const std::optional<PdfDocument> whole = PdfDocument::open(file);
        std::optional<PdfDocument> asked = PdfDocument::open(file, nullptr, PdfDocument::Reading::PagesWhenAsked);
        ASSERT_TRUE(whole && asked) << name;
        ASSERT_EQ(asked->pageCount(), 6) << name;
        for (int i = 5; i >= 0; --i) {
            EXPECT_EQ(asked->page(i)->visibleSize(), whole->page(i)->visibleSize()) << name << " page " << i + 1;
            EXPECT_EQ(asked->page(i)->rotation(), whole->page(i)->rotation()) << name << " page " << i + 1;
        }
        EXPECT_EQ(asked->page(5)->render(1, 1), whole->page(5)->render(1, 1)) << name;
        EXPECT_EQ(writtenTexts(*asked, "asked.pdf"), writtenTexts(*whole, "whole.pdf")) << name;
        EXPECT_EQ(writtenTexts(*asked, "asked.pdf"), (QStringList{"Page 1", "Page 2", "Page 3", "Page 4", "Page 5", "Page 6"})) << name;
        platform::LogCapture log;
        EXPECT_TRUE(asked->readAllPages()) << name;
        EXPECT_TRUE(log.lines().isEmpty()) << name << ": " << log.lines().join('\n').toStdString();
    }
}

// Counts that hide a node among the pages name it as a page until the whole tree is read; then the
// document says that its pages are not the file's, and writing them fails rather than writing
// other pages than those shown.
TEST_F(PdfDocumentTest, ACountThatHidesANodeIsFoundWhenTheWholeTreeIsRead)
{
    const QString file = fixture("hiding.pdf", withPageTree(nodeOf({pageOf(0), nodeOf({pageOf(1), pageOf(2)}), pageOf(3)}, 3)));
    std::optional<PdfDocument> asked = PdfDocument::open(file, nullptr, PdfDocument::Reading::PagesWhenAsked);
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->pageCount(), 3) << "as the counts say";
    EXPECT_EQ(PdfDocument::open(file)->pageCount(), 4);
    platform::LogCapture log;
    EXPECT_FALSE(asked->write(path("hiding-written.pdf")));
    EXPECT_FALSE(QFile::exists(path("hiding-written.pdf")));
    EXPECT_FALSE(asked->readAllPages());
    EXPECT_EQ(log.lines().filter(QRegularExpression("^Error: .*page tree holds 4 pages where its counts say 3")).size(), 2)
        << log.lines().join('\n').toStdString();

    // A tree nested deeper than opening allows, each node counting one page, opens as one page
    // and then fails the same way.
    const QString deep = fixture("deep.pdf", nestedPages(20000));
    std::optional<PdfDocument> nested = PdfDocument::open(deep, nullptr, PdfDocument::Reading::PagesWhenAsked);
    ASSERT_TRUE(nested);
    EXPECT_FALSE(nested->readAllPages());
    EXPECT_TRUE(log.lines().last().contains("nested more than 256 levels")) << log.lines().last().toStdString();
}

// Each thread drawing takes a poppler document of its own, one that has read the page tree as far
// as its page where there is one, or waits for one reading its way there: pages near and far in a
// long file, drawn on many threads at once, come out as they do drawn one by one.
TEST_F(PdfDocumentTest, PagesNearAndFarDrawnOnManyThreadsAtOnceAreThoseDrawnOneByOne)
{
    const QString file = fixture("long.pdf", PdfFixture::pages(PdfFixture::numbered(700)));
    const std::optional<PdfDocument> alone = PdfDocument::open(file);
    const std::optional<PdfDocument> shared = PdfDocument::open(file, nullptr, PdfDocument::Reading::PagesWhenAsked);
    ASSERT_TRUE(alone && shared);
    const QList<int> pages{699, 0, 698, 350, 1, 699, 600, 2, 0, 697};
    QList<QImage> expected;
    for (int index : pages)
        expected.append(PdfDocument::open(file)->page(index)->render(0.2, 0.2));
    std::vector<QList<QImage>> drawn(8);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < drawn.size(); ++t) {
        threads.emplace_back([&, t] {
            for (qsizetype i = 0; i < pages.size(); ++i) {
                const int index = pages[(i + qsizetype(t)) % pages.size()];
                if (t % 2 == 0)
                    shared->page(index)->prepareDrawing();
                drawn[t].append(shared->page(index)->render(0.2, 0.2));
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (std::size_t t = 0; t < drawn.size(); ++t) {
        ASSERT_EQ(drawn[t].size(), pages.size());
        for (qsizetype i = 0; i < pages.size(); ++i)
            EXPECT_EQ(drawn[t][i], expected[(i + qsizetype(t)) % pages.size()]) << "thread " << t << ", page " << pages[(i + qsizetype(t)) % pages.size()] + 1;
    }
}
