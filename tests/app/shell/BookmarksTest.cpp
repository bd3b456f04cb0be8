#include "app/shell/AppDelegate.h"
#include "app/shell/VXBookmarkStore.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

#include "support/ForeignUser.h"
#include "support/PropertyListFixture.h"
#include "support/ReadOnlyMount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Real bookmark files in a temporary folder.
class VXBookmarkStoreTest : public ::testing::Test
{
protected:
    QString file(const QString &name, const QByteArray &bytes = "%PDF-1.4")
    {
        QFile out(folder.filePath(name));
        EXPECT_TRUE(QDir().mkpath(QFileInfo(out).path()) && out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return out.fileName();
    }
    QVariantMap stored() const { return platform::PropertyList::read(plist).toMap(); }

    QTemporaryDir folder;
    QString plist = folder.filePath("Boomarks.plist");
};

TEST_F(VXBookmarkStoreTest, AFileReachedByAnotherPathIsStoredUnderItsOwnAndAMissingOneIsKept)
{
    const QString real = QFileInfo(file("real/Leaflet.pdf")).canonicalFilePath();
    ASSERT_TRUE(QFile::link(folder.filePath("real"), folder.filePath("shortcut")));
    const QString viaLink = folder.filePath("shortcut/Leaflet.pdf"), gone = folder.filePath("gone.pdf");
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{viaLink, viaLink.toUtf8()}, {gone, gone.toUtf8()}}, plist));

    VXBookmarkStore(plist).activateBookmarks(true);
    EXPECT_EQ(stored(), (QVariantMap{{real, real.toUtf8()}, {gone, gone.toUtf8()}}));

    // Nothing to renew: the file, written by hand, is not written again.
    const QByteArray byHand = platform::PropertyList::toXml(QVariantMap{{real, real.toUtf8()}}) + "<!-- by hand -->\n";
    file("Boomarks.plist", byHand);
    VXBookmarkStore(plist).activateBookmarks(true);
    QFile after(plist);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), byHand);
}

TEST_F(VXBookmarkStoreTest, AMissingFileIsAnEmptyStoreThatWritesNothingAtLaunch)
{
    VXBookmarkStore store(plist);
    store.activateBookmarks(true);
    EXPECT_TRUE(store.bookmarks().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(plist));
}

// Read at every launch: a file that could not be read must be moved aside, never read again.
TEST_F(VXBookmarkStoreTest, ADamagedFileIsKeptAsideAndToldNotOverwritten)
{
    const struct { const char *name; QByteArray bytes; QString reason; } cases[] = {
        {"cut short", "<?xml version=\"1.0\"?><plist><dict><key>/a.pdf</key><data>", "it is no property list"},
        {"nested 30,000 levels", PropertyListFixture::nestedXml(30000), "it nests arrays and dictionaries deeper than 512 levels"},
        {"a zero in a binary text", PropertyListFixture::zeroInText(), "a text holding a zero character"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        file("Boomarks.plist", c.bytes);
        platform::LogCapture log;
        VXBookmarkStore store(plist);
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error: Could not read the bookmarks in %1, because %2; kept it as %3")
                                               .arg(plist, c.reason, folder.filePath("Boomarks (damaged 1).plist"))});

        const QString leaflet = QFileInfo(file("Leaflet.pdf")).canonicalFilePath();
        EXPECT_TRUE(store.saveBookmarkForURL(QUrl::fromLocalFile(leaflet)));
        EXPECT_EQ(stored(), (QVariantMap{{leaflet, leaflet.toUtf8()}}));
        QFile aside(folder.filePath("Boomarks (damaged 1).plist"));
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), c.bytes);
        ASSERT_TRUE(aside.remove());
    }
}

} // namespace

// What access(2) answers for the user the process runs as: a link counts by what it points to,
// root may write anything but a read-only mount, another user only what its permissions give.
TEST(AppDelegateFileAccess, ExistsAndWritableAsTheUserTheProcessRunsAs)
{
    QTemporaryDir folder(QDir::rootPath() + "tmp/foldwise-access-XXXXXX");
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::Permissions(0x7755)));
    const auto made = [&](const QString &name, QFile::Permissions permissions) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4") == 8);
        file.close();
        EXPECT_TRUE(file.setPermissions(permissions));
        return file.fileName();
    };
    const QString mine = made("mine.pdf", QFile::Permissions(0x6644));
    const QString shared = made("shared.pdf", QFile::Permissions(0x6666));
    ASSERT_TRUE(QDir(folder.path()).mkdir("closed"));
    const QString closed = QDir(folder.path()).filePath("closed/inside.pdf");
    ASSERT_TRUE(QFile::copy(mine, closed));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("closed"), QFile::Permissions(0x7700)));
    ASSERT_TRUE(QFile::link(mine, folder.filePath("link.pdf")));
    ASSERT_TRUE(QFile::link(folder.filePath("gone.pdf"), folder.filePath("dangling.pdf")));
    const QString readOnlyFolder = folder.filePath("read-only");
    const ReadOnlyMount readOnly(readOnlyFolder, [](const QString &at) {
        QFile file(at + "/kept.pdf");
        (void)(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4"));
    });

    struct Case { QString path; bool exists; bool writable; bool asNobodyExists; bool asNobodyWritable; };
    QList<Case> cases{
        {mine, true, true, true, false},
        {shared, true, true, true, true},
        {closed, true, true, false, false},
        {folder.filePath("link.pdf"), true, true, true, false},
        {folder.filePath("dangling.pdf"), false, false, false, false},
        {folder.filePath("gone.pdf"), false, false, false, false},
        {folder.path(), true, true, true, false},
        {QString(), false, false, false, false},
        {mine + QChar::Null + "x", false, false, false, false},
    };
    if (readOnly.readOnly)
        cases.append({readOnlyFolder + "/kept.pdf", true, false, true, false});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(AppDelegate::fileExists(c.path), c.exists);
        EXPECT_EQ(AppDelegate::canGetAccessToFile(c.path), c.writable);
    }
    if (!ForeignUser::available())
        GTEST_SKIP() << "only root can be another user";
    QList<std::pair<bool, bool>> asNobody;
    {
        ForeignUserScope nobody;
        ASSERT_TRUE(nobody.isActive());
        for (const Case &c : cases)
            asNobody.append({AppDelegate::fileExists(c.path), AppDelegate::canGetAccessToFile(c.path)});
    }
    for (qsizetype i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("as nobody: " + cases[i].path.toStdString());
        EXPECT_EQ(asNobody[i], std::pair(cases[i].asNobodyExists, cases[i].asNobodyWritable));
    }
}
