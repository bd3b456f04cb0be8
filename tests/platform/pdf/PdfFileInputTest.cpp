#include "platform/foundation/Log.h"
#include "platform/foundation/Progress.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfFileDevice.h"
#include "platform/pdf/PdfFileInput.h"

#include "support/PdfFixture.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>
#include <qpdf/FileInputSource.hh>
#include <qpdf/QPDFExc.hh>

#include <functional>
#include <limits>

using platform::PdfFileDevice;
using platform::PdfFileInput;

namespace {

// What one source answers to a run of reads, seeks and line skips, as text.
std::string walk(InputSource &source, qpdf_offset_t size)
{
    std::string log;
    char buffer[100];
    const auto note = [&](const std::string &what, qpdf_offset_t value) {
        log += what + "=" + std::to_string(value) + " last=" + std::to_string(source.getLastOffset()) + "\n";
    };
    for (const qpdf_offset_t at : {qpdf_offset_t(0), qpdf_offset_t(5), size / 2, size - 3, size, size + 10}) {
        source.seek(at, SEEK_SET);
        note("eol", source.findAndSkipNextEOL());
        note("tell", source.tell());
        const size_t got = source.read(buffer, sizeof buffer);
        log += std::string(buffer, got) + "|";
        note("read", qpdf_offset_t(got));
        note("tell", source.tell());
    }
    source.seek(-2, SEEK_END);
    note("tell", source.tell());
    source.unreadCh('x');
    note("tell", source.tell());
    source.seek(3, SEEK_CUR);
    note("tell", source.tell());
    source.rewind();
    note("tell", source.tell());
    return log;
}

} // namespace

// Reads, seeks and line skips answer what qpdf's own reading of a file answers, at the start, in
// the middle, at and past the end, with \r, \n and \r\n line ends, and with no line end at all.
TEST(PdfFileInput, AnswersAsQpdfsOwnFileReadingDoes)
{
    QTemporaryDir folder;
    const QList<QByteArray> contents{"%PDF-1.4\nline\r\nend\r\r\n\n tail", "no line end at all", "\r\n\r\n", "a\rb\rc",
                                     QByteArray(70000, 'x') + "\nafter a block\n",
                                     // A line end split over the end of the first cached block.
                                     QByteArray(65535, 'x') + "\r\n\r\nnext block\n",
                                     QByteArray(65536, 'x') + "\n\ny", QByteArray(65530, 'x') + QByteArray(20, '\n')};
    for (const QByteArray &content : contents) {
        const QString path = PdfFixture::write(folder.path(), "input", content);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        PdfFileInput ours(file.handle(), "input");
        FileInputSource qpdfs(QFile::encodeName(path).constData());
        EXPECT_EQ(walk(ours, content.size()), walk(qpdfs, content.size())) << content.left(40).toStdString();
    }
}

// Sound and damaged files open from disk as they open from memory through qpdf's own reading:
// the same pages, the same damage, the same refusals.
TEST(PdfFileInput, DamagedFilesOpenAsTheyDoFromMemory)
{
    QTemporaryDir folder;
    const QByteArray sound = PdfFixture::pages(PdfFixture::numbered(3));
    QByteArray noXref = sound;
    noXref.replace("startxref", "startxrex");
    QByteArray carriageReturns = sound;
    carriageReturns.replace('\n', '\r');
    const QList<std::pair<const char *, QByteArray>> cases{
        {"sound", sound},
        {"cut short", sound.left(sound.size() * 3 / 5)},
        {"no cross-reference offset", noXref},
        {"carriage returns", carriageReturns},
        {"garbage before", QByteArray("garbage\n") + sound},
        {"no PDF", "not a PDF at all"},
    };
    for (const auto &[name, bytes] : cases) {
        const QString path = PdfFixture::write(folder.path(), "case.pdf", bytes);
        const std::optional<platform::PdfDocument> fromDisk = platform::PdfDocument::open(path);
        const std::optional<platform::PdfDocument> fromMemory = platform::PdfDocument::fromData(bytes, "case");
        ASSERT_EQ(fromDisk.has_value(), fromMemory.has_value()) << name;
        if (!fromDisk)
            continue;
        EXPECT_EQ(fromDisk->pageCount(), fromMemory->pageCount()) << name;
        EXPECT_EQ(fromDisk->damage().isEmpty(), fromMemory->damage().isEmpty()) << name;
    }
}

// A reading counts the bytes it read, and knows no total: qpdf reads blocks again, and more than
// the file's size in all. Pages read later, once the file is open, belong to it no more. Cancelled, nothing opens: before it starts, no block is read, and
// while qpdf repairs a cut-off download of 8 GiB from another thread, at most the block under way
// is read after the cancel, whatever qpdf does with the failure.
TEST(PdfFileInput, AReadingCountsItsBytesAndStopsAtItsNextBlockOnceCancelled)
{
    using Reading = platform::PdfDocument::Reading;
    constexpr qint64 block = 64 * 1024;
    QTemporaryDir folder;
    const QByteArray sound = PdfFixture::pages(PdfFixture::numbered(40));
    const QString soundPath = PdfFixture::write(folder.path(), "sound.pdf", sound);
    const QString cutOff = PdfFixture::writeCutOff(folder.path(), "download.pdf", qint64(8) << 30);
    ASSERT_FALSE(cutOff.isEmpty());
    platform::LogCapture log;

    platform::Progress counted;
    std::optional<platform::PdfDocument> partly = platform::PdfDocument::open(soundPath, nullptr, Reading::PagesWhenAsked, &counted);
    ASSERT_TRUE(partly);
    EXPECT_EQ(counted.totalUnitCount(), 0);
    EXPECT_GT(counted.completedUnitCount(), 0);
    const qint64 whenOpen = counted.completedUnitCount();
    counted.cancel();
    EXPECT_TRUE(partly->readAllPages()) << "the pages read later are not the cancelled reading's";
    EXPECT_EQ(partly->pageCount(), 40);
    EXPECT_EQ(counted.completedUnitCount(), whenOpen);

    for (const QString &path : {soundPath, cutOff}) {
        platform::Progress cancelled;
        cancelled.cancel();
        EXPECT_FALSE(platform::PdfDocument::open(path, nullptr, Reading::Whole, &cancelled)) << path.toStdString();
        EXPECT_EQ(cancelled.completedUnitCount(), 0) << path.toStdString();
        EXPECT_TRUE(log.contains("Info: Stopped reading PDF \"" + path + "\", as was asked"));
    }

    platform::Progress repairing;
    QFuture<bool> opening = QtConcurrent::run([&] { return platform::PdfDocument::open(cutOff, nullptr, Reading::Whole, &repairing).has_value(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return repairing.completedUnitCount() > 16 * block; }, 20000));
    repairing.cancel();
    const qint64 atCancel = repairing.completedUnitCount();
    opening.waitForFinished();
    EXPECT_FALSE(opening.result());
    EXPECT_LE(repairing.completedUnitCount(), atCancel + block);
}

// Poppler's reader of a file gives the bytes at every position poppler seeks to, across the
// cached blocks and at and past the end, and keeps reading the file it was opened on after
// another file is saved in its place.
TEST(PdfFileDevice, ReadsTheOpenFileWhereverItSeeks)
{
    QTemporaryDir folder;
    QByteArray content;
    for (int line = 0; content.size() < 150000; ++line)
        content += QByteArray::number(line) + " 0 obj\n";
    const QString path = PdfFixture::write(folder.path(), "input.pdf", content);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    PdfFileDevice device(file.handle(), path);
    // Saved as an editor saves: a new file put in the old one's place.
    const QString saved = PdfFixture::write(folder.path(), "saved.pdf", "saved over");
    ASSERT_TRUE(QFile::remove(path) && QFile::rename(saved, path));
    EXPECT_EQ(device.size(), content.size());
    const qint64 block = 64 * 1024;
    for (const qint64 at : {qint64(0), qint64(17), block - 3, block, 2 * block + 1, content.size() - 5, content.size() - 1}) {
        ASSERT_TRUE(device.seek(at));
        EXPECT_EQ(device.read(1024), content.mid(at, 1024)) << at;
        EXPECT_EQ(device.pos(), std::min<qint64>(at + 1024, content.size())) << at;
    }
    ASSERT_TRUE(device.seek(content.size()));
    EXPECT_TRUE(device.read(10).isEmpty());
    EXPECT_TRUE(device.atEnd());
}

namespace {

// A one-page PDF whose page's content stream states the given length, its cross-reference table
// pointing at each object where it is.
QByteArray withContentLength(const QByteArray &length)
{
    const QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>",
        "<< /Length " + length + " >>\nstream\n0 0 1 rg 10 10 50 50 re f\nendstream",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
           + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace

// Seeks that would pass the largest offset a file can have are damage, refused with qpdf's own
// exception for it (which qpdf mends by looking for a stream's end), from a file or from memory;
// seeks up to it pass. Before, the offset was added past what it holds.
TEST(PdfFileInput, SeeksPastTheLargestOffsetAreRefusedAsDamage)
{
    constexpr qpdf_offset_t largest = std::numeric_limits<qpdf_offset_t>::max();
    QTemporaryDir folder;
    const QByteArray content = "%PDF-1.4\nsome bytes\n";
    QFile file(PdfFixture::write(folder.path(), "input", content));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    PdfFileInput fromFile(file.handle(), "input");
    platform::PdfMemoryInput fromMemory("input", content.constData(), std::size_t(content.size()));
    for (InputSource *source : std::initializer_list<InputSource *>{&fromFile, &fromMemory}) {
        source->seek(5, SEEK_SET);
        EXPECT_THROW(source->seek(largest, SEEK_CUR), QPDFExc);
        EXPECT_THROW(source->seek(largest - 4, SEEK_CUR), QPDFExc);
        EXPECT_THROW(source->seek(largest, SEEK_END), QPDFExc);
        EXPECT_EQ(source->tell(), 5);
        source->seek(largest - 5, SEEK_CUR);
        EXPECT_EQ(source->tell(), largest);
        EXPECT_THROW(source->seek(1, SEEK_CUR), QPDFExc);
        char buffer[4];
        EXPECT_EQ(source->read(buffer, sizeof buffer), 0u);
        source->seek(largest, SEEK_SET);
        EXPECT_EQ(source->tell(), largest);
        source->seek(-3, SEEK_END);
        EXPECT_EQ(source->read(buffer, 2), 2u);
        EXPECT_EQ(std::string(buffer, 2), "es");
    }
}

// A one-page PDF whose page content (a blue square at the lower left) states each length, read
// from disk and from memory and written again. Lengths past where the file ends, up to the
// largest an offset holds, or below 0, or no whole number: qpdf finds the stream's end and the
// page keeps its square; 2^63 - 1 used to overflow the file's offset. Lengths past 64 bits make
// qpdf drop the whole stream: the page is written blank, which is said with qpdf's reason.
TEST(PdfFileInput, StreamsOfHugeOrNegativeLengthAreReadToTheirEndOrSaidToBeLost)
{
    QTemporaryDir folder;
    const QByteArrayList found{"34", "9223372036854775807", "9223372036854775806", "4611686018427387904", "-1",
                               "-9223372036854775808", "1e300"};
    const QByteArrayList lost{"18446744073709551615", "99999999999999999999999"};
    for (const QByteArray &length : found + lost) {
        SCOPED_TRACE(length.toStdString());
        const QByteArray bytes = withContentLength(length);
        const QString path = PdfFixture::write(folder.path(), "case.pdf", bytes);
        for (const bool fromDisk : {true, false}) {
            SCOPED_TRACE(fromDisk ? "from disk" : "from memory");
            platform::LogCapture log;
            const std::optional<platform::PdfDocument> document =
                fromDisk ? platform::PdfDocument::open(path) : platform::PdfDocument::fromData(bytes, "case.pdf");
            ASSERT_TRUE(document);
            EXPECT_EQ(document->pageCount(), 1);
            const std::optional<QByteArray> written = document->data();
            ASSERT_TRUE(written);
            const QImage page = PdfFixture::rendered(*written, 0);
            ASSERT_EQ(page.size(), QSize(200, 100));
            const bool blue = page.pixel(20, 80) == qRgb(0, 0, 255);
            EXPECT_EQ(blue, found.contains(length));
            EXPECT_EQ(page.pixel(100, 20), qRgb(255, 255, 255));
            if (found.contains(length)) {
                EXPECT_EQ(log.lines().filter(QRegularExpression("^(Warning|Error): ")), QStringList());
            } else {
                EXPECT_EQ(log.lines(), QStringList{"Warning: Page 1 of " + (fromDisk ? '"' + path + '"' : QString("case.pdf"))
                                                   + " is copied without its contents, which cannot be read: object 4/0: "
                                                     "error reading object: overflow/underflow converting "
                                                   + length + " to 64-bit integer"});
            }
        }
    }
}
