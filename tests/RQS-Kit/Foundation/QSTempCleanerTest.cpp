#include "RQS-Kit/Foundation/QSTempCleaner.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"
#include "support/PdfFixture.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString writeFile(const QString &path) { return PdfFixture::write(path, "texture"); }

} // namespace

TEST(QSTempCleaner, NumberedCopiesKeepNameAndOptionsAndCountFailures)
{
    QTemporaryDir source;
    const QUrl linen = QUrl::fromLocalFile(writeFile(source.filePath("RQS-T#007#Cloth#soft.png")));
    QSTempCleaner cleaner;
    QStringList names;
    for (int i = 0; i < 2; ++i)
        names.append(QFileInfo(cleaner.tempCopyURLFor(linen, "Linen").toLocalFile()).fileName());
    EXPECT_EQ(names, QStringList({"RQS-X#000#Linen#soft.png", "RQS-X#001#Linen#soft.png"}));

    // A failed copy answers nothing and is reported.
    platform::LogCapture log;
    EXPECT_TRUE(cleaner.tempCopyURLFor(QUrl::fromLocalFile(source.filePath("gone.png"))).isEmpty());
    EXPECT_TRUE(log.contains("Warning: Could not copy"));
}

TEST(QSTempCleaner, TemporaryNamesAreTakenByCreatingThemAndQuittingRemovesRegisteredFilesAndOnlyEmptyFolders)
{
    QSTempCleaner cleaner;
    const QUrl lone = cleaner.fileURLForName("lone.txt");
    const QUrl shared = cleaner.fileURLForName("shared.txt");
    writeFile(lone.toLocalFile());
    writeFile(shared.toLocalFile());
    const QString keeper = writeFile(QFileInfo(shared.toLocalFile()).path() + QStringLiteral("/unregistered.txt"));
    cleaner.addURL(lone); // twice: the second removal fails quietly

    platform::LogCapture log;
    QTemporaryDir user;
    const QString userFile = writeFile(user.filePath("mine.txt"));
    EXPECT_FALSE(cleaner.addFile(userFile));
    EXPECT_TRUE(log.contains("it is no temporary file"));
    EXPECT_TRUE(cleaner.fileURLForName("../up.txt").isEmpty());

    cleaner.applicationWillQuit();
    EXPECT_FALSE(QFileInfo::exists(lone.toLocalFile()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(lone.toLocalFile()).path()));
    EXPECT_FALSE(QFileInfo::exists(shared.toLocalFile()));
    EXPECT_TRUE(QFileInfo::exists(keeper));
    EXPECT_TRUE(QFileInfo::exists(userFile));

    // Temporary names are taken by creating them.
    EXPECT_TRUE(QFileInfo(QSTempCleaner::tempURLWithExtension({}).toLocalFile()).isDir());
    const QFileInfo file(QSTempCleaner::tempURLWithExtension("png").toLocalFile());
    EXPECT_TRUE(file.isFile());
    EXPECT_EQ(file.path(), platform::TempFolder::path());

    QTemporaryDir source;
    const QString relative = QSTempCleaner::tempCopyFor(QUrl::fromLocalFile(writeFile(source.filePath("a.jpg"))));
    EXPECT_EQ(relative.count(QLatin1Char('/')), 1);
    EXPECT_TRUE(QFileInfo(platform::TempFolder::path() + QLatin1Char('/') + relative).isFile());
}
