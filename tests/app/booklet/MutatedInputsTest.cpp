#include "DocumentFixture.h"

#include "platform/foundation/Log.h"
#include "support/PictureFixture.h"

#include <QRegularExpression>

#include <functional>
#include <random>

// Damaged files, made from small fixtures by seeded mutations, each opened and exported as a
// booklet: every one is either exported or refused with a logged warning or error, never a crash.
TEST_F(DocumentTest, MutatedInputsAreExportedOrRefusedWithAReason)
{
    std::mt19937 random(20261206);
    const auto below = [&](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(random); };
    const auto flipped = [&](QByteArray bytes) {
        for (qsizetype i = 1 + below(8); i > 0; --i)
            bytes[below(bytes.size())] ^= char(1 << below(8));
        return bytes;
    };
    const auto truncated = [&](const QByteArray &bytes) { return bytes.left(below(bytes.size())); };
    // One match of the pattern, chosen at random, replaced by the text padded to at least its length,
    // so that the cross-reference table still finds the objects that follow.
    const auto edited = [&](QByteArray bytes, const char *pattern, const QByteArray &text) {
        QList<QRegularExpressionMatch> matches;
        for (const QRegularExpressionMatch &match : QRegularExpression(pattern).globalMatch(QString::fromLatin1(bytes)))
            matches.append(match);
        if (matches.isEmpty())
            return bytes;
        const QRegularExpressionMatch match = matches[below(matches.size())];
        return bytes.replace(match.capturedStart(), match.capturedLength(), text.leftJustified(match.capturedLength()));
    };
    const QList<std::function<QByteArray(QByteArray)>> pdfMutations{
        flipped,
        truncated,
        [&](QByteArray pdf) { return edited(pdf, "/Count \\d+", "/Count " + QByteArrayList{"0", "2", "-3", "100000"}[below(4)]); },
        [&](QByteArray pdf) {
            const QString root = QRegularExpression("/Pages (\\d+) 0 R").match(QString::fromLatin1(pdf)).captured(1);
            return edited(pdf, "/Kids \\[ *\\d+ 0 R", "/Kids [ " + root.toLatin1() + " 0 R");
        },
        [&](QByteArray pdf) { return edited(pdf, "/MediaBox *\\[[^\\]]*\\]", ""); },
        [&](QByteArray pdf) {
            const qsizetype xref = pdf.lastIndexOf("\nxref");
            for (qsizetype i = 1 + below(6); xref > 0 && i > 0; --i)
                pdf[xref + below(pdf.size() - xref)] = char('0' + below(10));
            return pdf;
        },
    };
    const auto endsCleanly = [&](const QString &name, const QByteArray &bytes) {
        const platform::LogCapture log;
        const QUrl url = QUrl::fromLocalFile(PdfFixture::write(folder.path(), name, bytes));
        const QString type = Document::typeForContentsOfURL(url);
        Document document;
        if (!type.isEmpty() && document.openURL(url, type)
            && document.exportBookletToURL(QUrl::fromLocalFile(folder.filePath(name + ".booklet.pdf"))))
            return true;
        return log.contains(QStringLiteral("Warning: ")) || log.contains(QStringLiteral("Error: "));
    };
    const QList<QByteArray> pdfs{PdfFixture::pages(PdfFixture::numbered(3)),
                                 PdfFixture::encrypted(PdfFixture::numbered(2), "", "owner"),
                                 PdfFixture::picturesOnly({Qt::red, Qt::blue})};
    for (int round = 0; round < 10; ++round) {
        for (qsizetype family = 0; family < pdfMutations.size(); ++family) {
            for (qsizetype i = 0; i < pdfs.size(); ++i) {
                const QString name = QStringLiteral("pdf%1-%2-%3.pdf").arg(family).arg(i).arg(round);
                EXPECT_TRUE(endsCleanly(name, pdfMutations[family](pdfs[i]))) << qPrintable(name);
            }
        }
    }
    for (const char *format : {"jpeg", "png"}) {
        const QByteArray encoded = PictureFixture::encoded(PictureFixture::marked({40, 30}, Qt::green, Qt::red), format, 72);
        for (int round = 0; round < 30; ++round) {
            EXPECT_TRUE(endsCleanly(QStringLiteral("%1-%2-cut").arg(format).arg(round), truncated(encoded)));
            EXPECT_TRUE(endsCleanly(QStringLiteral("%1-%2-flipped").arg(format).arg(round), flipped(encoded)));
        }
    }
}
