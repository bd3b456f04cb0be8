#include "platform/foundation/Log.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"

#include "support/PdfFixture.h"

#include <QBuffer>
#include <QDir>

#include <gtest/gtest.h>

using platform::PdfDocument;

namespace {

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

} // namespace

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
