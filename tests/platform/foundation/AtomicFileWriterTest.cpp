#include "platform/foundation/AtomicFileWriter.h"

#include "support/PdfFixture.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::AtomicFileWriter;

TEST(AtomicFileWriter, OnAFullDiskFailsWithTheSystemsReasonAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::geteuid() != 0 || ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "a 16 KiB tmpfs needs root and a system that lets it be mounted";
    const auto unmount = qScopeGuard([&] { ::umount(mountPoint.constData()); });
    const QString old = PdfFixture::write(dir.path(), "old.pdf", "%PDF-1.4 old");
    PdfFixture::write(dir.path(), "filler", QByteArray(16 * 1024, 'x'));
    // One byte waits in the write buffer until the last flush; the larger write fails on its way.
    for (const qsizetype size : {1, 100000}) {
        QString error;
        EXPECT_FALSE(AtomicFileWriter::write(old, QByteArray(size, 'n'), &error)) << size;
        EXPECT_EQ(error, "No space left on device");
        EXPECT_EQ(PdfFixture::read(old), "%PDF-1.4 old");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "old.pdf"}));
    }
}

TEST(AtomicFileWriter, WritesOnlyOntoARegularFileSomeoneMayWriteOrANewNameAndKeepsTheMode)
{
    QTemporaryDir dir;
    const struct { const char *name; mode_t made; QString error; mode_t after; QByteArray contents; } cases[] = {
        {"fifo", S_IFIFO | 0644, "it is not a regular file", S_IFIFO | 0644, {}},
        {"read-only", S_IFREG | 0444, "its permissions let no one write it", S_IFREG | 0444, "old"},
        {"shared", S_IFREG | 0640, "", S_IFREG | 0640, "new"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray path = QFile::encodeName(dir.filePath(c.name));
        if (S_ISFIFO(c.made)) {
            ASSERT_EQ(::mkfifo(path.constData(), 0644), 0);
        } else {
            ASSERT_EQ(::chmod(QFile::encodeName(PdfFixture::write(dir.path(), c.name, "old")).constData(), c.made & 0777), 0);
        }
        QString error;
        EXPECT_EQ(AtomicFileWriter::write(QFile::decodeName(path), "new", &error), c.error.isEmpty());
        EXPECT_EQ(error, c.error);
        struct stat status {};
        EXPECT_EQ(::stat(path.constData(), &status) == 0 ? status.st_mode : 0, c.after);
        EXPECT_EQ(S_ISREG(c.after) ? PdfFixture::read(QFile::decodeName(path)) : QByteArray(), c.contents);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"fifo", "read-only", "shared"}));
}
