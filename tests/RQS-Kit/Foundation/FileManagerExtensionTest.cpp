#include "RQS-Kit/Foundation/FileManagerExtension.h"

#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A copy that does not fit, on a disk that is full or that takes part of it, fails with the
// system's reason and leaves no partial copy.
TEST(FileManagerExtension, ACopyOntoAFullDiskFailsSayingSoAndLeavesNothing)
{
    QTemporaryDir source;
    const QString original = PdfFixture::write(source.path(), "picture.tiff", QByteArray(100000, 'p'));
    for (const qsizetype room : {0, 8192}) {
        SCOPED_TRACE(QStringLiteral("%1 bytes free").arg(room).toStdString());
        QTemporaryDir folder;
        const FullDisk disk(folder.path(), "old", "old", room);
        if (!disk.mounted)
            GTEST_SKIP() << "a full disk needs root and a tmpfs";
        QString error;
        EXPECT_FALSE(rqs::copyFileExclusively(original, folder.filePath("copy.tiff"), &error));
        EXPECT_EQ(error, "the disk is full");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "old"}));
    }
}
