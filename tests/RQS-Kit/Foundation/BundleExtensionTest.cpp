#include "RQS-Kit/Foundation/BundleExtension.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

using platform::Bundle;
using namespace rqs;

namespace {

void writeImage(const QString &path, const QColor &colour, int side = 4)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    // The format comes from the extension; the upper-case ones name it explicitly.
    ASSERT_TRUE(image.save(path, QFileInfo(path).suffix().toLower().toLatin1().constData())) << path.toStdString();
}

void writeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

void link(const QString &target, const QString &linkPath) { ASSERT_TRUE(QFile::link(target, linkPath)); }

QString fileName(const QString &path) { return QFileInfo(path).fileName(); }

QStringList fileNames(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names.append(fileName(path));
    return names;
}

} // namespace

TEST(BundleExtension, ResourceTypesNameTheirFoldersAndRandomStringsAvoidTheGivenNames)
{
    EXPECT_TRUE(directoryForResourceType("TST-Q").isNull());
    registerResourceDirectory("Quilts", "TST-Q");
    EXPECT_EQ(directoryForResourceType("TST-Q"), "Quilts");

    EXPECT_EQ(randomStringWithLength(0), QString(""));
    const QString alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QString name = randomStringWithLength(10);
    ASSERT_EQ(name.size(), 10);
    for (QChar c : name)
        EXPECT_TRUE(alphabet.contains(c)) << name.toStdString();

    // With all but one letter taken, the one left is the only answer.
    QStringList allButOne;
    for (QChar c : alphabet)
        allButOne.append(QString(c));
    allButOne.removeAll("Q");
    EXPECT_EQ(randomStringWithLength(1, allButOne), "Q");
}

TEST(BundleExtension, TemporaryDocumentFoldersAreNewAndListedByExtension)
{
    const QUrl folder = tempDocumentFolder();
    EXPECT_EQ(folder.toLocalFile(), platform::TempFolder::path() + QStringLiteral("/Foldwise"));

    const QUrl first = tempDocumentFolderFor("tdoc");
    const QFileInfo info(first.toLocalFile());
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.absolutePath(), folder.toLocalFile());
    EXPECT_EQ(info.suffix(), "tdoc");

    writeFile(folder.toLocalFile() + QStringLiteral("/Loose.TDOC"));
    const QList<QUrl> listed = tempDocumentsFor("TDoc");
    EXPECT_TRUE(listed.contains(first));
    EXPECT_TRUE(listed.contains(QUrl::fromLocalFile(folder.toLocalFile() + QStringLiteral("/Loose.TDOC"))));
}

TEST(BundleExtension, FailedTemporaryFolderIsReportedNotReturned)
{
    platform::LogCapture log;
    const QString tooLong(300, QLatin1Char('x'));
    EXPECT_TRUE(tempDocumentFolderFor(tooLong).isEmpty());
    EXPECT_TRUE(log.contains("Warning: Could not create Temp Folder at "));

    // A file where the application's folder belongs.
    const QString savedName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("Blocked");
    writeFile(platform::TempFolder::path() + QStringLiteral("/Blocked"));
    platform::LogCapture blockedLog;
    EXPECT_TRUE(tempDocumentFolder().isEmpty());
    EXPECT_TRUE(blockedLog.contains("Warning: Could not create Temp Folder at "
                                    + platform::TempFolder::path() + QStringLiteral("/Blocked because")));
    QFile::remove(platform::TempFolder::path() + QStringLiteral("/Blocked"));
    QCoreApplication::setApplicationName(savedName);
}

TEST(BundleExtension, ImageInBaseFolderByPrefixAndAvoidedSuffix)
{
    QTemporaryDir base;
    const QString textures = base.filePath("Textures");
    for (const char *name : {"/Abc-dark.png", "/Abc.png", "/Linen@2x.tiff", "/Silk.PNG"})
        writeImage(textures + name, Qt::white);
    writeFile(textures + "/Notes.txt");

    const struct { const char *prefix, *avoiding, *expected; } cases[] = {
        {"Abc", "", "Abc-dark.png"}, {"Abc", "-dark", "Abc.png"}, {"Linen", "@2x", nullptr},
        {"Silk", "", nullptr},       {"Notes", "", nullptr},      {"", "-dark", "Abc.png"},
    };
    platform::LogCapture log;
    for (const auto &c : cases) {
        const QUrl url = URLForImageResourceIn(base.path(), c.prefix, "Textures", c.avoiding);
        EXPECT_EQ(url, c.expected ? QUrl::fromLocalFile(textures + "/" + c.expected) : QUrl())
            << c.prefix << " avoiding " << c.avoiding;
    }
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(BundleExtension, ImageSearchFollowsBaseLinksAndReportsUnreadableFoldersLinksAndLoops)
{
    QTemporaryDir root;
    const QString first = root.filePath("First"), second = root.filePath("Second"), third = root.filePath("Third");
    QDir().mkpath(first);
    QDir().mkpath(second);
    writeImage(third + "/Masks/Star.tiff", Qt::white);
    link(second, first + "/Base.lnk");
    link("../Third", second + "/Base.lnk");
    // Second has no Masks folder at all; its link leads on to Third.
    EXPECT_EQ(URLForImageResourceIn(first, "Star", "Masks", {}), QUrl::fromLocalFile(third + "/Masks/Star.tiff"));

    const QString plainFile = root.filePath("PlainFile"), loopA = root.filePath("LoopA"), loopB = root.filePath("LoopB");
    writeFile(plainFile + "/Base.lnk");
    QDir().mkpath(loopA);
    QDir().mkpath(loopB + "/Masks");
    link(loopB, loopA + "/Base.lnk");
    link(loopA, loopB + "/Base.lnk");
    const std::pair<QString, const char *> cases[] = {
        {root.filePath("Missing"), "cannot be listed"}, {plainFile, "is not a symbolic link"}, {loopA, "lead back"}};
    for (const auto &[base, reason] : cases) {
        platform::LogCapture log;
        EXPECT_TRUE(URLForImageResourceIn(base, "Star", "Masks", "@2x").isEmpty()) << reason;
        ASSERT_EQ(log.lines().size(), 1) << reason;
        EXPECT_TRUE(log.lines().first().startsWith("Error: Looking for 'Star' in '"));
        EXPECT_TRUE(log.lines().first().contains(reason)) << log.lines().first().toStdString();
    }
}

TEST(BundleExtension, ImagePathPrefersTheDoubleResolutionFileWhenAskedAndTiffThenPngThenJpeg)
{
    QTemporaryDir dir;
    writeImage(dir.filePath("Both.png"), Qt::white, 4);
    writeImage(dir.filePath("Both@2x.png"), Qt::black, 8);
    writeImage(dir.filePath("Only2x@2x.png"), Qt::black, 8);
    writeImage(dir.filePath("Plain.png"), Qt::white, 4);
    writeImage(dir.filePath("Multi.png"), Qt::white);
    writeImage(dir.filePath("Multi.tiff"), Qt::red);
    writeImage(dir.filePath("Pic~iPad@2x.tiff"), Qt::black);
    writeImage(dir.filePath("Pic.png"), Qt::white);
    const Bundle bundle(dir.path());
    const QString png = "png";

    // There is no window in the tests, so the screen counts as below 1.5 and "@2x" is the last resort.
    const struct { const char *name; bool prefer2X; const char *expected; } cases[] = {
        {"Both", true, "Both@2x.png"}, {"Both", false, "Both.png"}, {"Plain", true, "Plain.png"},
        {"Only2x", false, "Only2x@2x.png"}, {"Missing", true, nullptr},
    };
    for (const auto &c : cases)
        EXPECT_EQ(imagePath(bundle, c.name, png, c.prefer2X), c.expected ? dir.filePath(c.expected) : QString()) << c.name;
    EXPECT_EQ(imagePath(bundle, "Multi", false), dir.filePath("Multi.tiff"));

    // By prefix, device suffixes are dropped.
    EXPECT_EQ(pathForImageWithPrefix(bundle, "Pic~"), dir.filePath("Pic.png"));
    EXPECT_TRUE(pathForImageWithPrefix(bundle, "Nothing").isNull());
}

TEST(BundleExtension, ImageResourcesOfASubfolder)
{
    QTemporaryDir dir;
    const QString textures = dir.filePath("Textures");
    for (const char *name : {"/RQS-T#001#Linen.png", "/RQS-T#001#Linen@2x.png", "/RQS-T#002#Silk.tiff", "/RQS-T#003#Wool.jpg",
                             "/RQS-T#005#Big.PNG"})
        writeImage(textures + name, Qt::white);
    writeFile(textures + "/RQS-T#004#Map.pdf");
    const Bundle bundle(dir.path());
    const QString folder = "Textures";

    const struct { const char *prefix, *avoiding, *expected; } cases[] = {
        {"RQS-T#001", "@2x", "RQS-T#001#Linen.png"}, {"RQS-T#", "", "RQS-T#002#Silk.tiff"},
        {"RQS-T#004", "", "RQS-T#004#Map.pdf"},      {"RQS-T#005", "", nullptr},
    };
    for (const auto &c : cases) {
        const QString expected = c.expected ? textures + "/" + c.expected : QString();
        EXPECT_EQ(pathForImageResourceWithPrefix(bundle, c.prefix, folder, c.avoiding), expected) << c.prefix;
    }
    EXPECT_EQ(fileNames(pathsForImageResourcesAvoding(bundle, "@2x", folder)),
              (QStringList{"RQS-T#002#Silk.tiff", "RQS-T#001#Linen.png", "RQS-T#003#Wool.jpg", "RQS-T#004#Map.pdf"}));
    EXPECT_EQ(resourceIDNamesForImageResourcesAvoding(bundle, "@2x", folder),
              (QStringList{"RQS-T#002#Silk", "RQS-T#001#Linen", "RQS-T#003#Wool", "RQS-T#004#Map"}));
}

TEST(BundleExtension, OnePicturePerNameInAFolder)
{
    QTemporaryDir dir;
    for (const char *name : {"Mixed/Dot.tiff", "Mixed/Dot~iPhone.tiff", "Mixed/Line@2x.tiff", "Mixed/Line~iPad.tiff",
                             "Mixed/Other.png", "Top.tiff", "Top@2x.tiff"})
        writeImage(dir.filePath(name), Qt::white);
    const Bundle bundle(dir.path());

    EXPECT_EQ(fileNames(imagePathsInDirectory(bundle, "Mixed")), (QStringList{"Dot.tiff", "Line@2x.tiff", "Line~iPad.tiff"}));
    EXPECT_EQ(fileNames(imagePathsInDirectory(bundle)), QStringList{"Top.tiff"});
}
