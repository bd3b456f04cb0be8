#include "platform/foundation/Log.h"
#include "platform/foundation/PictureFileReader.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RegularFile.h"
#include "platform/fx/Image.h"
#include "platform/graphics/PngReader.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/HostileFiles.h"
#include "support/PdfFixture.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>


using platform::RegularFile::MaxWholeBytes;

using Reader = HostileFiles::Reader;

// Every reader of the platform that a caller hands a path refuses what is no regular file at
// once, with the reason, and opens no pipe.
TEST(RegularFile, EveryReaderOfANamedFileRefusesWhatIsNoRegularFile)
{
    const HostileFiles hostile("png");
    const QList<Reader> readers{
        {"the whole file", [](const QString &path) {
             QString reason;
             return platform::RegularFile::read(path, MaxWholeBytes, &reason) ? QString() : reason;
         }},
        {"an open file", [](const QString &path) {
             QFile file;
             QString reason;
             return platform::RegularFile::open(file, path, &reason) ? QString() : reason;
         }},
        {"a picture", [](const QString &path) {
             platform::LogCapture log;
             return platform::PictureFileReader::read(path).isNull()
                        ? HostileFiles::loggedAfter(log, QStringLiteral("Warning: Could not read the picture %1, because ").arg(path))
                        : QString();
         }},
        {"a property list", [](const QString &path) {
             QString error;
             return platform::PropertyList::read(path, &error).isValid() ? QString() : error;
         }},
        {"a PDF", [](const QString &path) {
             platform::LogCapture log;
             return platform::PdfDocument::open(path) ? QString() : HostileFiles::loggedAfter(log, QStringLiteral("Error: Could not open PDF \"%1\": ").arg(path));
         }},
        {"an engine's picture", [](const QString &path) {
             platform::LogCapture log;
             return platform::fx::Image::fromFile(path).isNull()
                        ? HostileFiles::loggedAfter(log, QStringLiteral("Error: Could not read the picture %1, because ").arg(path))
                        : QString();
         }},
        {"a PNG read by rows", [](const QString &path) {
             QString error;
             return platform::PngReader::open(path, &error) ? QString() : error.remove(QStringLiteral("it cannot be opened: "));
         }},
        {"an interface file", [](const QString &path) {
             platform::LogCapture log;
             return platform::InterfaceLoader::loadFile(path, nullptr)
                        ? QString()
                        : HostileFiles::loggedAfter(log, QStringLiteral("Warning: Interface file %1 could not be read: ").arg(path));
         }},
    };
    for (const Reader &reader : readers) {
        SCOPED_TRACE(reader.name);
        for (const HostileFiles::File &file : hostile.files()) {
            SCOPED_TRACE(file.what.toStdString());
            EXPECT_EQ(reader.refusal(file.path), file.reason);
        }
    }
    EXPECT_EQ(hostile.pipesOpened(), QStringList()) << "a pipe was opened";
}

// A file read whole holds at most the bound it is read with; one byte more refuses it.
TEST(RegularFile, ReadsAWholeFileUpToItsBound)
{
    QTemporaryDir folder;
    const QByteArray bytes(70000, 'x');
    const QString path = PdfFixture::write(folder.path(), "text", bytes);
    EXPECT_EQ(platform::RegularFile::read(path, bytes.size()), bytes);
    QString reason;
    EXPECT_EQ(platform::RegularFile::read(path, bytes.size() - 1, &reason), std::nullopt);
    EXPECT_EQ(reason, "it is larger than 69999 bytes");
    EXPECT_EQ(platform::RegularFile::read(PdfFixture::write(folder.path(), "empty", {})), QByteArray());
    EXPECT_EQ(platform::RegularFile::read(folder.filePath("missing"), MaxWholeBytes, &reason), std::nullopt);
    EXPECT_EQ(reason, "No such file or directory");
}

// Qt is handed the opened file, not its name: the format comes from the content.
TEST(RegularFile, APictureIsReadByItsContent)
{
    QTemporaryDir folder;
    QImage green(3, 2, QImage::Format_RGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(folder.filePath("green.jpg"), "PNG")) << "a PNG named as a JPEG";
    const QImage read = platform::PictureFileReader::read(folder.filePath("green.jpg"));
    ASSERT_EQ(read.size(), QSize(3, 2));
    EXPECT_EQ(read.pixelColor(2, 1), QColor(Qt::green));
}
