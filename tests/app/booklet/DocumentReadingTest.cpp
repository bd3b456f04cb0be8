#include "DocumentFixture.h"

#include "app/booklet/VXDocumentReading.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Progress.h"
#include "support/FailingDisk.h"
#include "support/PictureFixture.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QScopeGuard>

#include <sys/resource.h>

namespace {

// What a file read away from the GUI thread gave, once it was read.
Document::Contents readAway(const QString &path)
{
    std::optional<Document::Contents> read;
    VXDocumentReading reading(QUrl::fromLocalFile(path), false, [&](Document::Contents contents) { read = std::move(contents); });
    if (!QTest::qWaitFor([&] { return read.has_value(); }, 20000))
        return {};
    return std::move(*read);
}

} // namespace

// A picture file larger than Qt's allocation limit, which bounds every picture Qt decodes, is
// refused as too large before a byte of it is read, at once or away from the GUI thread: read
// into memory, a file of gigabytes ended the process. One just under the limit still opens.
TEST_F(DocumentTest, APictureFileLargerThanQtDecodesIsRefusedUnreadAsTooLarge)
{
    const int defaultLimit = QImageReader::allocationLimit();
    const auto restoreLimit = qScopeGuard([defaultLimit] { QImageReader::setAllocationLimit(defaultLimit); });
    const QByteArray png = PictureFixture::encoded(PictureFixture::marked({40, 30}, Qt::white, Qt::red), "png");
    struct Case { const char *what; int limitMegabytes; qint64 size; const char *toldLimit; };
    const QList<Case> cases{
        {"four gigabytes, Qt's own limit", defaultLimit, qint64(4) << 30, "128 MB"},
        {"a byte over a limit of a megabyte", 1, (qint64(1) << 20) + 1, "1 MB"},
        {"at a limit of a megabyte", 1, qint64(1) << 20, nullptr},
    };
    ASSERT_EQ(defaultLimit, 128) << "the allocation limit of Qt 6.4";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QImageReader::setAllocationLimit(c.limitMegabytes);
        // A picture followed by a hole, which takes no room on the disk.
        const QString path = PdfFixture::write(folder.path(), "scan.png", png);
        ASSERT_TRUE(QFile::resize(path, c.size));
        ASSERT_TRUE(Document::isPictureFile(path));
        platform::Progress progress;
        const Document::Contents atOnce = Document::readContents(path, false, &progress);
        const Document::Contents away = readAway(path);
        if (!c.toldLimit) {
            EXPECT_EQ(atOnce.failure, Document::Contents::Failure::None);
            EXPECT_EQ(away.failure, Document::Contents::Failure::None);
            EXPECT_EQ(atOnce.pages().size(), 1);
            continue;
        }
        const QString told = rqs::localized("OpenFailedTooLargeText").arg(c.toldLimit);
        EXPECT_EQ(atOnce.failure, Document::Contents::Failure::TooLarge);
        EXPECT_EQ(atOnce.failureText().toStdString(), told.toStdString());
        EXPECT_EQ(progress.completedUnitCount(), 0) << "nothing of it was read";
        EXPECT_EQ(away.failure, Document::Contents::Failure::TooLarge);
        EXPECT_EQ(away.failureText().toStdString(), told.toStdString());
    }
}

// A picture file of a few hundred kilobytes may hold more pixels than Qt decodes: it is refused as
// too large, naming its pixels, what they take decoded and the limit, never called damaged. Qt
// counts four bytes a pixel of an RGB picture and refuses whole megabytes at its limit and above:
// 1000 × 1048 pixels (3.998 MB) pass a limit of 4 MB, 1000 × 1049 (4.002 MB) do not.
TEST_F(DocumentTest, APictureOfMorePixelsThanQtDecodesIsRefusedAsTooLargeNotAsDamaged)
{
    const int defaultLimit = QImageReader::allocationLimit();
    const auto restoreLimit = qScopeGuard([defaultLimit] { QImageReader::setAllocationLimit(defaultLimit); });
    struct Case { const char *what; int limitMegabytes; QSize pixels; const char *decoded; const char *limit; };
    const QList<Case> cases{
        {"12000 × 12000 at Qt's own limit", defaultLimit, {12000, 12000}, "549 MB", "128 MB"},
        {"1000 × 1049 at a limit of 4 MB", 4, {1000, 1049}, "4 MB", "4 MB"},
        {"1000 × 1048 at a limit of 4 MB", 4, {1000, 1048}, nullptr, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QImageReader::setAllocationLimit(c.limitMegabytes);
        const QString path = PdfFixture::write(folder.path(), "Poster.png", PictureFixture::plainPng(c.pixels, QColor(200, 30, 30)));
        EXPECT_EQ(QImageReader(path).read().isNull(), c.decoded != nullptr) << "as Qt itself decodes it or not";
        platform::LogCapture log;
        const Document::Contents read = Document::readContents(path, false);
        if (!c.decoded) {
            EXPECT_EQ(read.failure, Document::Contents::Failure::None);
            ASSERT_EQ(read.pages().size(), 1);
            EXPECT_EQ(read.pages().first()->size(), QSizeF(c.pixels)) << "a page of the picture's size at 72 dpi";
            continue;
        }
        EXPECT_EQ(read.failure, Document::Contents::Failure::TooManyPixels);
        const QString told = rqs::localized("OpenFailedTooManyPixelsText").arg(c.pixels.width()).arg(c.pixels.height()).arg(c.decoded, c.limit);
        EXPECT_EQ(read.failureText().toStdString(), told.toStdString());
        EXPECT_TRUE(read.failureText().startsWith("The picture is too large")) << read.failureText().toStdString();
        ASSERT_EQ(log.lines().size(), 1) << log.lines().join("\n").toStdString();
        EXPECT_TRUE(log.lines().first().startsWith("Error: Could not make a page of the picture \"" + path + "\": its "
                                                    + QString::number(c.pixels.width()) + " × " + QString::number(c.pixels.height()) + " pixels"))
            << log.lines().first().toStdString();
        EXPECT_TRUE(log.lines().first().endsWith(QString(" pixels take %1 bytes decoded, and Qt decodes no picture of %2 MB or more")
                                                      .arg(4 * qint64(c.pixels.width()) * c.pixels.height())
                                                      .arg(c.limitMegabytes)))
            << log.lines().first().toStdString();
    }
}

// Each failure is one "Error: " line that names the file as what it is: a picture by its name
// that Qt cannot read is a picture, never a PDF; a PDF by its header, or a file that is neither
// by name nor by contents, is read as a PDF, which qpdf may mend.
TEST_F(DocumentTest, AFileThatCannotBeReadIsLoggedOnceAsWhatItIs)
{
    struct Case { const char *name; QByteArray bytes; const char *said; Document::Contents::Failure failure; };
    const QList<Case> cases{
        {"Scan.png", "hello", "Error: Could not make a page of the picture \"", Document::Contents::Failure::Damaged},
        {"Scan.JPG", QByteArray(300, 'x'), "Error: Could not make a page of the picture \"", Document::Contents::Failure::Damaged},
        {"Cut.png", PictureFixture::plainPng({40, 30}, Qt::red).left(60), "Error: Could not make a page of the picture \"", Document::Contents::Failure::Damaged},
        {"Report.pdf", "%PDF-1.4\nnothing more", "Error: Could not open PDF \"", Document::Contents::Failure::Damaged},
        {"Notes.txt", "hello", "Error: Could not open PDF \"", Document::Contents::Failure::Damaged},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = PdfFixture::write(folder.path(), c.name, c.bytes);
        platform::LogCapture log;
        const Document::Contents read = Document::readContents(path, false);
        EXPECT_EQ(read.failure, c.failure);
        ASSERT_EQ(log.lines().size(), 1) << log.lines().join("\n").toStdString();
        EXPECT_TRUE(log.lines().first().startsWith(c.said + path + "\"")) << log.lines().first().toStdString();
    }
}

// Memory that runs out while a picture is read is a failure told as such, not an exception that
// ends the process: the export tool reads a picture file of 2 GiB, Qt's limit raised to let it
// through, in 512 MiB of address space.
TEST_F(DocumentTest, MemoryThatRunsOutWhileAPictureIsReadIsToldAsAFailure)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit leaves";
#endif
    const QString path = PdfFixture::write(folder.path(), "scan.png", PictureFixture::encoded(PictureFixture::marked({40, 30}, Qt::white, Qt::red), "png"));
    ASSERT_TRUE(QFile::resize(path, qint64(2) << 30));
    const QString exported = folder.filePath("scan - Booklet.pdf");
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_IMAGEIO_MAXALLOC", "4096");
    tool.setProcessEnvironment(environment);
    tool.setChildProcessModifier([] {
        const rlimit addressSpace{rlim_t(512) << 20, rlim_t(512) << 20};
        ::setrlimit(RLIMIT_AS, &addressSpace);
    });
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(FOLDWISE_BOOKLET_EXPORT), {path, exported});
    ASSERT_TRUE(tool.waitForFinished(60000));
    const QString output = QString::fromUtf8(tool.readAll());
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(output.contains("Error: Could not read \"" + path + "\": there is not enough memory")) << output.toStdString();
    EXPECT_FALSE(QFile::exists(exported));
}

// A read that fails midway through a picture file is a file that cannot be read, not the end of
// the file: what was read before the failure is a whole picture, which opened as if it were all.
TEST_F(DocumentTest, APictureFileWhoseReadingFailsMidwayCannotBeRead)
{
    const QByteArray png = PictureFixture::encoded(PictureFixture::marked({40, 30}, Qt::white, Qt::red), "png");
    ASSERT_TRUE(QDir(folder.path()).mkdir("disk"));
    const FailingDisk disk(folder.filePath("disk"), "scan.png", png, png.size() + (1 << 20));
    if (!disk.mounted)
        GTEST_SKIP() << "a failing disk needs root and FUSE";
    ASSERT_TRUE(Document::isPictureFile(disk.path));
    platform::Progress progress;
    for (platform::Progress *counted : {static_cast<platform::Progress *>(nullptr), &progress}) {
        SCOPED_TRACE(counted ? "read with a progress" : "read at once");
        platform::LogCapture log;
        const Document::Contents read = Document::readContents(disk.path, false, counted);
        EXPECT_EQ(read.failure, Document::Contents::Failure::Unreadable);
        EXPECT_FALSE(read.picture.has_value());
        EXPECT_TRUE(log.contains("Error: Could not read \"" + disk.path + "\": Input/output error")) << log.lines().join("\n").toStdString();
    }
}

// The application quits while a damaged PDF of gigabytes is being repaired: the reading stops, and
// its thread has ended before the exit goes on to destroy what the thread uses; nothing is handed
// over.
TEST_F(DocumentTest, QuittingStopsTheReadingsUnderWayAndWaitsForTheirThreads)
{
    const QString download = PdfFixture::writeCutOff(folder.path(), "Download.pdf", qint64(64) << 30);
    ASSERT_FALSE(download.isEmpty());
    bool handedOver = false;
    VXDocumentReading reading(QUrl::fromLocalFile(download), false, [&](Document::Contents) { handedOver = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return reading.progress()->completedUnitCount() > 0; }, 20000));
    platform::LogCapture log;
    VXDocumentReading::stopAll();
    EXPECT_EQ(reading.progress().use_count(), 1) << "the reading's thread still holds its progress";
    EXPECT_TRUE(log.contains("Info: Stopped reading PDF \"" + download + "\", as was asked")) << log.lines().join("\n").toStdString();
    QCoreApplication::processEvents();
    EXPECT_FALSE(handedOver);
}
