#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDocument.h"

#include "support/PdfFixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <poppler-qt6.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <memory>

using platform::PdfDocument;
using platform::PdfPage;

namespace {

QByteArray rawContent(QPDFObjectHandle page)
{
    const std::shared_ptr<Buffer> data = page.getKey("/Contents").getRawStreamData();
    return QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize()));
}

QList<QByteArray> rawContents(const QString &path)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(path).constData());
    QList<QByteArray> contents;
    for (QPDFObjectHandle page : pdf.getAllPages())
        contents.append(rawContent(page));
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

    QTemporaryDir m_folder;
};

struct GeometryCase { const char *name; PdfFixturePage page; QRectF cropBox; int rotation; QSizeF visibleSize; };

PdfFixturePage with(QSizeF media, int rotate, QRectF crop = {}, bool inherited = false)
{
    PdfFixturePage page;
    page.mediaSize = media;
    page.rotate = rotate;
    page.cropBox = crop;
    page.inherited = inherited;
    return page;
}

} // namespace

TEST_F(PdfDocumentTest, ReadsBoxesAndRotationOfEachPage)
{
    const QList<GeometryCase> cases{
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
    for (const GeometryCase &c : cases)
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
    const QString out = path("copy.pdf");
    ASSERT_TRUE(copy.write(out));
    QPDF written;
    written.processFile(QFile::encodeName(out).constData());
    ASSERT_EQ(written.getAllPages().size(), 1u);
    QPDFPageObjectHelper page(written.getAllPages().front());
    EXPECT_EQ(page.getAttribute("/Rotate", false).getIntValue(), 90);
    EXPECT_TRUE(page.getAttribute("/Resources", false).getKey("/Font").hasKey("/F1"));
    EXPECT_EQ(pageTexts(out), QStringList{"Page 3"});
    EXPECT_EQ(PdfDocument::open(out)->page(0)->cropBox(), QRectF(0, 0, 300, 400));
}

TEST_F(PdfDocumentTest, WritesPagesOfTwoFilesInTheirNewOrderWithContentUnchanged)
{
    QList<PdfFixturePage> second = PdfFixture::numbered(2);
    second[0].number = 11;
    second[1].number = 12;
    const QString first = fixture("first.pdf", PdfFixture::pages(PdfFixture::numbered(3)));
    const QString other = fixture("second.pdf", PdfFixture::pages(second));
    const std::optional<PdfDocument> a = PdfDocument::open(first);
    const std::optional<PdfDocument> b = PdfDocument::open(other);
    ASSERT_TRUE(a && b);

    PdfDocument combined;
    ASSERT_TRUE(combined.insertPage(*a->page(0), 0));
    ASSERT_TRUE(combined.insertPage(*b->page(1), 1));
    ASSERT_TRUE(combined.insertPage(*a->page(2), 2));
    ASSERT_TRUE(combined.insertPage(*b->page(0), 1));
    ASSERT_TRUE(combined.insertPage(*a->page(0), 4)); // the same page twice is written twice
    const QString out = path("combined.pdf");
    ASSERT_TRUE(combined.write(out));

    EXPECT_EQ(pageTexts(out), (QStringList{"Page 1", "Page 11", "Page 12", "Page 3", "Page 1"}));
    const QList<QByteArray> sourceA = rawContents(first);
    const QList<QByteArray> sourceB = rawContents(other);
    EXPECT_EQ(rawContents(out), (QList<QByteArray>{sourceA[0], sourceB[0], sourceB[1], sourceA[2], sourceA[0]}));
}

TEST_F(PdfDocumentTest, InsertAndRemoveRefuseIndexesOutsideTheDocument)
{
    const std::optional<PdfDocument> source = PdfDocument::open(fixture("three.pdf", PdfFixture::pages(PdfFixture::numbered(3))));
    ASSERT_TRUE(source);
    PdfDocument document = *source;
    platform::LogCapture log;
    EXPECT_FALSE(document.insertPage(*source->page(0), 4));
    EXPECT_FALSE(document.insertPage(*source->page(0), -1));
    EXPECT_FALSE(document.removePage(3));
    EXPECT_FALSE(document.page(3));
    EXPECT_EQ(log.lines().size(), 4);
    EXPECT_TRUE(document.removePage(0));
    EXPECT_TRUE(document.insertPage(*source->page(0), 2));
    EXPECT_EQ(document.pageCount(), 3);
    EXPECT_EQ(source->pageCount(), 3);
    const QString out = path("moved.pdf");
    ASSERT_TRUE(document.write(out));
    EXPECT_EQ(pageTexts(out), (QStringList{"Page 2", "Page 3", "Page 1"}));
}

TEST_F(PdfDocumentTest, BadFilesFailWithOneErrorLine)
{
    const QByteArray good = PdfFixture::pages(PdfFixture::numbered(3));
    struct Case { const char *name; QString path; QString reason; };
    const QList<Case> cases{
        {"truncated", fixture("truncated.pdf", good.left(good.size() / 3)), "damaged"},
        {"text", fixture("text.pdf", "These are just a few words, not a PDF.\n"), "not a PDF"},
        {"empty", fixture("empty.pdf", {}), "empty"},
        {"missing", path("missing.pdf"), "No such file"},
        {"locked", fixture("locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(1), "user", "owner")), "password"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::LogCapture log;
        EXPECT_FALSE(PdfDocument::open(c.path));
        ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
        EXPECT_TRUE(log.lines().front().startsWith("Error: Could not open PDF \"" + c.path + "\""));
        EXPECT_TRUE(log.lines().front().contains(c.reason));
    }
}

TEST_F(PdfDocumentTest, RepairableFilesOpenWithOneWarningAndFilesNeedingOnlyAnOwnerPasswordCopyOut)
{
    QByteArray bytes = PdfFixture::pages(PdfFixture::numbered(2));
    const qsizetype at = bytes.lastIndexOf("startxref") + 10;
    bytes.replace(at, bytes.indexOf('\n', at) - at, "17");
    {
        platform::LogCapture log;
        const std::optional<PdfDocument> document = PdfDocument::open(fixture("damaged.pdf", bytes));
        ASSERT_TRUE(document);
        EXPECT_EQ(document->pageCount(), 2);
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.lines().front().startsWith("Warning: \"" + path("damaged.pdf") + "\" is damaged"));
    }

    const QString owner = fixture("owner.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "", "owner"));
    const std::optional<PdfDocument> document = PdfDocument::open(owner);
    ASSERT_TRUE(document);
    ASSERT_TRUE(document->write(path("free.pdf")));
    QPDF written;
    written.processFile(QFile::encodeName(path("free.pdf")).constData());
    EXPECT_FALSE(written.isEncrypted());
    EXPECT_EQ(pageTexts(path("free.pdf")), (QStringList{"Page 1", "Page 2"}));
}

TEST_F(PdfDocumentTest, DocumentsReadBackAsWrittenInMemoryOrWithoutPagesAndFailedWritesAreReported)
{
    const std::optional<PdfDocument> source = PdfDocument::open(fixture("two.pdf", PdfFixture::pages(PdfFixture::numbered(2))));
    ASSERT_TRUE(source);
    const std::optional<QByteArray> bytes = source->data();
    ASSERT_TRUE(bytes);
    const std::optional<PdfDocument> copy = PdfDocument::fromData(*bytes, "copy");
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->pageCount(), 2);
    EXPECT_EQ(copy->page(1)->cropBox(), QRectF(0, 0, 300, 200));
    ASSERT_TRUE(copy->write(fixture("kept.pdf", "old contents")));
    EXPECT_EQ(pageTexts(path("kept.pdf")), (QStringList{"Page 1", "Page 2"}));
    ASSERT_TRUE(PdfDocument().write(path("none.pdf")));
    EXPECT_EQ(PdfDocument::open(path("none.pdf"))->pageCount(), 0);

    platform::LogCapture log;
    EXPECT_FALSE(copy->write(path("no/such/folder/out.pdf")));
    EXPECT_FALSE(PdfDocument::fromData("%PDF-1.4 nothing else", "scrap"));
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().value(0).startsWith("Error: Could not write PDF"));
    EXPECT_TRUE(log.lines().value(1).startsWith("Error: Could not read PDF scrap"));
}
