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
