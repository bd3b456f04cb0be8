#include "RQS-Kit/Foundation/FileManagerExtension.h"
#include "RQS-Kit/Foundation/ImageExtension.h"
#include "RQS-Kit/Foundation/QSCachedImage.h"
#include "RQS-Kit/Foundation/QSImageMetadata.h"
#include "RQS-Kit/Foundation/QSStringDecoder.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"

#include "support/HostileFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>


namespace {

QStringList temporaryFiles()
{
    return QDir(platform::TempFolder::path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

// Every kit call that reads a file its caller names refuses what is no regular file at once,
// saying which file and why, and opens no pipe: it neither waits for a writer, nor copies a
// device without end into the temporary folder.
TEST(NamedFileReaders, RefuseWhatIsNoRegularFile)
{
    const HostileFiles hostile("png");
    QTemporaryDir copies;
    const QList<HostileFiles::Reader> readers{
        {"a cached picture", [](const QString &path) {
             platform::LogCapture log;
             const QStringList before = temporaryFiles();
             const bool made = QSCachedImage::cachedImageFile(path, 0) != nullptr;
             EXPECT_EQ(temporaryFiles(), before) << "nothing is left in the temporary folder";
             return made ? QString() : HostileFiles::loggedAfter(log, QStringLiteral("Warning: Could not read the image %1, because ").arg(path));
         }},
        {"a cached picture decoded when first used", [](const QString &path) {
             platform::LogCapture log;
             return QSCachedImage::cachedImageFile(path, 1) ? QString()
                                                            : HostileFiles::loggedAfter(log, QStringLiteral("Warning: Could not read the image %1, because ").arg(path));
         }},
        {"a text file", [](const QString &path) {
             QString error;
             return QSStringDecoder::contentsOfFile(path, QSStringDecoder::UTF8, &error) ? QString()
                                                                                        : error.remove(QStringLiteral("Could not open %1: ").arg(path));
         }},
        {"a picture by name in a folder", [](const QString &path) {
             platform::LogCapture log;
             const QFileInfo file(path);
             return rqs::imageNamed(file.completeBaseName(), file.path()).isNull()
                        ? HostileFiles::loggedAfter(log, QStringLiteral("Warning: Could not read the picture %1, because ").arg(path))
                        : QString();
         }},
        {"a picture's properties", [](const QString &path) {
             platform::LogCapture log;
             return QSImageMetadata::read(path).isEmpty()
                        ? HostileFiles::loggedAfter(log, QStringLiteral("Warning: Could not read the properties of %1, because ").arg(path))
                        : QString();
         }},
        {"a copy", [&copies](const QString &path) {
             QString error;
             const QString destination = copies.filePath("copy");
             const bool copied = rqs::copyFileExclusively(path, destination, &error);
             EXPECT_FALSE(QFileInfo::exists(destination)) << "no copy is begun";
             return copied ? QString() : error;
         }},
    };
    for (const HostileFiles::Reader &reader : readers) {
        SCOPED_TRACE(reader.name);
        for (const HostileFiles::File &file : hostile.files()) {
            SCOPED_TRACE(file.what.toStdString());
            EXPECT_EQ(reader.refusal(file.path), file.reason);
        }
    }
    EXPECT_EQ(hostile.pipesOpened(), QStringList()) << "a pipe was opened";
}
