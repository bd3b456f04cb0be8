#include "app/shell/VXKeptPrints.h"
#include "app/shell/VXServiceJob.h"
#include "platform/foundation/Log.h"

#include "support/EnvironmentScope.h"
#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include <cups/backend.h>

namespace {

const QByteArray Leaflet = PdfFixture::pages(PdfFixture::numbered(2));

QString keep(const QString &title, const QByteArray &job)
{
    QBuffer input;
    input.setData(job);
    input.open(QIODevice::ReadOnly);
    return VXServiceJob(QString(), title).keep(input, [] { return true; });
}

} // namespace

// A file name takes 255 bytes: a title is cut between two characters to fit them, however many
// bytes its characters take, or at 120 characters.
TEST(ServiceJob, AJobIsKeptUnderItsTitleCutBetweenCharactersToWhatAFileNameTakes)
{
    const QString han(84, QChar(0x6f22));
    const QString leaf = QString::fromUtf8("\xF0\x9F\x8D\x81");
    const QString flag = QString::fromUtf8("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA");
    const QString thaiAndFlag = QString::fromUtf8("\u0e02\u0e48\u0e32\u0e27\u0e44\u0e17\u0e22\U0001F1F9\U0001F1ED");
    const QString thumbWithSkinTone = QString::fromUtf8("\U0001F44D\U0001F3FD");
    const QString family = QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString france = QString::fromUtf8("\U0001F1EB\U0001F1F7");
    const struct { const char *name; QString title, kept; } cases[] = {
        {"short", "Menu", "Menu.pdf"},
        {"named as a PDF", "Menu.PDF", "Menu.PDF"},
        {"84 Han characters of 3 bytes", han, han.left(83) + ".pdf"},
        {"84 Han characters named as a PDF", han + ".pdf", han.left(83) + ".pdf"},
        {"200 leaves of 4 bytes", leaf.repeated(200), leaf.repeated(62) + ".pdf"},
        {"100 flags of 8 bytes", flag.repeated(100), flag.repeated(31) + ".pdf"},
        {"300 letters", QString(300, 'a'), QString(120, 'a') + ".pdf"},
        // Thai letters of 3 bytes beside flags of two surrogate pairs: 29 bytes a round, 8 rounds
        // take 232 of the 251, and "\u0e02\u0e48\u0e32\u0e27\u0e44\u0e17" 18 more.
        {"Thai letters and flags", thaiAndFlag.repeated(9), thaiAndFlag.repeated(8) + thaiAndFlag.left(6) + ".pdf"},
        // 23 letters and seven rounds take 226 bytes, the Thai letters of the eighth 21 more: the
        // flag after them, cut where 251 bytes end, is left out whole.
        {"a flag cut after Thai letters", QString(23, 'x') + thaiAndFlag.repeated(9), QString(23, 'x') + thaiAndFlag.repeated(7) + thaiAndFlag.left(7) + ".pdf"},
        // 81 Han characters and a Devanagari letter take 246 bytes: the thumb and its skin tone
        // (8 bytes) no longer fit, and neither is kept alone.
        {"an emoji with its skin tone after a Devanagari letter", QString(81, QChar(0x6f22)) + QChar(0x0915) + thumbWithSkinTone,
         QString(81, QChar(0x6f22)) + QChar(0x0915) + ".pdf"},
        // After a joined emoji the flags still pair from the first: 118 letters, the family and
        // the flag are the 120 characters a name takes, all of them.
        {"a flag after a family", QString(118, 'a') + family + france, QString(118, 'a') + family + france + ".pdf"},
        {"a flag after a family named as a PDF", QString(118, 'a') + family + france + ".pdf",
         QString(118, 'a') + family + france + ".pdf"},
        // Ten families of 18 bytes take 180 of the 251, eight flags of 8 bytes 64 more.
        {"sixty flags after ten families", family.repeated(10) + france.repeated(60), family.repeated(10) + france.repeated(8) + ".pdf"},
        {"a family between flags", france + family + france.repeated(40), france + family + france.repeated(28) + ".pdf"},
        // One character of 253 bytes: none of it fits before ".pdf".
        {"a letter with 126 accents", "a" + QString(126, QChar(0x0301)), "Print job.pdf"},
        {"a letter with 126 accents named as a PDF", "a" + QString(126, QChar(0x0301)) + ".pdf", "Print job.pdf"},
        {"a folder in it", "a/b", "a-b.pdf"},
        {"lines", "Q3\nATTR: job-name=x\r\n", "Q3\ufffdATTR: job-name=x.pdf"},
        {"controls of every kind", QString::fromUtf8("a\tb\x1b[0m\x7f\u0085\u2028\u2029c"), QString::fromUtf8("a\ufffdb\ufffd[0m\ufffd\ufffd\ufffd\ufffdc.pdf")},
        {"hidden", ".hidden", "Print job.hidden.pdf"},
        {"none", "", "Print job.pdf"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = keep(c.title, Leaflet);
        ASSERT_FALSE(path.isEmpty());
        EXPECT_EQ(QFileInfo(path).fileName(), c.kept);
        EXPECT_LE(QFileInfo(path).fileName().toUtf8().size(), 255);
        EXPECT_EQ(PdfFixture::read(path), Leaflet);
        EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden), QStringList{c.kept}) << "nothing hidden beside it";
    }
    EXPECT_EQ(VXKeptPrints::waiting().size(), std::size(cases)) << "every print is found by the next Foldwise";
    QDir(VXKeptPrints::folder()).removeRecursively();
}

namespace {

char32_t codePointAt(const QString &text, qsizetype at)
{
    return text.at(at).isHighSurrogate() && at + 1 < text.size() ? QChar::surrogateToUcs4(text.at(at), text.at(at + 1)) : text.at(at).unicode();
}

char32_t codePointBefore(const QString &text, qsizetype at)
{
    return at >= 2 && text.at(at - 1).isLowSurrogate() ? QChar::surrogateToUcs4(text.at(at - 2), text.at(at - 1)) : text.at(at - 1).unicode();
}

bool isRegionalIndicator(char32_t code) { return code >= 0x1f1e6 && code <= 0x1f1ff; }

// Why a cut of the text there parts a character, or empty: inside a surrogate pair, before a mark,
// a joiner, a variation selector or a skin tone, after a joiner, or between a flag's halves
// (regional indicators pair from the first of a run).
QString partsACharacter(const QString &text, qsizetype at)
{
    if (at == 0 || at == text.size())
        return {};
    if (text.at(at).isLowSurrogate())
        return "inside a surrogate pair";
    const char32_t next = codePointAt(text, at), previous = codePointBefore(text, at);
    const QChar::Category category = QChar::category(next);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing
        || next == 0x200d || (next >= 0xfe00 && next <= 0xfe0f) || (next >= 0x1f3fb && next <= 0x1f3ff))
        return "before what goes with the character before it";
    if (previous == 0x200d)
        return "after a joiner";
    if (isRegionalIndicator(previous) && isRegionalIndicator(next)) {
        int before = 0;
        for (qsizetype i = at; i >= 2 && isRegionalIndicator(codePointBefore(text, i)); i -= 2)
            ++before;
        if (before % 2 == 1)
            return "between a flag's halves";
    }
    return {};
}

} // namespace

// 5,000 titles of 10 to 80 pieces drawn at random (seeded): letters of one to three bytes,
// accents, Thai and Devanagari letters with their marks, joined families, flags and lone regional
// indicators, emoji with skin tones or variation selectors, keycaps. Each is named by at most 255
// bytes that are the title's start, cut where no character is parted; the first is kept so.
TEST(ServiceJob, RandomTitlesAreCutWhereNoCharacterIsParted)
{
    const QStringList pieces{"a", "Z", "7", QString::fromUtf8("\u00e9"), "e" + QString(QChar(0x0301)), "o" + QString(QChar(0x0308)) + QChar(0x0323),
                             QString(QChar(0x6f22)), QString::fromUtf8("\u0e02\u0e48"), QString::fromUtf8("\u0e33"),
                             QString::fromUtf8("\u0915\u094d\u0937"), QString::fromUtf8("\u0939\u093f"),
                             QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467"),
                             QString::fromUtf8("\U0001F469\U0001F3FD\u200D\U0001F4BB"),
                             QString::fromUtf8("\U0001F1EB\U0001F1F7"), QString::fromUtf8("\U0001F1E9\U0001F1EA"),
                             QString::fromUtf8("\U0001F1EF"), QString::fromUtf8("\U0001F44D\U0001F3FD"),
                             QString::fromUtf8("\u2764\uFE0F"), QString::fromUtf8("1\uFE0F\u20E3"), QString::fromUtf8("\U0001F341")};
    QRandomGenerator random(61);
    QStringList parted;
    for (int n = 0; n < 5000; ++n) {
        QString title;
        for (int i = random.bounded(10, 81); i > 0; --i)
            title += pieces.at(random.bounded(int(pieces.size())));
        const QString name = VXServiceJob::keptName(title);
        if (n == 0) {
            const QString path = keep(title, Leaflet);
            EXPECT_EQ(QFileInfo(path).fileName(), name);
            EXPECT_EQ(VXKeptPrints::waiting(), QStringList{path});
            QDir(QFileInfo(path).path()).removeRecursively();
        }
        ASSERT_TRUE(name.endsWith(".pdf")) << name.toStdString();
        EXPECT_LE(name.toUtf8().size(), 255);
        const QString kept = name.chopped(4);
        ASSERT_TRUE(title.startsWith(kept)) << title.toStdString() << " kept as " << name.toStdString();
        if (const QString why = partsACharacter(title, kept.size()); !why.isEmpty())
            parted << QStringLiteral("%1 (%2)").arg(name, why);
    }
    EXPECT_TRUE(parted.isEmpty()) << parted.size() << " parted:\n" << parted.join('\n').toStdString();
}

// A data folder so deep that the title's name would pass the longest path the system takes: the
// print is kept under a plain name, never left to CUPS to try again for ever.
TEST(ServiceJob, APrintWhoseNameCannotBeMadeIsKeptUnderAPlainName)
{
    QTemporaryDir root;
    // The kept print's folder ends 60 bytes short of PATH_MAX; a title of 120 letters passes it.
    QString deep = root.path();
    const qsizetype folderBytes = PATH_MAX - 60 - QByteArrayLiteral("/Foldwise/Printed/job-XXXXXX/").size();
    while (deep.toUtf8().size() < folderBytes)
        deep += "/" + QString(std::min<qsizetype>(200, folderBytes - deep.toUtf8().size() - 1), 'd');
    ASSERT_TRUE(QDir().mkpath(deep));
    const EnvironmentScope data("XDG_DATA_HOME", deep);
    platform::LogCapture log;
    const QString title = QString(120, 'n');
    const QString path = keep(title, Leaflet);
    ASSERT_FALSE(path.isEmpty()) << log.lines().join('\n').toStdString();
    EXPECT_EQ(QFileInfo(path).fileName(), "Print job.pdf");
    EXPECT_EQ(PdfFixture::read(path), Leaflet);
    EXPECT_EQ(VXKeptPrints::waiting(), QStringList{path});
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: Kept \"%1\" as \"Print job.pdf\", because the name \"%1.pdf\" cannot be made: File name too long").arg(title)))
        << log.lines().join('\n').toStdString();
}

// Whether what came is the whole job is asked once, when the input has ended; a job stopped on its
// way leaves nothing, not even its folder.
TEST(ServiceJob, AJobStoppedOnItsWayLeavesNothing)
{
    for (const bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "whole" : "stopped");
        QBuffer input;
        input.setData(Leaflet);
        input.open(QIODevice::ReadOnly);
        QList<qint64> askedAt;
        platform::LogCapture log;
        const QString path = VXServiceJob(QString(), "Menu").keep(input, [&] {
            askedAt << input.pos();
            return whole;
        });
        EXPECT_EQ(askedAt, QList<qint64>{Leaflet.size()});
        EXPECT_EQ(PdfFixture::read(path), whole ? Leaflet : QByteArray());
        EXPECT_EQ(QDir(VXKeptPrints::folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), whole ? 1 : 0);
        EXPECT_EQ(log.lines(), whole ? QStringList()
                                     : QStringList{QStringLiteral("Error: Could not keep \"Menu\" in %1, because the job was stopped").arg(VXKeptPrints::folder())});
        QDir(VXKeptPrints::folder()).removeRecursively();
    }
}

// What is no PDF, or nothing, can never be opened; a job that cannot be kept on a full disk fails
// saying so, and leaves nothing behind.
TEST(ServiceJob, OnlyAPdfIsAJobAndAFullDiskKeepsNone)
{
    for (const auto &[bytes, pdf] : {std::pair<QByteArray, bool>{Leaflet, true}, {"%PDF-", true}, {"%PD", false},
                                     {"Hello", false}, {"", false}}) {
        QBuffer input;
        input.setData(bytes);
        input.open(QIODevice::ReadOnly);
        EXPECT_EQ(VXServiceJob::isPdf(input), pdf) << bytes.constData();
        EXPECT_EQ(input.readAll(), bytes) << "nothing taken from the job";
    }

    ASSERT_TRUE(QDir().mkpath(VXKeptPrints::folder()));
    const FullDisk disk(VXKeptPrints::folder(), "old", "old");
    if (!disk.mounted)
        GTEST_SKIP() << "a full disk needs root and a tmpfs";
    platform::LogCapture log;
    EXPECT_EQ(keep("Menu", Leaflet), "");
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error: Could not keep \"Menu\" in %1, because the disk is full").arg(VXKeptPrints::folder())});
    EXPECT_EQ(QDir(VXKeptPrints::folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), (QStringList{"filler", "old"}));
}

// The backend, run as CUPS runs it, cancels a job that is no PDF or is empty: tried again it would
// fail again. The check needs neither CUPS nor a user to act for.
TEST(ServiceJob, TheBackendCancelsAJobThatIsNoPdf)
{
    QTemporaryDir folder;
    for (const QByteArray &job : {QByteArray("Hello, printer\n"), QByteArray()}) {
        SCOPED_TRACE(job.isEmpty() ? "empty" : "text");
        QProcess backend;
        backend.start(QStringLiteral(FOLDWISE_CUPS_BACKEND),
                      {"7", "nobody", "Notes", "1", "", PdfFixture::write(folder.path(), "job", job)});
        ASSERT_TRUE(backend.waitForFinished(20000));
        EXPECT_EQ(backend.exitCode(), CUPS_BACKEND_CANCEL);
        const QString said = QString::fromUtf8(backend.readAllStandardError());
        EXPECT_TRUE(said.endsWith("ERROR: Foldwise opens only PDF files; the job held none.\n")) << said.toStdString();
        EXPECT_TRUE(said.contains("Error: Could not open \"Notes\" in Foldwise, because the program that printed it sent no PDF"))
            << said.toStdString();
    }
}

namespace {

// The lines the backend wrote for CUPS, each of which CUPS reads as a message of its own.
QStringList backendLines(const QStringList &arguments, const QByteArray &job)
{
    QProcess backend;
    backend.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    backend.start(QStringLiteral(FOLDWISE_CUPS_BACKEND), arguments);
    if (!backend.waitForStarted())
        return {"(not started)"};
    backend.write(job);
    backend.closeWriteChannel();
    if (!backend.waitForFinished(20000))
        return {"(not finished)"};
    return QString::fromUtf8(backend.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

// A job's title or user name that holds a line break writes no line of its own into CUPS's
// message channel (where "ATTR:", "STATE:" or "PPD:" would change the job, the printer or its
// description): its control characters come out as U+FFFD, within the line they belong to.
TEST(ServiceJob, TheBackendKeepsEachTitleAndUserNameOnItsOwnLine)
{
    const QString forged = "Notes\nATTR: job-impressions=99\rSTATE: +foldwise-evil\nPPD: DefaultPageSize=A3";
    const QString shown = "Notes\ufffdATTR: job-impressions=99\ufffdSTATE: +foldwise-evil\ufffdPPD: DefaultPageSize=A3";
    const struct { const char *what; QString user; QByteArray job; QString said; } cases[] = {
        {"a job that is no PDF", "nobody", "Hello, printer\n", "Error: Could not open \"" + shown + "\" in Foldwise"},
        {"a PDF of a user CUPS does not vouch for", "nobody\nATTR: x=1", Leaflet, "Error: Refused \"" + shown + "\" of nobody\ufffdATTR: x=1, because "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList lines = backendLines({"7", c.user, forged, "1", ""}, c.job);
        EXPECT_TRUE(std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) { return line.startsWith(c.said); }))
            << lines.join('\n').toStdString();
        for (const QString &line : lines) {
            EXPECT_FALSE(line.startsWith("ATTR:") || line.startsWith("STATE:") || line.startsWith("PPD:") || line.contains('\r'))
                << line.toStdString();
        }
        EXPECT_EQ(lines.last().left(6), "ERROR:") << lines.join('\n').toStdString();
    }
}
