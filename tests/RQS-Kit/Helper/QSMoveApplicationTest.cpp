#include "RQS-Kit/Helper/QSBundleTree.h"
#include "RQS-Kit/Helper/QSMoveApplication.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Outcome = QSMoveApplication::Outcome;

QString text(const char *key) { return rqs::localizedForTable(QLatin1String(key), QStringLiteral("RQS-Localizable")); }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// Stand-ins for the user's home with its Downloads and Applications folders, "/opt" and a prefix;
// a Foldwise folder in Downloads whose resources link to a folder outside it.
class MoveApplication : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folders = {root.filePath("home/Applications"), root.filePath("opt"), root.filePath("home/Downloads"), {root.filePath("usr")}};
        QDir().mkpath(folders.systemApplications);
        bundle = makeBundle(folders.downloads + "/Foldwise");
        writeFile(root.filePath("outside/keep.txt"), "kept");
        ASSERT_TRUE(QFile::link(root.filePath("outside"), bundle + "/share/foldwise/resources/outside"));
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(QSMoveApplication::SuppressKey);
        platform::Alert::setResponder([this](platform::Alert &alert) {
            shown.append(alert.messageText());
            informative = alert.informativeText();
            alert.setSuppressionButtonTicked(true);
            return int(QSMoveApplication::DoNotMove);
        });
    }
    void TearDown() override { platform::Alert::setResponder(nullptr); }

    QString makeBundle(const QString &path)
    {
        writeFile(QSBundleTree::executableIn(path), "#!/bin/sh\n");
        QFile::setPermissions(QSBundleTree::executableIn(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(path + "/share/foldwise/resources/Info.plist", "<plist/>");
        return path;
    }

    QSMoveApplication mover(const QString &path)
    {
        QSMoveApplication move(path, folders);
        move.setRelaunch([this](const QString &executable) {
            relaunched.append(executable);
            return relaunchWorks;
        });
        return move;
    }

    bool bundleUntouched() const { return QSBundleTree::isBundle(bundle) && QFileInfo(bundle + "/share/foldwise/resources/outside").isSymLink(); }

    QTemporaryDir root;
    QSMoveApplication::Folders folders;
    QString bundle;
    QStringList relaunched;
    bool relaunchWorks = true;
    QStringList shown;
    QString informative;
};

} // namespace

TEST_F(MoveApplication, OffersOnlyToAFoldwiseFolderOutsideTheApplicationsFoldersAndPrefixes)
{
    const struct
    {
        QString path;
        bool offered;
    } cases[] = {
        {bundle, true},
        {makeBundle(folders.userApplications + "/Foldwise"), false},
        {makeBundle(folders.systemApplications + "/Foldwise"), false},
        {makeBundle(root.filePath("usr")), false},
        {makeBundle(root.filePath("x/Applications/Foldwise")), false},
        {QSBundleTree::bundlePathForExecutable(root.filePath("build/foldwise")), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(mover(c.path).needsOffer(), c.offered) << c.path.toStdString();
    EXPECT_EQ(QSBundleTree::bundlePathForExecutable(bundle + "/bin/foldwise"), bundle);
    platform::UserDefaults::standardUserDefaults()->setBool(true, QSMoveApplication::SuppressKey);
    EXPECT_FALSE(mover(bundle).needsOffer());
}

TEST_F(MoveApplication, RefusedOfferMovesNothingAndRemembersTheTickedBox)
{
    mover(bundle).moveToApplicationsFolderIfNecessary();
    ASSERT_TRUE(QTest::qWaitFor([&] { return platform::UserDefaults::standardUserDefaults()->boolForKey(QSMoveApplication::SuppressKey); }));
    EXPECT_EQ(shown, QStringList{text("MoveApplicationsTitle")});
    EXPECT_TRUE(informative.startsWith(text("MoveApplicationsText").arg("Foldwise")));
    EXPECT_TRUE(informative.endsWith(text("MoveApplicationsDownload")));
    EXPECT_TRUE(bundleUntouched());
    EXPECT_TRUE(relaunched.isEmpty());
}

TEST_F(MoveApplication, MovesIntoTheHomeFolderKeepingLinksAndStartsTheCopy)
{
    ASSERT_EQ(mover(bundle).moveApplicationChoice(QSMoveApplication::MoveToHome), Outcome::Moved);
    const QString moved = folders.userApplications + "/Foldwise";
    EXPECT_TRUE(QSBundleTree::isBundle(moved));
    EXPECT_TRUE(QFileInfo(moved + "/bin/foldwise").isExecutable());
    EXPECT_EQ(QFileInfo(moved + "/share/foldwise/resources/outside").symLinkTarget(), root.filePath("outside"));
    EXPECT_FALSE(QFileInfo::exists(bundle));
    EXPECT_TRUE(QFileInfo::exists(root.filePath("outside/keep.txt"))) << "a link is removed, never followed";
    EXPECT_EQ(relaunched, QStringList{moved + "/bin/foldwise"});
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(MoveApplication, FailuresShowTheAlertAndLeaveTheRunningCopyAsItWas)
{
    const QString foreign = folders.systemApplications + "/Foldwise";
    writeFile(foreign + "/notes.txt", "not ours");
    EXPECT_EQ(mover(bundle).moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Failed);
    EXPECT_TRUE(QFileInfo::exists(foreign + "/notes.txt"));
    relaunchWorks = false;
    EXPECT_EQ(mover(bundle).moveApplicationChoice(QSMoveApplication::MoveToHome), Outcome::Failed);
    EXPECT_EQ(shown, QStringList(2, text("FailedMoveToApplications")));
    EXPECT_TRUE(bundleUntouched());
    EXPECT_EQ(mover(bundle).moveApplicationChoice(QSMoveApplication::DoNotMove), Outcome::Stayed);
}

TEST_F(MoveApplication, SwitchesToAnOlderCopyThatRunsInsteadOfReplacingIt)
{
    const QString older = makeBundle(folders.userApplications + "/Foldwise");
    QFile::remove(older + "/bin/foldwise");
    ASSERT_TRUE(QFile::copy("/bin/sleep", older + "/bin/foldwise"));
    QProcess running;
    running.start(older + "/bin/foldwise", {"30"});
    ASSERT_TRUE(running.waitForStarted());
    EXPECT_EQ(mover(bundle).moveApplicationChoice(QSMoveApplication::MoveToHome), Outcome::SwitchedToRunningCopy);
    running.kill();
    running.waitForFinished();
    EXPECT_EQ(relaunched, QStringList{older + "/bin/foldwise"});
    EXPECT_TRUE(bundleUntouched());
}

TEST_F(MoveApplication, ReplacesAnOlderCopyButNothingElse)
{
    const QString older = makeBundle(folders.userApplications + "/Foldwise");
    writeFile(older + "/old.txt", "old");
    EXPECT_EQ(mover(bundle).moveApplicationChoice(QSMoveApplication::MoveToHome), Outcome::Moved);
    EXPECT_FALSE(QFileInfo::exists(older + "/old.txt"));
    EXPECT_TRUE(QSBundleTree::isBundle(older));
    // The administrator's side checks the same.
    const QString foreign = root.filePath("elsewhere/Foldwise");
    writeFile(foreign + "/notes.txt", "not ours");
    EXPECT_FALSE(QSMoveApplication::installBundle(older, foreign));
    EXPECT_FALSE(QSMoveApplication::installBundle(older, root.filePath("elsewhere/Other")));
    EXPECT_TRUE(QFileInfo::exists(foreign + "/notes.txt"));
}

TEST_F(MoveApplication, WithoutRightsTheAdministratorCopies)
{
    folders.systemApplications = root.filePath("missing/opt"); // not writable: needs rights
    QSMoveApplication move = mover(bundle);
    int status = 126;
    move.setPrivilegedInstall([&](const QString &from, const QString &to) {
        QDir().mkpath(QFileInfo(to).absolutePath());
        return status == 0 ? (QSMoveApplication::installBundle(from, to) ? 0 : 1) : status;
    });
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Cancelled);
    EXPECT_TRUE(shown.isEmpty());
    QDir(folders.systemApplications).removeRecursively();
    status = 1;
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Failed);
    EXPECT_TRUE(bundleUntouched());
    QDir(folders.systemApplications).removeRecursively();
    status = 0;
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Moved);
    EXPECT_TRUE(QFileInfo(folders.systemApplications + "/Foldwise/share/foldwise/resources/outside").isSymLink());
    EXPECT_FALSE(QFileInfo::exists(bundle));
}
