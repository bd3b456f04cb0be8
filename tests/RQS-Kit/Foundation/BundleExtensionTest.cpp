#include "RQS-Kit/Foundation/BundleExtension.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"
#include "support/PdfFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using platform::Bundle;
using namespace rqs;

namespace {

void writeImage(const QString &path, int side = 4)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    // The format comes from the extension; the upper-case ones name it explicitly.
    ASSERT_TRUE(image.save(path, QFileInfo(path).suffix().toLower().toLatin1().constData())) << path.toStdString();
}

void link(const QString &target, const QString &linkPath) { ASSERT_TRUE(QFile::link(target, linkPath)); }

} // namespace

TEST(BundleExtension, RandomStringsAvoidTheGivenNames)
{
    EXPECT_EQ(randomStringWithLength(0), QString(""));
    // With all but one letter or digit taken, the one left is the only answer.
    QStringList allButOne;
    for (QChar c : QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"))
        allButOne.append(QString(c));
    allButOne.removeAll("Q");
    EXPECT_EQ(randomStringWithLength(1, allButOne), "Q");
}

// Once every name of the length is taken none is left to draw: the answer is empty, with a
// warning, rather than never coming. Names of other lengths or of other characters take none.
TEST(BundleExtension, RandomStringsEndWhenEveryNameIsTaken)
{
    const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QStringList single;
    for (QChar c : alphabet)
        single.append(QString(c));
    QStringList pairs;
    for (QChar first : alphabet) {
        for (QChar second : alphabet)
            pairs.append(QString(first) + second);
    }
    struct Case { const char *what; int length; QStringList taken; QString answer; };
    const QList<Case> cases{
        {"every single character", 1, single, ""},
        {"every single character twice, and others", 1, single + single + QStringList{"", "-", "\u00e9", "ab"}, ""},
        {"every pair of characters", 2, pairs, ""},
        {"every pair but the last", 2, pairs.mid(0, pairs.size() - 1), "99"},
        {"every single character but one among foreign ones", 1, QStringList(single.mid(1)) << "-" << "\u00e9", "a"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        platform::LogCapture log;
        EXPECT_EQ(randomStringWithLength(c.length, c.taken), c.answer);
        EXPECT_EQ(log.lines(), c.answer.isEmpty() ? QStringList{QStringLiteral("Warning: No random name of %1 characters is left: every one of the %2 is taken")
                                                                     .arg(c.length)
                                                                     .arg(c.length == 1 ? 62 : 3844)}
                                                 : QStringList());
    }
}

TEST(BundleExtension, TemporaryDocumentFoldersAreNewAndListedByExtensionAndFailuresAreReported)
{
    const QUrl folder = tempDocumentFolder();
    EXPECT_EQ(folder.toLocalFile(), platform::TempFolder::path() + QStringLiteral("/Foldwise"));
    const QUrl first = tempDocumentFolderFor("tdoc");
    const QFileInfo info(first.toLocalFile());
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.fileName().size(), 15) << "ten random characters and the extension";

    PdfFixture::write(folder.toLocalFile() + QStringLiteral("/Loose.TDOC"), {});
    const QList<QUrl> listed = tempDocumentsFor("TDoc");
    EXPECT_TRUE(listed.contains(first));
    EXPECT_TRUE(listed.contains(QUrl::fromLocalFile(folder.toLocalFile() + QStringLiteral("/Loose.TDOC"))));

    platform::LogCapture log;
    EXPECT_TRUE(tempDocumentFolderFor(QString(300, QLatin1Char('x'))).isEmpty());
    EXPECT_TRUE(log.contains("Warning: Could not create Temp Folder at "));

    // A file where the application's folder belongs is reported.
    const QString savedName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("Blocked");
    const QString blocked = platform::TempFolder::path() + QStringLiteral("/Blocked");
    PdfFixture::write(blocked, {});
    EXPECT_TRUE(tempDocumentFolder().isEmpty());
    EXPECT_TRUE(log.contains("Warning: Could not create Temp Folder at " + blocked + QStringLiteral(" because")));
    QFile::remove(blocked);
    QCoreApplication::setApplicationName(savedName);
}

TEST(BundleExtension, ImageInBaseFolderByPrefixAndAvoidedSuffixFollowingBaseLinks)
{
    QTemporaryDir base;
    const QString textures = base.filePath("Textures");
    for (const char *name : {"/Abc-dark.png", "/Abc.png", "/Linen@2x.tiff", "/Silk.PNG"})
        writeImage(textures + name);
    PdfFixture::write(textures + "/Notes.txt", {});

    const struct { const char *prefix, *avoiding, *expected; } cases[] = {
        {"Abc", "", "Abc-dark.png"}, {"Abc", "-dark", "Abc.png"}, {"Linen", "@2x", nullptr},
        {"Silk", "", nullptr},       {"Notes", "", nullptr},
    };
    for (const auto &c : cases) {
        const QUrl url = URLForImageResourceIn(base.path(), c.prefix, "Textures", c.avoiding);
        EXPECT_EQ(url, c.expected ? QUrl::fromLocalFile(textures + "/" + c.expected) : QUrl()) << c.prefix;
    }

    // The search follows "Base.lnk" links and reports unreadable folders, links that are none and loops.
    QTemporaryDir root;
    const QString first = root.filePath("First"), second = root.filePath("Second");
    QDir().mkpath(first);
    writeImage(second + "/Masks/Star.tiff");
    link(second, first + "/Base.lnk");
    EXPECT_EQ(URLForImageResourceIn(first, "Star", "Masks", {}), QUrl::fromLocalFile(second + "/Masks/Star.tiff"));

    const QString plainFile = root.filePath("PlainFile"), loopA = root.filePath("LoopA"), loopB = root.filePath("LoopB");
    PdfFixture::write(plainFile + "/Base.lnk", {});
    QDir().mkpath(loopA);
    QDir().mkpath(loopB);
    link(loopB, loopA + "/Base.lnk");
    link(loopA, loopB + "/Base.lnk");
    const std::pair<QString, const char *> failures[] = {
        {root.filePath("Missing"), "cannot be listed"}, {plainFile, "is not a symbolic link"}, {loopA, "lead back"}};
    for (const auto &[folder, reason] : failures) {
        platform::LogCapture log;
        EXPECT_TRUE(URLForImageResourceIn(folder, "Star", "Masks", "@2x").isEmpty()) << reason;
        ASSERT_EQ(log.lines().size(), 1) << reason;
        EXPECT_TRUE(log.lines().first().startsWith("Error: Looking for 'Star' in '"));
        EXPECT_TRUE(log.lines().first().contains(reason)) << log.lines().first().toStdString();
    }
}

TEST(BundleExtension, ImagePathPrefersTheDoubleResolutionFileWhenAskedAndTiffFirst)
{
    QTemporaryDir dir;
    for (const char *name : {"Both.png", "Both@2x.png", "Only2x@2x.png", "Multi.png", "Multi.tiff", "Pic~iPad@2x.tiff", "Pic.png"})
        writeImage(dir.filePath(name));
    const Bundle bundle(dir.path());

    // There is no window in the tests, so the screen counts as below 1.5 and "@2x" is the last resort.
    const struct { const char *name; bool prefer2X; const char *expected; } cases[] = {
        {"Both", true, "Both@2x.png"}, {"Both", false, "Both.png"}, {"Only2x", false, "Only2x@2x.png"}, {"Missing", true, nullptr},
    };
    for (const auto &c : cases)
        EXPECT_EQ(imagePath(bundle, c.name, "png", c.prefer2X), c.expected ? dir.filePath(c.expected) : QString()) << c.name;
    EXPECT_EQ(imagePath(bundle, "Multi", false), dir.filePath("Multi.tiff"));
    // By prefix, device suffixes are dropped.
    EXPECT_EQ(pathForImageWithPrefix(bundle, "Pic~"), dir.filePath("Pic.png"));
}

TEST(BundleExtension, ImageResourcesOfASubfolderAndOnePicturePerName)
{
    QTemporaryDir dir;
    const QString textures = dir.filePath("Textures");
    for (const char *name : {"/RQS-T#001#Linen.png", "/RQS-T#001#Linen@2x.png", "/RQS-T#002#Silk.tiff", "/RQS-T#005#Big.PNG"})
        writeImage(textures + name);
    PdfFixture::write(textures + "/RQS-T#004#Map.pdf", {});
    const Bundle bundle(dir.path());

    const struct { const char *prefix, *avoiding, *expected; } cases[] = {
        {"RQS-T#001", "@2x", "RQS-T#001#Linen.png"}, {"RQS-T#", "", "RQS-T#002#Silk.tiff"}, {"RQS-T#005", "", nullptr},
    };
    for (const auto &c : cases) {
        const QString expected = c.expected ? textures + "/" + c.expected : QString();
        EXPECT_EQ(pathForImageResourceWithPrefix(bundle, c.prefix, "Textures", c.avoiding), expected) << c.prefix;
    }
    EXPECT_EQ(resourceIDNamesForImageResourcesAvoding(bundle, "@2x", "Textures"),
              (QStringList{"RQS-T#002#Silk", "RQS-T#001#Linen", "RQS-T#004#Map"}));

    // One picture per name: the plain file when there is one, else every device variant.
    const QString mixed = dir.filePath("Mixed/");
    for (const char *name : {"Dot.tiff", "Dot~iPhone.tiff", "Line@2x.tiff", "Line~iPad.tiff", "Other.png"})
        writeImage(mixed + name);
    EXPECT_EQ(imagePathsInDirectory(bundle, "Mixed"),
              (QStringList{mixed + "Dot.tiff", mixed + "Line@2x.tiff", mixed + "Line~iPad.tiff"}));
}

// Runs as its own ctest entry with QT_SCALE_FACTOR=1.5 (see tests/CMakeLists.txt).
TEST(BundleExtensionAtScale, AtOneAndAHalfThePlainPictureServesAndADoubleResolutionOneAloneIsFound)
{
    QWindow window;
    window.show();
    window.requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    if (window.devicePixelRatio() != 1.5)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=1.5";
    QTemporaryDir dir;
    writeImage(dir.filePath("Only2x@2x.png"));
    writeImage(dir.filePath("Both.png"), 4);
    writeImage(dir.filePath("Both@2x.png"), 8);
    const Bundle bundle(dir.path());
    EXPECT_EQ(pathForImageNamed(bundle, "Only2x"), dir.filePath("Only2x@2x.png"));
    EXPECT_EQ(pathForImageNamed(bundle, "Both"), dir.filePath("Both.png")) << "double resolution is preferred only above 1.5";
    EXPECT_EQ(imageNamed(bundle, "Both").width(), 4);
}
