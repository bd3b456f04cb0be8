#include "platform/foundation/AtomicFileWriter.h"

#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using platform::AtomicFileWriter;

// One byte waits in the write buffer until the last flush; the larger write fails on its way, on a
// disk that is full or that takes part of it.
TEST(AtomicFileWriter, OnAFullDiskFailsWithTheSystemsReasonAndKeepsTheOldFile)
{
    for (const auto &[size, room] : {std::pair<qsizetype, qsizetype>{1, 0}, {100000, 0}, {100000, 8192}}) {
        SCOPED_TRACE(QStringLiteral("%1 bytes onto %2 free").arg(size).arg(room).toStdString());
        QTemporaryDir dir;
        const FullDisk disk(dir.path(), "old.pdf", "%PDF-1.4 old", room);
        if (!disk.mounted)
            GTEST_SKIP() << "a full disk needs root and a tmpfs";
        QString error;
        EXPECT_FALSE(AtomicFileWriter::write(disk.oldFile, QByteArray(size, 'n'), &error));
        EXPECT_EQ(error, "the disk is full");
        EXPECT_EQ(PdfFixture::read(disk.oldFile), "%PDF-1.4 old");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "old.pdf"}));
    }
}

TEST(AtomicFileWriter, WritesOnlyOntoARegularFileSomeoneMayWriteAndKeepsItsMode)
{
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0644), 0);
    const struct { const char *name; mode_t mode; bool written; } cases[] = {
        {"fifo", S_IFIFO | 0644, false},
        {"read-only", S_IFREG | 0444, false},
        {"shared", S_IFREG | 0640, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        if (S_ISREG(c.mode)) {
            ASSERT_EQ(::chmod(QFile::encodeName(PdfFixture::write(dir.path(), c.name, "old")).constData(), c.mode & 0777), 0);
        }
        QString error;
        EXPECT_EQ(AtomicFileWriter::write(path, "new", &error), c.written);
        EXPECT_EQ(error.isEmpty(), c.written);
        struct stat status {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0, c.mode);
        if (S_ISREG(c.mode)) {
            EXPECT_EQ(PdfFixture::read(path), c.written ? "new" : "old");
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"fifo", "read-only", "shared"}));
}
