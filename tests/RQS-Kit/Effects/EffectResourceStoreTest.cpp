#include "RQS-Kit/Effects/QSEffectResourceStore.h"
#include "platform/foundation/Log.h"

#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

// A chosen picture that the full disk cannot take is no resource, with the system's reason.
TEST(EffectResourceStore, APictureOntoAFullDiskIsNotStoredAndTheReasonIsLogged)
{
    QTemporaryDir chosen;
    const QString photo = PdfFixture::write(chosen.path(), "photo.png", QByteArray(100000, 'p'));
    ASSERT_TRUE(QDir().mkpath(QSEffectResourceStore::folder()));
    const FullDisk disk(QSEffectResourceStore::folder(), "old.png", "old");
    if (!disk.mounted)
        GTEST_SKIP() << "a full disk needs root and a tmpfs";
    platform::LogCapture log;
    EXPECT_EQ(QSEffectResourceStore::storeCopyOf(QUrl::fromLocalFile(photo)), "");
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error: Could not copy the picture %1 into %2, because the disk is full")
                                           .arg(photo, QSEffectResourceStore::folder())});
    EXPECT_EQ(QDir(QSEffectResourceStore::folder()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "old.png"}));
}
