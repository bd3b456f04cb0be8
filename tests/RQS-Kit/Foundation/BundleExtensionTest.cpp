#include "RQS-Kit/Foundation/BundleExtension.h"

#include "platform/Log.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSet>
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

TEST(BundleExtension, ResourceTypesNameTheirFolders)
{
    EXPECT_EQ(directoryForResourceType(QStringLiteral("FRM-M")), QStringLiteral("Masks"));
    EXPECT_EQ(directoryForResourceType(QStringLiteral("RQS-M")), QStringLiteral("Masks"));
    EXPECT_EQ(directoryForResourceType(QStringLiteral("FRM-E")), QStringLiteral("ExternalMasks"));
    EXPECT_EQ(directoryForResourceType(QStringLiteral("RQS-B")), QStringLiteral("Backgrounds"));

    EXPECT_TRUE(directoryForResourceType(QStringLiteral("TST-Q")).isNull());
    registerResourceDirectory(QStringLiteral("Quilts"), QStringLiteral("TST-Q"));
    EXPECT_EQ(directoryForResourceType(QStringLiteral("TST-Q")), QStringLiteral("Quilts"));
    registerResourceDirectory(QStringLiteral("Patches"), QStringLiteral("TST-Q"));
    EXPECT_EQ(directoryForResourceType(QStringLiteral("TST-Q")), QStringLiteral("Patches"));
}

TEST(BundleExtension, GraphicsBundleIsTheMainBundle)
{
    EXPECT_EQ(graphicsBundle()->bundlePath(), Bundle::mainBundle()->bundlePath());
}

TEST(BundleExtension, RandomStringsAvoidTheGivenNames)
{
    EXPECT_EQ(randomStringWithLength(0), QString(""));
    EXPECT_EQ(randomStringWithLength(-3), QString(""));

    const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QStringList taken;
    for (int i = 0; i < 1000; ++i)
        taken.append(randomStringWithLength(10));
    EXPECT_EQ(QSet<QString>(taken.cbegin(), taken.cend()).size(), 1000);
    for (const QString &name : taken) {
        ASSERT_EQ(name.size(), 10);
        for (QChar c : name)
            ASSERT_TRUE(alphabet.contains(c)) << name.toStdString();
    }
    const QString fresh = randomStringWithLength(10, taken);
    EXPECT_EQ(fresh.size(), 10);
    EXPECT_FALSE(taken.contains(fresh));

    // With all but one letter taken, the one left is the only answer.
    QStringList allButOne;
    for (QChar c : alphabet)
        allButOne.append(QString(c));
    allButOne.removeAll(QStringLiteral("Q"));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(randomStringWithLength(1, allButOne), QStringLiteral("Q"));
}

TEST(BundleExtension, TemporaryDocumentFoldersAreNewAndListedByExtension)
{
    const QUrl folder = tempDocumentFolder();
    ASSERT_TRUE(folder.isLocalFile());
    EXPECT_EQ(folder.toLocalFile(), platform::TempFolder::path() + QStringLiteral("/Foldwise"));
    EXPECT_TRUE(QFileInfo(folder.toLocalFile()).isDir());

    const QUrl first = tempDocumentFolderFor(QStringLiteral("tdoc"));
    const QUrl second = tempDocumentFolderFor(QStringLiteral("tdoc"));
    ASSERT_TRUE(first.isLocalFile());
    ASSERT_TRUE(second.isLocalFile());
    EXPECT_NE(first, second);
    for (const QUrl &url : {first, second}) {
        const QFileInfo info(url.toLocalFile());
        EXPECT_TRUE(info.isDir());
        EXPECT_EQ(info.absolutePath(), folder.toLocalFile());
        EXPECT_EQ(info.completeBaseName().size(), 10);
        EXPECT_EQ(info.suffix(), QStringLiteral("tdoc"));
        EXPECT_EQ(info.permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther), QFile::Permissions());
    }

    writeFile(folder.toLocalFile() + QStringLiteral("/Loose.TDOC"));
    writeFile(folder.toLocalFile() + QStringLiteral("/Other.tdocx"));
    QStringList listed;
    for (const QUrl &url : tempDocumentsFor(QStringLiteral("TDoc")))
        listed.append(url.toLocalFile());
    listed.sort();
    QStringList expected{first.toLocalFile(), second.toLocalFile(), folder.toLocalFile() + QStringLiteral("/Loose.TDOC")};
    expected.sort();
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(tempDocumentsFor(QStringLiteral("none")).isEmpty());
}

TEST(BundleExtension, FailedTemporaryFolderIsReportedNotReturned)
{
    platform::LogCapture log;
    const QString tooLong(300, QLatin1Char('x'));
    EXPECT_TRUE(tempDocumentFolderFor(tooLong).isEmpty());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Warning: Could not create Temp Folder at ")));

    // A file where the application's folder belongs.
    const QString savedName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Blocked"));
    writeFile(platform::TempFolder::path() + QStringLiteral("/Blocked"));
    platform::LogCapture blockedLog;
    EXPECT_TRUE(tempDocumentFolder().isEmpty());
    EXPECT_TRUE(tempDocumentFolderFor(QStringLiteral("tdoc")).isEmpty());
    EXPECT_TRUE(tempDocumentsFor(QStringLiteral("tdoc")).isEmpty());
    EXPECT_TRUE(blockedLog.contains(QStringLiteral("Warning: Could not create Temp Folder at ")
                                    + platform::TempFolder::path() + QStringLiteral("/Blocked because")));
    QFile::remove(platform::TempFolder::path() + QStringLiteral("/Blocked"));
    QCoreApplication::setApplicationName(savedName);
}

TEST(BundleExtension, ImageInBaseFolderByPrefixAndAvoidedSuffix)
{
    QTemporaryDir base;
    const QString textures = base.filePath(QStringLiteral("Textures"));
    writeImage(textures + QStringLiteral("/Abc-dark.png"), Qt::black);
    writeImage(textures + QStringLiteral("/Abc.png"), Qt::white);
    writeImage(textures + QStringLiteral("/Linen@2x.tiff"), Qt::gray);
    writeImage(textures + QStringLiteral("/Silk.PNG"), Qt::red);
    writeImage(textures + QStringLiteral("/Wool.jpg"), Qt::green);
    writeFile(textures + QStringLiteral("/Notes.txt"));

    const struct {
        const char *prefix;
        const char *avoiding;
        const char *expected;
    } cases[] = {
        {"Abc", "", "Abc-dark.png"},
        {"Abc", "-dark", "Abc.png"},
        {"Linen", "", "Linen@2x.tiff"},
        {"Linen", "@2x", nullptr},
        {"Silk", "", nullptr},
        {"Notes", "", nullptr},
        {"Wool", "", "Wool.jpg"},
        {"Abc-dark-and-more", "", nullptr},
        {"Abc", "LongerThanAnyStem", "Abc-dark.png"},
        {"", "", "Abc-dark.png"},
        {"", "-dark", "Abc.png"},
    };
    platform::LogCapture log;
    for (const auto &c : cases) {
        const QUrl url = URLForImageResourceIn(base.path(), QString::fromUtf8(c.prefix), QStringLiteral("Textures"),
                                               QString::fromUtf8(c.avoiding));
        if (c.expected)
            EXPECT_EQ(url, QUrl::fromLocalFile(textures + QLatin1Char('/') + QString::fromUtf8(c.expected)))
                << c.prefix << " avoiding " << c.avoiding;
        else
            EXPECT_TRUE(url.isEmpty()) << c.prefix << " avoiding " << c.avoiding;
    }
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(BundleExtension, ImageSearchFollowsBaseLinks)
{
    QTemporaryDir root;
    const QString first = root.filePath(QStringLiteral("First"));
    const QString second = root.filePath(QStringLiteral("Second"));
    const QString third = root.filePath(QStringLiteral("Third"));
    writeImage(first + QStringLiteral("/Masks/Oval.png"), Qt::white);
    QDir().mkpath(second);
    writeImage(third + QStringLiteral("/Masks/Star.tiff"), Qt::white);
    link(second, first + QStringLiteral("/Base.lnk"));
    link(QStringLiteral("../Third"), second + QStringLiteral("/Base.lnk"));

    platform::LogCapture log;
    EXPECT_EQ(URLForImageResourceIn(first, QStringLiteral("Oval"), QStringLiteral("Masks"), {}),
              QUrl::fromLocalFile(first + QStringLiteral("/Masks/Oval.png")));
    // Second has no Masks folder at all; its link leads on to Third.
    EXPECT_EQ(URLForImageResourceIn(first, QStringLiteral("Star"), QStringLiteral("Masks"), {}),
              QUrl::fromLocalFile(third + QStringLiteral("/Masks/Star.tiff")));
    EXPECT_TRUE(URLForImageResourceIn(first, QStringLiteral("Square"), QStringLiteral("Masks"), {}).isEmpty());
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(BundleExtension, ImageSearchReportsUnreadableFoldersLinksAndLoops)
{
    QTemporaryDir root;
    const QString missing = root.filePath(QStringLiteral("Missing"));
    const QString plainFile = root.filePath(QStringLiteral("PlainFile"));
    const QString loopA = root.filePath(QStringLiteral("LoopA"));
    const QString loopB = root.filePath(QStringLiteral("LoopB"));
    writeFile(plainFile + QStringLiteral("/Base.lnk"));
    writeImage(loopA + QStringLiteral("/Masks/Oval.png"), Qt::white);
    QDir().mkpath(loopB + QStringLiteral("/Masks"));
    link(loopB, loopA + QStringLiteral("/Base.lnk"));
    link(loopA, loopB + QStringLiteral("/Base.lnk"));

    const struct {
        QString base;
        const char *reason;
    } cases[] = {
        {missing, "cannot be listed"},
        {plainFile, "is not a symbolic link"},
        {loopA, "lead back"},
    };
    for (const auto &c : cases) {
        platform::LogCapture log;
        EXPECT_TRUE(URLForImageResourceIn(c.base, QStringLiteral("Star"), QStringLiteral("Masks"), QStringLiteral("@2x"))
                        .isEmpty())
            << c.reason;
        ASSERT_EQ(log.lines().size(), 1) << c.reason;
        EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Error: Looking for 'Star' in '")));
        EXPECT_TRUE(log.lines().first().contains(QStringLiteral("' avoiding '@2x' failed, because "))) << c.reason;
        EXPECT_TRUE(log.lines().first().contains(QString::fromUtf8(c.reason))) << log.lines().first().toStdString();
    }
    // A loop still finds what lies on its way.
    EXPECT_EQ(URLForImageResourceIn(loopB, QStringLiteral("Oval"), QStringLiteral("Masks"), {}),
              QUrl::fromLocalFile(loopA + QStringLiteral("/Masks/Oval.png")));
}

TEST(BundleExtension, ImagePathPrefersTheDoubleResolutionFileWhenAsked)
{
    QTemporaryDir dir;
    writeImage(dir.filePath(QStringLiteral("Both.png")), Qt::white, 4);
    writeImage(dir.filePath(QStringLiteral("Both@2x.png")), Qt::black, 8);
    writeImage(dir.filePath(QStringLiteral("Only2x@2x.png")), Qt::black, 8);
    writeImage(dir.filePath(QStringLiteral("Plain.png")), Qt::white, 4);
    const Bundle bundle(dir.path());

    EXPECT_EQ(fileExistsAtPath(bundle, QStringLiteral("Plain"), QStringLiteral("png")), dir.filePath(QStringLiteral("Plain.png")));
    EXPECT_TRUE(fileExistsAtPath(bundle, QStringLiteral("Plain"), QStringLiteral("tiff")).isNull());

    // There is no window in the tests, so the screen counts as below 1.5 and "@2x" is the last resort.
    const struct {
        const char *name;
        bool prefer2X;
        const char *expected;
    } cases[] = {
        {"Both", true, "Both@2x.png"},  {"Both", false, "Both.png"},        {"Plain", true, "Plain.png"},
        {"Plain", false, "Plain.png"},  {"Only2x", true, "Only2x@2x.png"}, {"Only2x", false, "Only2x@2x.png"},
        {"Missing", true, nullptr},     {"", true, nullptr},
    };
    for (const auto &c : cases) {
        const QString path = imagePath(bundle, QString::fromUtf8(c.name), QStringLiteral("png"), c.prefer2X);
        if (c.expected)
            EXPECT_EQ(path, dir.filePath(QString::fromUtf8(c.expected))) << c.name << " " << c.prefer2X;
        else
            EXPECT_TRUE(path.isNull()) << c.name << " " << c.prefer2X;
    }

    EXPECT_EQ(imageNamed(bundle, QStringLiteral("Both"), QStringLiteral("png"), true).size(), QSize(8, 8));
    EXPECT_EQ(imageNamed(bundle, QStringLiteral("Both"), QStringLiteral("png")).size(), QSize(4, 4));
    EXPECT_EQ(imageNamed(bundle, QStringLiteral("Both")).pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(pathForImageNamed(bundle, QStringLiteral("Only2x")), dir.filePath(QStringLiteral("Only2x@2x.png")));
    EXPECT_TRUE(imageNamed(bundle, QStringLiteral("Missing")).isNull());
}

TEST(BundleExtension, ImagePathTriesTiffThenPngThenJpeg)
{
    QTemporaryDir dir;
    writeImage(dir.filePath(QStringLiteral("Multi.png")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Multi.tiff")), Qt::red);
    writeImage(dir.filePath(QStringLiteral("Photo.jpg")), Qt::white);
    writeFile(dir.filePath(QStringLiteral("Vector.pdf")));
    const Bundle bundle(dir.path());

    EXPECT_EQ(imagePath(bundle, QStringLiteral("Multi"), false), dir.filePath(QStringLiteral("Multi.tiff")));
    EXPECT_EQ(imagePath(bundle, QStringLiteral("Photo"), true), dir.filePath(QStringLiteral("Photo.jpg")));
    EXPECT_TRUE(imagePath(bundle, QStringLiteral("Vector"), false).isNull());
    EXPECT_EQ(imageNamed(bundle, QStringLiteral("Multi"), false).pixelColor(1, 1), QColor(Qt::red));
}

TEST(BundleExtension, ImageByPrefixDropsDeviceSuffixes)
{
    QTemporaryDir dir;
    writeImage(dir.filePath(QStringLiteral("Pic~iPad@2x.tiff")), Qt::black);
    writeImage(dir.filePath(QStringLiteral("Pic.png")), Qt::white);
    const Bundle bundle(dir.path());

    EXPECT_EQ(pathForImageWithPrefix(bundle, QStringLiteral("Pic~")), dir.filePath(QStringLiteral("Pic.png")));
    EXPECT_EQ(imageWithPrefix(bundle, QStringLiteral("Pic~")).pixelColor(0, 0), QColor(Qt::white));
    EXPECT_TRUE(pathForImageWithPrefix(bundle, QStringLiteral("Nothing")).isNull());
    EXPECT_TRUE(pathForImageWithPrefix(bundle, QString()).isNull());
    EXPECT_TRUE(imageWithPrefix(bundle, QStringLiteral("Nothing")).isNull());
}

TEST(BundleExtension, ImageResourcesOfASubfolder)
{
    QTemporaryDir dir;
    const QString textures = dir.filePath(QStringLiteral("Textures"));
    writeImage(textures + QStringLiteral("/RQS-T#001#Linen.png"), Qt::white);
    writeImage(textures + QStringLiteral("/RQS-T#001#Linen@2x.png"), Qt::white);
    writeImage(textures + QStringLiteral("/RQS-T#002#Silk.tiff"), Qt::white);
    writeImage(textures + QStringLiteral("/RQS-T#003#Wool.jpg"), Qt::white);
    writeFile(textures + QStringLiteral("/RQS-T#004#Map.pdf"));
    writeImage(textures + QStringLiteral("/RQS-T#005#Big.PNG"), Qt::white);
    const Bundle bundle(dir.path());
    const QString folder = QStringLiteral("Textures");

    const struct {
        const char *prefix;
        const char *avoiding;
        const char *expected;
    } cases[] = {
        {"RQS-T#001", "@2x", "RQS-T#001#Linen.png"},
        {"RQS-T#", "", "RQS-T#002#Silk.tiff"},
        {"@2x", "", "RQS-T#001#Linen@2x.png"},
        {"Linen@2x", "@2x", nullptr},
        {"RQS-T#004", "", "RQS-T#004#Map.pdf"},
        {"RQS-T#005", "", nullptr},
        {"", "", nullptr},
    };
    for (const auto &c : cases) {
        const QString path =
            pathForImageResourceWithPrefix(bundle, QString::fromUtf8(c.prefix), folder, QString::fromUtf8(c.avoiding));
        if (c.expected)
            EXPECT_EQ(path, textures + QLatin1Char('/') + QString::fromUtf8(c.expected)) << c.prefix;
        else
            EXPECT_TRUE(path.isNull()) << c.prefix;
    }

    EXPECT_EQ(fileNames(pathsForImageResourcesAvoding(bundle, QStringLiteral("@2x"), folder)),
              (QStringList{QStringLiteral("RQS-T#002#Silk.tiff"), QStringLiteral("RQS-T#001#Linen.png"),
                           QStringLiteral("RQS-T#003#Wool.jpg"), QStringLiteral("RQS-T#004#Map.pdf")}));
    EXPECT_EQ(pathsForImageResourcesAvoding(bundle, {}, folder).size(), 5);
    EXPECT_EQ(resourceIDNamesForImageResourcesAvoding(bundle, QStringLiteral("@2x"), folder),
              (QStringList{QStringLiteral("RQS-T#002#Silk"), QStringLiteral("RQS-T#001#Linen"),
                           QStringLiteral("RQS-T#003#Wool"), QStringLiteral("RQS-T#004#Map")}));
    EXPECT_EQ(resourceIDNamesForImageResourcesAvoding(bundle, {}, folder).count(QStringLiteral("RQS-T#001#Linen")), 2);
    EXPECT_TRUE(pathsForImageResourcesAvoding(bundle, {}, QStringLiteral("Nowhere")).isEmpty());
}

TEST(BundleExtension, OnePicturePerNameInAFolder)
{
    QTemporaryDir dir;
    writeImage(dir.filePath(QStringLiteral("Plain/Pic.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Plain/Pic@2x.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Variants/Pic@2x.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Variants/Pic~iPad.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Mixed/Dot.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Mixed/Dot~iPhone.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Mixed/Line~iPad@2x.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Mixed/Other.png")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Top.tiff")), Qt::white);
    writeImage(dir.filePath(QStringLiteral("Top@2x.tiff")), Qt::white);
    const Bundle bundle(dir.path());

    const struct {
        QString folder;
        QStringList expected;
    } cases[] = {
        {QStringLiteral("Plain"), {QStringLiteral("Pic.tiff")}},
        {QStringLiteral("Variants"), {QStringLiteral("Pic@2x.tiff"), QStringLiteral("Pic~iPad.tiff")}},
        {QStringLiteral("Mixed"), {QStringLiteral("Dot.tiff"), QStringLiteral("Line~iPad@2x.tiff")}},
        {QString(), {QStringLiteral("Top.tiff")}},
        {QStringLiteral("Nowhere"), {}},
    };
    for (const auto &c : cases) {
        const QStringList paths = imagePathsInDirectory(bundle, c.folder);
        EXPECT_EQ(fileNames(paths), c.expected) << c.folder.toStdString();
        for (const QString &path : paths)
            EXPECT_TRUE(QFileInfo(path).isAbsolute() && QFileInfo::exists(path)) << path.toStdString();
    }
}
