#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Foundation/UndoGestureRecording.h"
#include "RQS-Kit/Foundation/UndoManagerExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/UndoManager.h"

#include "support/PropertyListFixture.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class FrameCatalog : public ::testing::Test
{
protected:
    QString file() const { return m_dir.filePath("UserFrames.plist"); }
    QByteArray bytes(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    }
    void writeFile(const QByteArray &contents) const
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    static QVariantMap frame(const QString &name) { return {{"Name", name}, {"Texture.Color", "1 0 0 1"}}; }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FrameCatalog, DamagedFileIsMovedAsideAndNeverOverwritten)
{
    writeFile("<plist><dict><key>FRM-U#001#");
    platform::LogCapture log;
    QSFrameCatalog catalog(m_dir.path(), file());
    EXPECT_TRUE(catalog.frameIDs().isEmpty());
    EXPECT_TRUE(log.lines().first().startsWith("Error: Could not read frame catalog"));
    catalog.addFrame(std::make_shared<QSFrameDescription>(frame("New"), m_dir.path(), true));
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_EQ(bytes(file() + ".bak"), "<plist><dict><key>FRM-U#001#");
    EXPECT_EQ(platform::PropertyList::read(file()).toMap().size(), 1);
}

// Read at every launch: a hostile file is moved aside before anything could crash on it again.
TEST_F(FrameCatalog, NestedOrBrokenBinaryFilesAreMovedAsideToo)
{
    const struct { const char *name; QByteArray bytes; QString reason; } cases[] = {
        {"nested 30,000 levels", PropertyListFixture::nestedXml(30000), "it nests arrays and dictionaries deeper than 512 levels"},
        {"a zero in a binary text", PropertyListFixture::zeroInText(), "a text holding a zero character"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(c.bytes);
        platform::LogCapture log;
        QSFrameCatalog catalog(m_dir.path(), file());
        EXPECT_TRUE(catalog.frameIDs().isEmpty());
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error: Could not read frame catalog '%1' (%2); moved it to '%1.bak'")
                                               .arg(file(), c.reason)});
        EXPECT_EQ(bytes(file() + ".bak"), c.bytes);
        EXPECT_FALSE(QFile::exists(file()));
        ASSERT_TRUE(QFile::remove(file() + ".bak"));
    }
}

TEST_F(FrameCatalog, FailedWriteIsReportedAndStaysPending)
{
    const QByteArray before = platform::PropertyList::toXml(QVariantMap{{"FRM-U#001#", frame("Old")}});
    writeFile(before);
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::ReadGroup);
    QSFrameCatalog catalog(m_dir.path(), file());
    ASSERT_TRUE(catalog.renameFrameID("Old", "Renamed"));
    platform::LogCapture log;
    QStringList told;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        told << alert.messageText();
        return platform::Alert::FirstButtonReturn;
    });
    EXPECT_FALSE(catalog.saveCatalogInstantly(true));
    EXPECT_FALSE(catalog.saveCatalogInstantly(true));
    platform::Alert::setResponder(nullptr);
    EXPECT_TRUE(log.contains("Error: Could not save the user's frames"));
    EXPECT_EQ(told, QStringList{"Your frames could not be saved."}) << "told once, not at every try";
    EXPECT_TRUE(catalog.isSavePending());
    EXPECT_EQ(bytes(file()), before);
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_FALSE(catalog.isSavePending());
    EXPECT_EQ(platform::PropertyList::read(file()).toMap()["FRM-U#001#"].toMap()["Name"], "Renamed");
}

TEST_F(FrameCatalog, ResetCounterPassesOverTheUsersFrames)
{
    writeFile(platform::PropertyList::toXml(QVariantMap{{"FRM-U#001#", frame("A")}, {"FRM-U#002#", frame("B")}}));
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey("CurrentFrameIndex");
    QSFrameCatalog catalog(m_dir.path(), file());
    EXPECT_EQ(catalog.addFrame(std::make_shared<QSFrameDescription>(frame("C"), m_dir.path(), true)), "FRM-U#003#");
    EXPECT_EQ(catalog.frameWithName("FRM-U#001#")->name(), "A");
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults()->integerForKey("CurrentFrameIndex"), 3);
}

TEST_F(FrameCatalog, UnknownEntriesSurviveASaveByteForByte)
{
    QVariantMap known = frame("Kept");
    known.insert("Shades", QVariantList{QVariantMap{{"Shade", "FRM-S#009#Gone"}, {"BlendMode", "multiply"},
                                                    {"Intensity", 0.5}}});
    known.insert("Inset", 0.25);
    known.insert("TextureFillMode", 1);
    known.insert("FutureKey", QVariantList{1, "two"});
    const QByteArray before =
        platform::PropertyList::toXml(QVariantMap{{"FRM-U#001#", known}, {"Version", 3}});
    writeFile(before);
    QSFrameCatalog catalog(m_dir.path(), file());
    const QString added = catalog.addFrame(std::make_shared<QSFrameDescription>(frame("Brief"), m_dir.path(), true));
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    catalog.removeFrameAtIndex(int(catalog.frameIDs().indexOf(added)));
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_EQ(bytes(file()), before);
}

TEST_F(FrameCatalog, ChangesAreWrittenOnceWhenTheDelayEnds)
{
    QSFrameCatalog catalog(m_dir.path(), file());
    catalog.setSaveDelay(0);
    catalog.addFrame(std::make_shared<QSFrameDescription>(frame("One"), m_dir.path(), true), "FRM-U#001#");
    ASSERT_TRUE(catalog.renameFrameID("FRM-U#001#", "Two"));
    catalog.frameWithName("Two")->setTextureColor({0, 0, 1, 1});
    EXPECT_FALSE(QFile::exists(file()));
    EXPECT_FALSE(catalog.renameFrameID("Two", "Two"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(catalog.isSavePending());
    EXPECT_EQ(platform::PropertyList::read(file()).toMap()["FRM-U#001#"].toMap()["Texture.Color"], "0 0 1 1");
}

TEST(FrameDescription, PlainFrameReadsAndSavesAsWritten)
{
    const QSFrameDescription plain({{"Name", "Plain Frame"}, {"Texture", "Plain Color"},
                                    {"Texture.Color", "1.0 1.0 1.0 1.0"}}, {}, false);
    EXPECT_TRUE(plain.textureName().isEmpty());
    EXPECT_EQ(plain.saveDictionary(), (QVariantMap{{"Name", "Plain Frame"}, {"Texture.Color", "1 1 1 1"},
                                                   {"TextureFillMode", 0LL}, {"Inset", 0.0}}));
    EXPECT_EQ(QSFrameDescription({}, {}, false).saveDictionary().value("Name"), "");
}

TEST(FrameDescription, PlainFrameExistsWithoutTheBundle)
{
    ASSERT_TRUE(QSFrameCatalog::plainFrame());
    EXPECT_EQ(QSFrameCatalog::frameWithNameInCatalogs("No such frame"), QSFrameCatalog::plainFrame());
}

namespace {

// A frame whose one shade, at intensity 0.5, is a file in a bundle of its own; it announces changes.
std::shared_ptr<QSFrameDescription> shadedFrame(const QTemporaryDir &dir)
{
    QDir(dir.path()).mkpath("Shades");
    QImage shade(4, 4, QImage::Format_ARGB32);
    shade.fill(Qt::black);
    shade.save(dir.filePath("Shades/FRM-S#001#Edge#4.png"));
    const QVariantMap entry{{"Shade", "FRM-S#001#Edge"}, {"BlendMode", "multiply"}, {"Intensity", 0.5}};
    auto frame = std::make_shared<QSFrameDescription>(QVariantMap{{"Name", "Shaded"}, {"Shades", QVariantList{entry}}},
                                                      dir.path(), true);
    frame->setPostsChanges(true);
    return frame;
}

} // namespace

TEST(FrameDescription, UndoingAnIntensityRestoresItAndAnnouncesTheUndoLast)
{
    QTemporaryDir dir;
    const auto frame = shadedFrame(dir);
    platform::UndoManager undoManager;
    frame->setUndoManager(&undoManager);
    frame->setShadeIntensity(0.8, 0);
    QStringList posted;
    auto *center = platform::NotificationCenter::defaultCenter();
    for (const char *name : {"FrameShadeChanged", "FrameChanged", "FrameUndo"})
        center->addObserver(&posted, name, frame.get(), [&posted](const platform::Notification &n) { posted << n.name; });
    ASSERT_TRUE(undoManager.undo());
    center->removeObserver(&posted);
    EXPECT_EQ(frame->shades().first()->intensity(), 0.5);
    EXPECT_EQ(posted, (QStringList{"FrameShadeChanged", "FrameChanged", "FrameUndo"}));
}

TEST(FrameDescription, WithoutAnUndoManagerChangesStillDropTheCaches)
{
    QTemporaryDir dir;
    const auto frame = shadedFrame(dir);
    ASSERT_EQ(frame->optimizedShades().size(), 1);
    frame->insertShade(frame->shadeNamed("FRM-S#001#Edge", "softLight", 1.0), 1);
    EXPECT_EQ(frame->optimizedShades().size(), 2);
    frame->removeShadeAtIndex(0);
    EXPECT_EQ(frame->optimizedShades().size(), 1);
}

// A damaged frame (its shades a string) and a texture this installation lacks are written back as
// they were read, and the frames beside them save as before.
TEST_F(FrameCatalog, DamagedShadesAndUnknownTexturesAreKeptAndTheCatalogStillSaves)
{
    QVariantMap damaged = frame("Damaged");
    damaged.insert("Shades", "FRM-S#001#Edge");
    QVariantMap foreign = frame("Foreign");
    foreign.insert("Texture", "RQS-T#777#Not-Here");
    writeFile(platform::PropertyList::toXml(QVariantMap{{"FRM-U#001#", damaged}, {"FRM-U#002#", foreign}}));
    platform::LogCapture log;
    QSFrameCatalog catalog(m_dir.path(), file());
    EXPECT_TRUE(log.contains("Error: The shades of frame 'Damaged' are no list; they are kept as they are"));
    ASSERT_TRUE(catalog.renameFrameID("Foreign", "Renamed"));
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_FALSE(catalog.isSavePending());
    const QVariantMap saved = platform::PropertyList::read(file()).toMap();
    EXPECT_EQ(saved["FRM-U#001#"].toMap()["Shades"], "FRM-S#001#Edge");
    EXPECT_EQ(saved["FRM-U#002#"].toMap()["Texture"], "RQS-T#777#Not-Here");
    EXPECT_EQ(saved["FRM-U#002#"].toMap()["Name"], "Renamed");
}

// Adding, renaming and removing a frame are each one undo step, named, undone and redone.
TEST_F(FrameCatalog, AdditionsRenamesAndRemovalsAreUndoable)
{
    platform::UndoManager undo;
    undo.setGroupsByEvent(false);
    QSFrameCatalog catalog(m_dir.path(), file());
    catalog.setUndoManager(&undo);
    const QString id = catalog.addFrame(std::make_shared<QSFrameDescription>(frame("Oak"), m_dir.path(), true));
    EXPECT_EQ(undo.undoActionName(), "Add Frame");
    EXPECT_EQ(catalog.frameWithName(id)->undoManager(), &undo);
    ASSERT_TRUE(catalog.renameFrameID(id, "Walnut"));
    EXPECT_EQ(undo.undoActionName(), "Rename Frame");
    catalog.removeFrameAtIndex(int(catalog.frameIDs().indexOf(id)));
    EXPECT_EQ(undo.undoActionName(), "Remove Frame");
    EXPECT_FALSE(catalog.frameWithName(id));

    ASSERT_TRUE(undo.undo());
    ASSERT_TRUE(catalog.frameWithName(id));
    EXPECT_EQ(catalog.frameWithName(id)->name(), "Walnut");
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(catalog.frameWithName(id)->name(), "Oak");
    ASSERT_TRUE(undo.undo());
    EXPECT_FALSE(catalog.frameWithName(id));
    ASSERT_TRUE(undo.redo());
    ASSERT_TRUE(undo.redo());
    EXPECT_EQ(catalog.frameWithName(id)->name(), "Walnut");
}

namespace {

// Two frames of a name each in a binary file, which may hold any character.
QByteArray binaryCatalog(const QByteArray &firstID, const QByteArray &firstName, const QByteArray &secondID,
                         const QByteArray &secondName)
{
    PropertyListFixture::Binary plist;
    plist.objects = {plist.dict({1, 2}, {3, 4}),
                     PropertyListFixture::ascii(firstID),
                     PropertyListFixture::ascii(secondID),
                     plist.dict({5}, {6}),
                     plist.dict({5}, {7}),
                     PropertyListFixture::ascii("Name"),
                     PropertyListFixture::ascii(firstName),
                     PropertyListFixture::ascii(secondName)};
    return plist.bytes();
}

// Frame ID → name, as the file holds them.
QMap<QString, QString> namesIn(const QString &path)
{
    QMap<QString, QString> names;
    const QVariantMap frames = platform::PropertyList::read(path).toMap();
    for (auto it = frames.cbegin(); it != frames.cend(); ++it)
        names.insert(it.key(), it.value().toMap().value("Name").toString());
    return names;
}

QMap<QString, QString> namesIn(const QSFrameCatalog &catalog)
{
    QMap<QString, QString> names;
    for (const QString &frameID : catalog.frameIDs())
        names.insert(frameID, catalog.frameWithName(frameID)->name());
    return names;
}

} // namespace

// Two catalogs of one file, as two processes hold it: each save keeps what the other wrote since,
// a frame added under an ID the other took moves to a free one, and each catalog takes in the
// frames the other added or removed.
TEST_F(FrameCatalog, SavesKeepWhatAnotherCatalogOfTheFileWroteMeanwhile)
{
    writeFile(platform::PropertyList::toXml(QVariantMap{{"FRM-U#001#", frame("Ash")}}));
    platform::UserDefaults::standardUserDefaults()->setInteger(1, "CurrentFrameIndex");
    QSFrameCatalog first(m_dir.path(), file());
    QSFrameCatalog second(m_dir.path(), file());

    first.addFrame(std::make_shared<QSFrameDescription>(frame("Oak"), m_dir.path(), true), "FRM-U#002#");
    ASSERT_TRUE(first.saveCatalogInstantly(true));
    second.addFrame(std::make_shared<QSFrameDescription>(frame("Elm"), m_dir.path(), true), "FRM-U#002#");
    ASSERT_TRUE(second.renameFrameID("Ash", "Birch"));
    platform::LogCapture log;
    ASSERT_TRUE(second.saveCatalogInstantly(true));
    const QMap<QString, QString> both{{"FRM-U#001#", "Birch"}, {"FRM-U#002#", "Oak"}, {"FRM-U#003#", "Elm"}};
    EXPECT_EQ(namesIn(file()), both);
    EXPECT_EQ(namesIn(second), both);
    EXPECT_EQ(second.frameIDForName("Elm"), "FRM-U#003#");
    EXPECT_EQ(log.lines(), QStringList{"Info: Frame 'Elm' is saved as FRM-U#003#, because another program saved a frame as FRM-U#002#"});

    first.removeFrameName("FRM-U#002#");
    ASSERT_TRUE(first.saveCatalogInstantly(true));
    EXPECT_EQ(namesIn(file()), (QMap<QString, QString>{{"FRM-U#001#", "Birch"}, {"FRM-U#003#", "Elm"}}));
    EXPECT_EQ(first.frameIDs(), (QStringList{"FRM-U#001#", "FRM-U#003#"}));
    EXPECT_EQ(first.frameIDForName("Elm"), "FRM-U#003#");
    ASSERT_TRUE(second.saveCatalogInstantly(true));
    EXPECT_EQ(namesIn(second), (QMap<QString, QString>{{"FRM-U#001#", "Birch"}, {"FRM-U#003#", "Elm"}}));
    EXPECT_EQ(namesIn(file()), namesIn(second));
}

// A frame name holding a control character is refused where it is given, and the session's other
// changes to the user's frames are saved beside it.
TEST_F(FrameCatalog, ANameWithAControlCharacterIsRefusedAndTheOtherChangesAreSaved)
{
    writeFile(platform::PropertyList::toXml(QVariantMap{{"FRM-U#001#", frame("Ash")}, {"FRM-U#002#", frame("Oak")}}));
    platform::UserDefaults::standardUserDefaults()->setInteger(2, "CurrentFrameIndex");
    QSFrameCatalog catalog(m_dir.path(), file());
    platform::LogCapture log;
    EXPECT_FALSE(catalog.renameFrameID("Ash", QStringLiteral("Bi\u0007rch")));
    EXPECT_TRUE(log.contains("Warning: The frame cannot be named 'Bi"));
    EXPECT_EQ(catalog.addFrame(std::make_shared<QSFrameDescription>(frame("El\u001bm"), m_dir.path(), true)), "");
    EXPECT_EQ(catalog.frameIDs().size(), 2);
    ASSERT_TRUE(catalog.renameFrameID("Oak", "Walnut"));
    EXPECT_EQ(catalog.addFrame(std::make_shared<QSFrameDescription>(frame("Elm"), m_dir.path(), true)), "FRM-U#003#");
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_EQ(namesIn(file()), (QMap<QString, QString>{{"FRM-U#001#", "Ash"}, {"FRM-U#002#", "Walnut"}, {"FRM-U#003#", "Elm"}}));
}

// A name that came in by another way (here a binary file, which can hold any character) is saved
// with U+FFFD in place of what a property list cannot hold, and never keeps the other frames from
// being saved.
TEST_F(FrameCatalog, AFrameNameTheFileCannotHoldNeverStopsTheOthersBeingSaved)
{
    writeFile(binaryCatalog("FRM-U#001#", "Ash\x07", "FRM-U#002#", "Oak"));
    platform::UserDefaults::standardUserDefaults()->setInteger(2, "CurrentFrameIndex");
    QSFrameCatalog catalog(m_dir.path(), file());
    ASSERT_EQ(catalog.frameIDs().size(), 2);
    ASSERT_TRUE(catalog.renameFrameID("Oak", "Walnut"));
    catalog.addFrame(std::make_shared<QSFrameDescription>(frame("Elm"), m_dir.path(), true));
    platform::LogCapture log;
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_FALSE(catalog.isSavePending());
    EXPECT_EQ(namesIn(file()),
              (QMap<QString, QString>{{"FRM-U#001#", QStringLiteral("Ash\ufffd")}, {"FRM-U#002#", "Walnut"}, {"FRM-U#003#", "Elm"}}));
    EXPECT_TRUE(log.contains("Warning: The frame FRM-U#001# holds a text an XML property list cannot hold"))
        << log.lines().join('\n').toStdString();
    // Saved again, the frames stay as written.
    ASSERT_TRUE(catalog.renameFrameID("Walnut", "Oak"));
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_EQ(namesIn(file()).value("FRM-U#001#"), QStringLiteral("Ash\ufffd"));
    EXPECT_EQ(namesIn(file()).value("FRM-U#002#"), "Oak");
}

// Two IDs that differ only in characters a property list cannot hold come out of their U+FFFD
// alike: the second is saved under an ID of its own instead of over the first.
TEST_F(FrameCatalog, TwoIDsAlikeOnceMadeWritableAreBothSaved)
{
    writeFile(binaryCatalog("FRM-U#\x01#", "Ash", "FRM-U#\x02#", "Oak"));
    platform::UserDefaults::standardUserDefaults()->setInteger(0, "CurrentFrameIndex");
    QSFrameCatalog catalog(m_dir.path(), file());
    ASSERT_EQ(catalog.frameIDs().size(), 2);
    platform::LogCapture log;
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    const QMap<QString, QString> written{{QStringLiteral("FRM-U#\ufffd#"), "Ash"}, {"FRM-U#001#", "Oak"}};
    EXPECT_EQ(namesIn(file()), written);
    EXPECT_TRUE(log.contains(QStringLiteral("each such character, as FRM-U#001#, because another frame is saved as FRM-U#\ufffd#")))
        << log.lines().join('\n').toStdString();
    // Saved again, the catalog takes the frames as written.
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    EXPECT_EQ(namesIn(file()), written);
    EXPECT_EQ(namesIn(catalog), written);
}

// The catalog names its frames, in no order, and where their pictures are: the frame bundle.
TEST_F(FrameCatalog, NamesItsFramesAndTheBundleTheyAreDrawnFrom)
{
    QSFrameCatalog catalog(m_dir.path(), file());
    EXPECT_TRUE(catalog.frameNames().isEmpty());
    EXPECT_EQ(catalog.URL(), QUrl::fromLocalFile(m_dir.path()));
    EXPECT_TRUE(catalog.URL().isLocalFile());
    for (const char *name : {"Oak", "Walnut", "Ash"})
        ASSERT_FALSE(catalog.addFrame(std::make_shared<QSFrameDescription>(frame(name), m_dir.path(), true)).isEmpty());
    ASSERT_TRUE(catalog.renameFrameID("Walnut", "Birch"));
    catalog.removeFrameAtIndex(int(catalog.frameIDs().indexOf(catalog.frameIDForName("Ash"))));
    QStringList names = catalog.frameNames();
    names.sort();
    EXPECT_EQ(names, (QStringList{"Birch", "Oak"}));

    const QSFrameCatalog shipped(QSFrameCatalog::framesBundlePath(), QString());
    names = shipped.frameNames();
    names.sort();
    EXPECT_EQ(names, (QStringList{"Leather Brown", "Metal Silver", "Paper Cream", "Paper Laid", "Wood Oak", "Wood Walnut"}));
    EXPECT_EQ(shipped.URL().toLocalFile(), QSFrameCatalog::framesBundlePath());
}

namespace {

// A frame bundle with two picture masks, "FRM-M#001#Oval" 20 wide with corners of 4, and "FRM-M#002#Star".
QString maskBundle(const QTemporaryDir &dir)
{
    QDir(dir.path()).mkpath("Masks");
    QImage mask(8, 8, QImage::Format_ARGB32);
    mask.fill(Qt::white);
    for (const char *name : {"Masks/FRM-M#001#Oval#20-4.png", "Masks/FRM-M#002#Star.png"}) {
        if (!mask.save(dir.filePath(name)))
            return {};
    }
    return dir.path();
}

} // namespace

// The picture's mask is found by the identifier part of its name (type and index, nothing before
// them) in the bundle's "Masks" folder, made once and kept while the name stays, and made anew for another name; the name and the inset
// are plain values that register and post nothing, and are saved.
TEST(FrameDescription, TheImageMaskIsMadeOnDemandAndKeptAndTheInsetIsAPlainValue)
{
    QTemporaryDir dir;
    const QString bundle = maskBundle(dir);
    ASSERT_FALSE(bundle.isEmpty());
    QSFrameDescription frame({{"Name", "Masked"}, {"ImageMask", "FRM-M#001#Renamed"}, {"Inset", 0.5}}, bundle, true);
    platform::UndoManager undo;
    frame.setUndoManager(&undo);
    frame.setPostsChanges(true);
    int posted = 0;
    platform::NotificationCenter::defaultCenter()->addObserver(&posted, "FrameChanged", &frame,
                                                              [&posted](const platform::Notification &) { ++posted; });

    EXPECT_EQ(frame.imageMaskName(), "FRM-M#001#Renamed");
    const auto oval = frame.imageMask();
    ASSERT_TRUE(oval);
    EXPECT_EQ(oval->imagePath(), dir.filePath("Masks/FRM-M#001#Oval#20-4.png"));
    EXPECT_EQ(oval->width(), 20.0);
    EXPECT_EQ(oval->corner(), 4.0);
    EXPECT_EQ(frame.imageMask(), oval) << "kept";
    frame.setImageMaskName("FRM-M#001#Renamed");
    EXPECT_EQ(frame.imageMask(), oval) << "kept for the same name";

    const struct
    {
        QString name;
        QString file;
    } cases[] = {{"FRM-M#002#Star", "Masks/FRM-M#002#Star.png"},
                 {"FRM-M#009#Missing", QString()},
                 {QString(), QString()},
                 {"../../FRM-M#002#Star", "Masks/FRM-M#002#Star.png"},
                 {"FRM-M#001#Oval", "Masks/FRM-M#001#Oval#20-4.png"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        frame.setImageMaskName(c.name);
        EXPECT_EQ(frame.imageMaskName(), c.name);
        const auto mask = frame.imageMask();
        EXPECT_EQ(mask ? mask->imagePath() : QString(), c.file.isEmpty() ? QString() : dir.filePath(c.file));
        EXPECT_EQ(frame.saveDictionary().value("ImageMask").toString(), c.name);
    }
    EXPECT_NE(frame.imageMask(), oval) << "made anew after the name changed";

    frame.setInset(0.25);
    EXPECT_EQ(frame.inset(), 0.25);
    EXPECT_EQ(frame.saveDictionary().value("Inset").toDouble(), 0.25);
    QCoreApplication::processEvents();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(posted, 0);
    platform::NotificationCenter::defaultCenter()->removeObserver(&posted);

    const QSFrameDescription read(frame.saveDictionary(), bundle, false);
    EXPECT_EQ(read.imageMaskName(), "FRM-M#001#Oval");
    EXPECT_EQ(read.inset(), 0.25);
    ASSERT_TRUE(read.imageMask());
    EXPECT_EQ(read.imageMask()->imagePath(), oval->imagePath());
}

namespace {

// A window to press the pointer's left button on, as a drag does; the recording of a gesture is
// the process's, and no case leaves one behind.
class IntensityDrag : public ::testing::Test
{
protected:
    void SetUp() override
    {
        surface.resize(100, 100);
        surface.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
        frame->setUndoManager(&undo);
    }
    void TearDown() override { UndoGestureRecording::shared().end(); }
    void press() { QTest::mousePress(surface.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10)); }
    void release() { QTest::mouseRelease(surface.windowHandle(), Qt::LeftButton, {}, QPoint(50, 10)); }
    // The intensities of a drag, the pointer moving between them; the undo manager groups by event.
    void drag(std::initializer_list<double> intensities)
    {
        press();
        int x = 10;
        for (const double intensity : intensities) {
            QTest::mouseMove(surface.windowHandle(), QPoint(++x, 10));
            frame->setShadeIntensity(intensity, 0);
            QCoreApplication::processEvents();
        }
        release();
    }
    double intensity() const { return frame->shades().first()->intensity(); }

    QTemporaryDir dir;
    std::shared_ptr<QSFrameDescription> frame = shadedFrame(dir);
    platform::UndoManager undo;
    QWidget surface;
};

} // namespace

// Ten intensities in one drag are one undo step back to the intensity before it, and its redo
// brings the last; the next drag is a step of its own.
TEST_F(IntensityDrag, TheChangesOfOneDragAreOneUndoStep)
{
    drag({0.55, 0.6, 0.65, 0.7, 0.75, 0.8, 0.85, 0.9, 0.95, 1.0});
    EXPECT_FALSE(rqs::recordingInProgress()) << "the release ends the gesture";
    EXPECT_EQ(intensity(), 1.0);
    EXPECT_EQ(undo.undoActionName(), "Intensity");
    drag({0.9, 0.8, 0.7});

    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(intensity(), 1.0) << "the second drag undone";
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(intensity(), 0.5) << "the intensity before the first drag";
    EXPECT_FALSE(undo.canUndo()) << "each drag was one step";
    ASSERT_TRUE(undo.redo());
    EXPECT_EQ(intensity(), 1.0);
    ASSERT_TRUE(undo.redo());
    EXPECT_EQ(intensity(), 0.7);
    EXPECT_FALSE(undo.canRedo());
}

// Without a button held (the keyboard, a script) every change is a step of its own.
TEST_F(IntensityDrag, WithoutAButtonHeldEachChangeIsAStep)
{
    for (const double value : {0.6, 0.7, 0.8}) {
        frame->setShadeIntensity(value, 0);
        QCoreApplication::processEvents();
    }
    for (const double value : {0.7, 0.6, 0.5}) {
        ASSERT_TRUE(undo.undo());
        EXPECT_EQ(intensity(), value);
    }
    EXPECT_FALSE(undo.canUndo());
}

// A drag cut short by its window going while the button is held (the frame builder closed with
// Escape): the release never reaches the application, and the next change, made with the keyboard,
// is a step of its own rather than part of the drag's.
TEST_F(IntensityDrag, AWindowThatHidesEndsTheDragInIt)
{
    surface.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&surface));
    press();
    const auto letGo = qScopeGuard([&] { release(); }); // Qt's button state, for the cases after this
    QTest::mouseMove(surface.windowHandle(), QPoint(20, 10));
    frame->setShadeIntensity(0.59, 0);
    QCoreApplication::processEvents();
    ASSERT_TRUE(rqs::recordingInProgress());
    surface.hide();
    EXPECT_FALSE(rqs::recordingInProgress()) << "the drag ends with its window";

    frame->setShadeIntensity(0.8, 0);
    QCoreApplication::processEvents();
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(intensity(), 0.59) << "the keyboard's change undone alone";
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(intensity(), 0.5) << "then the drag";
}
