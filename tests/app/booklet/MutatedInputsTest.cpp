#include "DocumentFixture.h"

#include "platform/foundation/Log.h"
#include "support/PictureFixture.h"

#include <QRegularExpression>

#include <functional>
#include <random>

// Damaged files, made from small fixtures by seeded mutations, each opened and exported as a
// booklet: every one is either exported or refused with a logged warning or error, never a crash.
namespace {

using Mutation = std::function<QByteArray(QByteArray, std::mt19937 &)>;

qsizetype anywhere(const QByteArray &bytes, std::mt19937 &random)
{
    return std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(random);
}

QByteArray flipped(QByteArray bytes, std::mt19937 &random)
{
    for (int i = std::uniform_int_distribution(1, 8)(random); i > 0; --i)
        bytes[anywhere(bytes, random)] ^= char(1 << std::uniform_int_distribution(0, 7)(random));
    return bytes;
}

QByteArray truncated(const QByteArray &bytes, std::mt19937 &random) { return bytes.left(anywhere(bytes, random)); }

// Every match of the pattern, or one chosen at random, replaced by the text the function gives.
QByteArray edited(QByteArray bytes, const char *pattern, const std::function<QByteArray(QByteArray)> &replacement,
                  std::mt19937 *random = nullptr)
{
    QList<QRegularExpressionMatch> matches;
    for (const QRegularExpressionMatch &match : QRegularExpression(pattern).globalMatch(QString::fromLatin1(bytes)))
        matches.append(match);
    if (random && !matches.isEmpty())
        matches = {matches[std::uniform_int_distribution<qsizetype>(0, matches.size() - 1)(*random)]};
    for (auto match = matches.rbegin(); match != matches.rend(); ++match)
        bytes.replace(match->capturedStart(), match->capturedLength(), replacement(match->captured().toLatin1()));
    return bytes;
}

// The same length of text, so that the cross-reference table still finds every other object.
QByteArray padded(const QByteArray &text, qsizetype length) { return text.leftJustified(length, ' ', true); }

const QList<std::pair<const char *, Mutation>> &pdfMutations()
{
    static const QList<std::pair<const char *, Mutation>> mutations{
        {"byte flips", flipped},
        {"truncation", truncated},
        {"wrong /Count", [](QByteArray pdf, std::mt19937 &random) {
             static const QByteArrayList counts{"0", "1", "2", "-3", "17", "100000"};
             const QByteArray count = counts[std::uniform_int_distribution<qsizetype>(0, counts.size() - 1)(random)];
             return edited(pdf, "/Count \\d+", [&](const QByteArray &) { return "/Count " + count; }, &random);
         }},
        {"a /Kids loop", [](QByteArray pdf, std::mt19937 &random) {
             const QRegularExpressionMatch pages = QRegularExpression("/Pages (\\d+) 0 R").match(QString::fromLatin1(pdf));
             const QByteArray root = pages.captured(1).toLatin1();
             return edited(pdf, "/Kids \\[ *\\d+ 0 R", [&](const QByteArray &kid) {
                 return padded("/Kids [ " + root + " 0 R", kid.size());
             }, &random);
         }},
        {"missing /MediaBox", [](QByteArray pdf, std::mt19937 &random) {
             return edited(pdf, "/MediaBox *\\[[^\\]]*\\]", [](const QByteArray &box) { return padded({}, box.size()); },
                           &random);
         }},
        {"broken xref", [](QByteArray pdf, std::mt19937 &random) {
             const qsizetype xref = pdf.lastIndexOf("\nxref");
             for (int i = std::uniform_int_distribution(1, 6)(random); xref > 0 && i > 0; --i)
                 pdf[std::uniform_int_distribution<qsizetype>(xref, pdf.size() - 1)(random)] =
                     char('0' + std::uniform_int_distribution(0, 9)(random));
             return pdf;
         }},
    };
    return mutations;
}

} // namespace

class MutatedInputsTest : public DocumentTest
{
protected:
    // Opens and exports the bytes; false when neither worked nor failed with a logged reason.
    bool endsCleanly(const QString &name, const QByteArray &bytes)
    {
        const platform::LogCapture log;
        const QUrl url = QUrl::fromLocalFile(PdfFixture::write(folder.path(), name, bytes));
        const QString type = Document::typeForContentsOfURL(url);
        Document document;
        if (!type.isEmpty() && document.openURL(url, type)
            && document.exportBookletToURL(QUrl::fromLocalFile(folder.filePath(name + ".booklet.pdf"))))
            return true;
        return log.contains(QStringLiteral("Warning: ")) || log.contains(QStringLiteral("Error: "));
    }
};

TEST_F(MutatedInputsTest, DamagedFilesAreExportedOrRefusedWithAReason)
{
    std::mt19937 random(20261206);
    const QList<QByteArray> pdfs{PdfFixture::pages(PdfFixture::numbered(3)),
                                 PdfFixture::encrypted(PdfFixture::numbered(2), "", "owner"),
                                 PdfFixture::picturesOnly({Qt::red, Qt::blue})};
    for (int round = 0; round < 10; ++round) {
        for (qsizetype family = 0; family < pdfMutations().size(); ++family) {
            for (qsizetype i = 0; i < pdfs.size(); ++i) {
                const QString name = QStringLiteral("pdf%1-%2-%3.pdf").arg(family).arg(i).arg(round);
                EXPECT_TRUE(endsCleanly(name, pdfMutations()[family].second(pdfs[i], random)))
                    << pdfMutations()[family].first << ", " << qPrintable(name);
            }
        }
    }
    const QImage picture = PictureFixture::marked({40, 30}, Qt::green, Qt::red);
    for (const char *format : {"jpeg", "png"}) {
        const QByteArray encoded = PictureFixture::encoded(picture, format, 72);
        for (int round = 0; round < 30; ++round) {
            const QString name = QStringLiteral("%1-%2").arg(format).arg(round);
            EXPECT_TRUE(endsCleanly(name + "-cut", truncated(encoded, random))) << qPrintable(name);
            EXPECT_TRUE(endsCleanly(name + "-flipped", flipped(encoded, random))) << qPrintable(name);
        }
    }
}
