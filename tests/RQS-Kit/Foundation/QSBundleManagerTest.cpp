#include "RQS-Kit/Foundation/QSBundleManager.h"

#include "RQS-Kit/Foundation/QSImageMetadata.h"
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

TEST(QSBundleManager, SavedPicturesCarryTheOrientationResolutionAndDescriptionTheyWereGiven)
{
    const QVariantMap metadata{{"Orientation", 6},
                               {"DPIWidth", 300.0},
                               {"DPIHeight", 150.0},
                               {QSImageMetadata::TIFFDictionary, QVariantMap{{"ImageDescription", "Cover of the booklet"}}}};
    QTemporaryDir folder;
    for (const char *name : {"photo.jpg", "drawing.PNG", "scan.tiff"}) {
        SCOPED_TRACE(name);
        const QString path = folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(QSBundleManager::saveCGImage(picture(false), QUrl::fromLocalFile(path), metadata));
        const QString written = QFileInfo::exists(path) ? path : folder.filePath("scan.jpg");
        const QVariantMap read = QSImageMetadata::read(written);
        EXPECT_EQ(read.value("Orientation").toInt(), 6);
        EXPECT_NEAR(read.value("DPIWidth").toDouble(), 300.0, 0.05);
        EXPECT_NEAR(read.value("DPIHeight").toDouble(), 150.0, 0.05);
        EXPECT_EQ(read.value(QSImageMetadata::TIFFDictionary).toMap().value("ImageDescription").toString(), "Cover of the booklet");
        EXPECT_EQ(read.value("PixelWidth").toInt(), 64);
        if (written.endsWith(".jpg")) {
            EXPECT_EQ(QImageReader(written).transformation(), QImageIOHandler::TransformationRotate90) << "Qt reads it too";
        }
    }
    // Plain saving writes none of it.
    ASSERT_TRUE(QSBundleManager::saveImage(picture(false), QUrl::fromLocalFile(folder.filePath("plain.png"))));
    EXPECT_EQ(QSImageMetadata::read(folder.filePath("plain.png")).value("Orientation").toInt(), 1);
}

TEST(QSImageMetadata, ADamagedExifChunkOfAPngGivesNoOrientationAndNoCrash)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("turned.png");
    ASSERT_TRUE(QSBundleManager::saveCGImage(picture(false), QUrl::fromLocalFile(path), {{"Orientation", 8}}));
    const QByteArray good = PdfFixture::read(path);
    const qsizetype chunk = good.indexOf("eXIf");
    ASSERT_GT(chunk, 4);
    ASSERT_EQ(QSImageMetadata::read(path).value("Orientation").toInt(), 8);

    QByteArray garbled = good;
    for (qsizetype at = chunk + 4; at < chunk + 12; ++at)
        garbled[at] = 'x';
    PdfFixture::write(path, garbled);
    EXPECT_EQ(QSImageMetadata::read(path).value("Orientation").toInt(), 1) << "an Exif block that is none";

    QByteArray overlong = good;
    overlong.replace(chunk - 4, 4, QByteArray("\x7f\xff\xff\xff", 4));
    PdfFixture::write(path, overlong);
    platform::LogCapture log;
    EXPECT_NE(QSImageMetadata::read(path).value("Orientation").toInt(), 8) << "a chunk that runs past the file";
}

TEST(QSBundleManager, RewritingABundleKeepsOnlyWhatItIsWrittenWithAndLeavesNoBookkeepingBehind)
{
    QTemporaryDir folder;
    const QString bundle = folder.filePath("Sample.frame");
    QTemporaryDir source;
    PdfFixture::write(source.filePath("grain.png"), "grain");
    const QString copy = QSTempCleaner::tempCopyFor(QUrl::fromLocalFile(source.filePath("grain.png")));
    const QVariantMap description{{"Name", "Sample"}};
    const platform::fx::Image green =
        platform::fx::Image::withColor(platform::fx::Color{0, 1, 0, 1}).cropped(QRectF(0, 0, 12, 8));

    QSBundleManager::Resources resources{{"QuickLook/Preview.png", picture(true)},
                                         {"Pic.png", picture(false)},
                                         {"Files", QStringList{copy}},
                                         {"Engine.png", green}};
    QString error;
    ASSERT_TRUE(QSBundleManager::writeBundleToURL(QUrl::fromLocalFile(bundle), description, resources, &error))
        << error.toStdString();
    EXPECT_EQ(platform::PropertyList::read(bundle + QStringLiteral("/Description.plist")).toMap(), description);
    EXPECT_EQ(PdfFixture::read(bundle + QStringLiteral("/Files/") + QFileInfo(copy).fileName()), QByteArray("grain"));
    EXPECT_EQ(inode(bundle + QStringLiteral("/QuickLook/Thumbnail.png")), inode(bundle + QStringLiteral("/QuickLook/Preview.png")));
    const platform::BundlePtr written = platform::Bundle::bundleWithPath(bundle);
    EXPECT_EQ(QSBundleManager::previewForBundle(*written).size(), QSize(64, 64));
    const QImage engine(bundle + QStringLiteral("/Engine.png"));
    EXPECT_EQ(engine.size(), QSize(12, 8)) << "the engine image over its extent";
    EXPECT_EQ(engine.pixelColor(5, 5), QColor(Qt::green));
    const QStringList everything = QDir(bundle).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    EXPECT_EQ(everything, (QStringList{"Description.plist", "Engine.png", "Files", "Pic.png", "QuickLook"}))
        << "nothing of its own hidden inside";

    // An existing resource is kept as it is; every other entry goes: the resource no longer named,
    // a file put there since, an earlier version's record; "QuickLook" is named by no key and is
    // written anew.
    PdfFixture::write(bundle + QStringLiteral("/Pic.png"), "kept");
    PdfFixture::write(bundle + QStringLiteral("/notes.txt"), "added");
    PdfFixture::write(bundle + QStringLiteral("/.WrittenEntries.plist"), "<plist/>");
    ASSERT_TRUE(QFile::remove(bundle + QStringLiteral("/QuickLook/Thumbnail.png")));
    PdfFixture::write(bundle + QStringLiteral("/QuickLook/Preview.png"), "stale");
    resources.remove("Files");
    ASSERT_TRUE(QSBundleManager::writeBundleToURL(QUrl::fromLocalFile(bundle), description, resources, &error));
    EXPECT_EQ(PdfFixture::read(bundle + QStringLiteral("/Pic.png")), QByteArray("kept"));
    EXPECT_EQ(QDir(bundle).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
              (QStringList{"Description.plist", "Engine.png", "Pic.png", "QuickLook"}));
    EXPECT_TRUE(QFileInfo::exists(bundle + QStringLiteral("/QuickLook/Thumbnail.png")));
    EXPECT_EQ(QImage(bundle + QStringLiteral("/QuickLook/Preview.png")).size(), QSize(64, 64)) << "written anew";

    // Names that would reach outside the bundle are refused.
    PdfFixture::write(folder.filePath("victim.txt"), "safe");
    platform::LogCapture log;
    resources.insert("../escape.png", picture(false));
    EXPECT_FALSE(QSBundleManager::writeBundleToURL(QUrl::fromLocalFile(bundle), description, resources, &error));
    EXPECT_EQ(PdfFixture::read(folder.filePath("victim.txt")), QByteArray("safe"));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("escape.png")));
    EXPECT_EQ(log.lines().size(), 1);
}

TEST(QSBundleManager, AFolderWithFilesButNoDescriptionIsNoBundleAndStaysUntouched)
{
    QTemporaryDir folder;
    PdfFixture::write(folder.filePath("Documents/letter.txt"), "the user's");
    platform::LogCapture log;
    QString error;
    EXPECT_FALSE(QSBundleManager::writeBundleToURL(QUrl::fromLocalFile(folder.filePath("Documents")), {{"Name", "x"}},
                                                   {{"Pic.png", picture(false)}}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(folder.filePath("Documents")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"letter.txt"});
    EXPECT_EQ(PdfFixture::read(folder.filePath("Documents/letter.txt")), QByteArray("the user's"));
    EXPECT_TRUE(log.contains("Error: Refusing to write a bundle into " + folder.filePath("Documents")));
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

// A damaged record whose file names are the data folder itself, its parent, or lead out of it by
// "..", a whole path or a link: removing such an entry deletes nothing and says why; the entries
// whose files lie inside go with their files.
TEST(QSBundleManager, RemovingAnEntryDeletesNothingOutsideItsFileInTheDataFolder)
{
    const QString data = QSBundleManager::applicationSupportDirectory();
    ASSERT_FALSE(data.isEmpty());
    QTemporaryDir outside;
    const QString victim = PdfFixture::write(outside.path(), "victim.dat", "keep");
    const QString waiting = PdfFixture::write(data + "/Printed/job-test", "Print job.pdf", "%PDF-1.4 waiting");
    const QString kept = PdfFixture::write(data, "kept.dat", "keep");
    const QString inner = PdfFixture::write(data + "/sub", "inner.dat", "go");
    const QString plain = PdfFixture::write(data, "plain.dat", "go");
    ASSERT_TRUE(QFile::link(outside.path(), data + "/away"));
    ASSERT_TRUE(QFile::link(data, data + "/self"));
    ASSERT_TRUE(QFile::link(data + "/kept.dat", data + "/nearby"));

    struct Entry { const char *name; QString file; QString refusal; };
    const QString out = "it names the folder itself or leads out of it";
    const QList<Entry> entries{
        {"empty", "", out},
        {"dot", ".", out},
        {"dot slash dot", "./.", out},
        {"dot slash", "./", out},
        {"parent", "..", out},
        {"climbing", "a/../..", out},
        {"a whole path", victim, out},
        {"the root", "/", out},
        {"through a linked folder", "away/victim.dat", "a folder on its way is a link that leads out of the folder"},
        {"a link out", "away", "it is a link that leads to the folder itself or out of it"},
        {"a link to the folder", "self", "it is a link that leads to the folder itself or out of it"},
        {"a link inside", "nearby", ""},
        {"a file below", "sub/inner.dat", ""},
        {"a file", "./plain.dat", ""},
    };
    QVariantMap record;
    for (const Entry &entry : entries)
        record.insert(entry.name, QVariantMap{{"filename", entry.file}});
    record.insert("no dictionary", "plain.dat");
    QTemporaryDir folder;
    const QString path = folder.filePath("BundleManager.plist");
    ASSERT_TRUE(platform::PropertyList::write(record, path));

    QSBundleManager manager(path);
    for (const Entry &entry : entries) {
        SCOPED_TRACE(entry.name);
        platform::LogCapture log;
        manager.removeShadowWithName(entry.name);
        EXPECT_EQ(log.lines(), entry.refusal.isEmpty()
                                   ? QStringList()
                                   : QStringList{QStringLiteral("Warning: Not deleting '%1' of '%2': %3").arg(entry.file, entry.name, entry.refusal)});
        EXPECT_EQ(PdfFixture::read(victim), "keep");
        EXPECT_EQ(PdfFixture::read(waiting), "%PDF-1.4 waiting");
        EXPECT_EQ(PdfFixture::read(kept), "keep");
        EXPECT_TRUE(QFileInfo(data + "/away").isSymLink() && QFileInfo(data + "/self").isSymLink());
    }
    platform::LogCapture log;
    manager.removeShadowWithName("no dictionary");
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Warning: Not deleting '' of 'no dictionary': %1").arg(out)});
    EXPECT_FALSE(QFileInfo(data + "/nearby").isSymLink()) << "the link itself went";
    EXPECT_FALSE(QFileInfo::exists(inner));
    EXPECT_FALSE(QFileInfo::exists(plain));
    EXPECT_TRUE(QSBundleManager(path).shadowDictionary().isEmpty());

    for (const char *entry : {"away", "self", "kept.dat", "sub", "Printed/job-test"}) {
        const QFileInfo info(data + '/' + entry);
        EXPECT_TRUE(info.isSymLink() ? QFile::remove(info.filePath()) : info.isDir() ? QDir(info.filePath()).removeRecursively() : QFile::remove(info.filePath()));
    }
    QDir(data).rmdir("Printed");
}
