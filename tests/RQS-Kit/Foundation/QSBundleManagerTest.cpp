#include "RQS-Kit/Foundation/QSBundleManager.h"

#include "RQS-Kit/Foundation/QSTempCleaner.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Alert.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

ino_t inode(const QString &path)
{
    struct stat status{};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

QImage picture(bool alpha)
{
    const QImage image = PictureFixture::marked(QSize(64, 64), Qt::blue, Qt::red);
    return alpha ? image.convertToFormat(QImage::Format_ARGB32) : image;
}

} // namespace

TEST(QSBundleManager, ImagesAreSavedInTheTypeTheirNameSaysUnderFreeNames)
{
    struct Case { const char *name; bool alpha; const char *written; const char *format; };
    const Case cases[] = {
        {"new/upper.PNG", false, "new/upper.PNG", "png"}, {"opaque.tiff", false, "opaque.jpg", "jpeg"},
        {"clear.tiff", true, "clear.png", "png"},         {"pngdraft", false, "pngdraft", "png"},
    };
    QTemporaryDir folder;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QSBundleManager::saveImage(picture(c.alpha), QUrl::fromLocalFile(folder.filePath(QString::fromLatin1(c.name)))));
        EXPECT_EQ(QImageReader(folder.filePath(QString::fromLatin1(c.written))).format(), QByteArray(c.format));
    }

    // A picture JPEG cannot hold fails to encode and leaves the old file as it was.
    const QString old = folder.filePath("wide.jpg");
    PdfFixture::write(old, "old");
    platform::LogCapture log;
    EXPECT_FALSE(QSBundleManager::saveImage(QImage(70000, 1, QImage::Format_RGB32), QUrl::fromLocalFile(old)));
    EXPECT_EQ(PdfFixture::read(old), QByteArray("old"));
    EXPECT_EQ(log.lines().size(), 1);

    // A write that fails tells the user too; a folder cannot be made under a plain file.
    QStringList alerts;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        alerts << alert.messageText() + " | " + alert.informativeText();
        return platform::Alert::FirstButtonReturn;
    });
    const QString unwritable = folder.filePath("wide.jpg/inside.png");
    EXPECT_FALSE(QSBundleManager::saveImage(picture(false), QUrl::fromLocalFile(unwritable)));
    platform::Alert::setResponder(nullptr);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith("Could not save File | Failed writing the image '" + unwritable + "'")) << alerts.first().toStdString();
    EXPECT_TRUE(alerts.first().contains("Print Screen")) << "the shortcut that takes a screenshot here";
    EXPECT_FALSE(alerts.first().contains("cmd+"));

    // File names are made free; temporary pictures are registered with the cleaner.
    PdfFixture::write(folder.filePath("Image.jpg"), "x");
    EXPECT_EQ(QSBundleManager::uniqueFileURL({}, QUrl::fromLocalFile(folder.path())).fileName(), "Image 1.jpg");

    const QUrl named = QSBundleManager::tempFileForImage(picture(false), "x.tiff");
    EXPECT_EQ(named.fileName(), "x.tiff.jpg");
    EXPECT_TRUE(QSTempCleaner::sharedTempCleaner().tempURLs().contains(named));
    EXPECT_TRUE(QSBundleManager::tempFileForImage(QImage(), "lost.png").isEmpty());
    EXPECT_TRUE(QSBundleManager::tempFileForImage(picture(false), "../up.png").isEmpty());
}

TEST(QSBundleManager, RewritingABundleRemovesOnlyWhatItWroteBefore)
{
    QTemporaryDir folder;
    const QString bundle = folder.filePath("Sample.frame");
    PdfFixture::write(bundle + QStringLiteral("/notes.txt"), "the user's");
    QTemporaryDir source;
    PdfFixture::write(source.filePath("grain.png"), "grain");
    const QString copy = QSTempCleaner::tempCopyFor(QUrl::fromLocalFile(source.filePath("grain.png")));
    const QVariantMap description{{"Name", "Sample"}};

    QSBundleManager::Resources resources{
        {"QuickLook/Preview.png", picture(true)}, {"Pic.png", picture(false)}, {"Files", QStringList{copy}}};
    QString error;
    ASSERT_TRUE(QSBundleManager::writeBundleToURL(QUrl::fromLocalFile(bundle), description, resources, &error))
        << error.toStdString();
    EXPECT_EQ(platform::PropertyList::read(bundle + QStringLiteral("/Description.plist")).toMap(), description);
    EXPECT_EQ(PdfFixture::read(bundle + QStringLiteral("/Files/") + QFileInfo(copy).fileName()), QByteArray("grain"));
    EXPECT_EQ(inode(bundle + QStringLiteral("/QuickLook/Thumbnail.png")), inode(bundle + QStringLiteral("/QuickLook/Preview.png")));
    const platform::BundlePtr written = platform::Bundle::bundleWithPath(bundle);
    EXPECT_EQ(QSBundleManager::previewForBundle(*written).size(), QSize(64, 64));

    // An existing resource is kept as it is; the ones no longer named go, the user's file stays.
    PdfFixture::write(bundle + QStringLiteral("/Pic.png"), "kept");
    resources.remove("Files");
    ASSERT_TRUE(QSBundleManager::writeBundleToURL(QUrl::fromLocalFile(bundle), description, resources, &error));
    EXPECT_EQ(PdfFixture::read(bundle + QStringLiteral("/Pic.png")), QByteArray("kept"));
    EXPECT_FALSE(QFileInfo::exists(bundle + QStringLiteral("/Files")));
    EXPECT_EQ(PdfFixture::read(bundle + QStringLiteral("/notes.txt")), QByteArray("the user's"));

    // Names that would reach outside the bundle are refused, whether given or read back.
    PdfFixture::write(folder.filePath("victim.txt"), "safe");
    ASSERT_TRUE(platform::PropertyList::write(QVariantList{"../victim.txt"}, bundle + QStringLiteral("/.WrittenEntries.plist")));
    platform::LogCapture log;
    resources.insert("../escape.png", picture(false));
    EXPECT_FALSE(QSBundleManager::writeBundleToURL(QUrl::fromLocalFile(bundle), description, resources, &error));
    EXPECT_EQ(PdfFixture::read(folder.filePath("victim.txt")), QByteArray("safe"));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("escape.png")));
    EXPECT_EQ(log.lines().size(), 2);
}

TEST(QSBundleManager, CatalogsAreMadeOncePerTypeAndTheRecordNeverReachesOutside)
{
    QTemporaryDir resources;
    PdfFixture::write(resources.filePath("Looks/b.tstlook/Description.plist"), platform::PropertyList::toXml(QVariantMap{{"Kind", "B"}}));
    PdfFixture::write(resources.filePath("Looks/A.tstlook/Info.plist"), platform::PropertyList::toXml(QVariantMap{{"Kind", "A"}}));
    const platform::BundlePtr bundle = platform::Bundle::bundleWithPath(resources.path());

    QSBundleManager &catalog = QSBundleManager::bundleManagerForType("tstlook", "Looks", bundle);
    EXPECT_EQ(&QSBundleManager::bundleManagerForType("tstlook", "Elsewhere", bundle), &catalog);
    EXPECT_EQ(catalog.names(), QStringList({"A", "b"}));
    EXPECT_EQ(catalog.decriptionForName("b")->value("Kind"), "B");
    platform::LogCapture log;
    EXPECT_EQ(catalog.bundleForName("missing"), nullptr);
    EXPECT_TRUE(log.contains("Warning: Requested bundle does not exist: missing"));

    // The record is marked, saved and never reaches outside the data folder.
    const QString data = QSBundleManager::applicationSupportDirectory();
    PdfFixture::write(data + QStringLiteral("/one.dat"), "1");
    PdfFixture::write(data + QStringLiteral("/../outside.dat"), "keep");
    QTemporaryDir folder;
    const QString path = folder.filePath("BundleManager.plist");
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"one", QVariantMap{{"filename", "one.dat"}}},
                    {"evil", QVariantMap{{"filename", "../outside.dat"}}}},
        path));

    QSBundleManager manager(path);
    manager.setMarked(true, "one");
    EXPECT_EQ(QSBundleManager(path).shadowDictionary().value("one").toMap().value("marked"), QVariant(true));

    manager.removeShadowWithName("one");
    manager.removeShadowWithName("evil");
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/one.dat")));
    EXPECT_EQ(PdfFixture::read(data + QStringLiteral("/../outside.dat")), QByteArray("keep"));
    EXPECT_EQ(log.lines().size(), 2) << "the missing bundle and the refused file";
    EXPECT_TRUE(QSBundleManager(path).shadowDictionary().isEmpty());
}
