#include "platform/foundation/Log.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::PdfDocument;

namespace {

// A PDF whose one page sits under depth /Pages nodes, each the only kid of the one above.
QByteArray nestedPages(int depth)
{
    QList<QByteArray> objects{"<< /Type /Catalog /Pages 2 0 R >>"};
    for (int level = 0; level < depth; ++level) {
        const int number = level + 2;
        const QByteArray parent = level == 0 ? QByteArray() : " /Parent " + QByteArray::number(number - 1) + " 0 R";
        objects.append("<< /Type /Pages /Kids [" + QByteArray::number(number + 1) + " 0 R] /Count 1" + parent + " >>");
    }
    objects.append("<< /Type /Page /Parent " + QByteArray::number(depth + 1) + " 0 R /MediaBox [0 0 200 100] >>");
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray table = "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype start = pdf.size();
    return pdf + table + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1)
        + " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(start) + "\n%%EOF\n";
}

qsizetype errorLines(const platform::LogCapture &log)
{
    return log.lines().filter(QRegularExpression(QStringLiteral("^Error: "))).size();
}

} // namespace

TEST(HostileInputTest, PageTreeNestedTwentyThousandLevelsFailsToOpen)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("deep.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(nestedPages(20000));
    file.close();

    platform::LogCapture log;
    EXPECT_FALSE(PdfDocument::open(path));
    EXPECT_FALSE(PdfDocument::fromData(nestedPages(20000), QStringLiteral("deep")));
    EXPECT_EQ(errorLines(log), 2);
    EXPECT_TRUE(log.contains(QStringLiteral("nested more than 256 levels deep")));
}

TEST(HostileInputTest, PageTreeNestedAHundredLevelsOpens)
{
    platform::LogCapture log;
    const std::optional<PdfDocument> document = PdfDocument::fromData(nestedPages(100), QStringLiteral("nested"));
    ASSERT_TRUE(document);
    ASSERT_EQ(document->pageCount(), 1);
    EXPECT_EQ(document->page(0)->visibleSize(), QSizeF(200, 100));
    EXPECT_TRUE(log.lines().isEmpty());
}

// Found by fuzzing: a damaged page names its own page tree among its resources or as its content.
// qpdf copies no page-tree node into another document, which once left the booklet unwritable
// and crashed it when it was destroyed.
TEST(HostileInputTest, APageNamingItsPageTreeIsPlacedWithoutIt)
{
    for (const QByteArray &page : {QByteArray("<</Resources<<2 0 R>>>>"), QByteArray("<</Contents 2 0 R>>")}) {
        SCOPED_TRACE(page.toStdString());
        const QByteArray pdf = "\n1 0 obj<</Pages 2 0 R>>\n2 0 obj<</Kids [ 3 0 R] \n3 0 obj\n" + page
            + " >>\ntrailer<</Root 1 0 R>>";
        const std::optional<PdfDocument> document = PdfDocument::fromData(pdf, QStringLiteral("damaged"));
        ASSERT_TRUE(document);
        const std::optional<platform::PdfPage> placed = document->page(0);
        ASSERT_TRUE(placed);
        platform::PdfGraphicsContext context;
        context.beginPage({200, 200});
        context.drawPdfPage(*placed);
        QBuffer written;
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        EXPECT_TRUE(context.write(written));
        EXPECT_TRUE(PdfDocument::fromData(written.data(), QStringLiteral("booklet")));
    }
}
