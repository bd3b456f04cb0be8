#include "RQS-Kit/Helper/QSBundleTree.h"
#include "RQS-Kit/Helper/QSMoveApplication.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include "support/Desktop.h"
#include "support/ReadOnlyMount.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
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

// Running from a read-only mount (an AppImage's, a write-protected stick) Foldwise is copied and
// the original is left as it is: no attempt to delete it, no warning.
TEST_F(MoveApplication, FromAReadOnlyMountItCopiesAndLeavesTheOriginalAsItIs)
{
    const QString onMount = root.filePath("media/stick/Foldwise");
    ReadOnlyMount stick(root.filePath("media/stick"), [this](const QString &at) { makeBundle(at + "/Foldwise"); });
    if (!stick.readOnly)
        GTEST_SKIP() << "mounting needs root";
    platform::LogCapture log;
    ASSERT_EQ(mover(onMount).moveApplicationChoice(QSMoveApplication::MoveToHome), Outcome::Moved);
    const QString moved = folders.userApplications + "/Foldwise";
    EXPECT_TRUE(QSBundleTree::isBundle(moved));
    EXPECT_EQ(relaunched, QStringList{moved + "/bin/foldwise"});
    EXPECT_TRUE(QSBundleTree::isBundle(onMount));
    for (const QString &line : log.lines())
        EXPECT_FALSE(line.startsWith("Warning: ") || line.startsWith("Error: ")) << line.toStdString();
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

TEST_F(MoveApplication, TrashesAnOlderCopyButReplacesNothingElse)
{
    const QString older = makeBundle(folders.userApplications + "/Foldwise");
    writeFile(older + "/old.txt", "old");
    EXPECT_EQ(mover(bundle).moveApplicationChoice(QSMoveApplication::MoveToHome), Outcome::Moved);
    EXPECT_FALSE(QFileInfo::exists(older + "/old.txt"));
    EXPECT_TRUE(QSBundleTree::isBundle(older));
    QDir trash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash");
    const QStringList trashed = QDir(trash.filePath("files")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(trash.filePath("files/" + trashed.first() + "/old.txt")));
    trash.removeRecursively();
}

// pkexec stands in here: the command runs as this user, as pkexec would run it as root.
int runAsThisUser(const QStringList &command, QString *)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST_F(MoveApplication, WithoutRightsTheSystemsOwnProgramsCopy)
{
    folders.systemApplications = root.filePath("missing/opt"); // not writable: needs rights
    QSMoveApplication move = mover(bundle);
    int status = 126;
    QStringList ran;
    move.setPrivilegedRun([&](const QStringList &command, QString *error) {
        ran = command;
        if (status != 0)
            return status;
        QDir().mkpath(folders.systemApplications);
        return runAsThisUser(command, error);
    });
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Cancelled);
    EXPECT_TRUE(shown.isEmpty());
    ASSERT_FALSE(ran.isEmpty());
    EXPECT_EQ(ran.first(), "/bin/sh") << "root runs no program the user can write";
    EXPECT_FALSE(ran.join(' ').contains(bundle + "/bin")) << ran.join(' ').toStdString();
    EXPECT_EQ(ran.mid(ran.size() - 2), QStringList({folders.systemApplications + "/Foldwise", bundle}));
    status = 1;
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Failed);
    EXPECT_EQ(informative, text("MoveFailedCopy").arg("status 1"));
    EXPECT_TRUE(bundleUntouched());
    status = 0;
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Moved);
    const QString moved = folders.systemApplications + "/Foldwise";
    EXPECT_TRUE(QFileInfo(moved + "/share/foldwise/resources/outside").isSymLink());
    EXPECT_TRUE(QFileInfo(moved + "/bin/foldwise").isExecutable());
    EXPECT_FALSE(QFileInfo::exists(bundle));
}

TEST_F(MoveApplication, TheAdministratorsCommandReplacesAnOlderCopyWithPathsAsArguments)
{
    const QString quoted = makeBundle(root.filePath("it's \"odd\" $(x)/Foldwise"));
    const QString older = makeBundle(root.filePath("opt/Foldwise"));
    writeFile(older + "/old.txt", "old");
    EXPECT_EQ(runAsThisUser(QSMoveApplication::installCommand(quoted, older), nullptr), 0);
    EXPECT_FALSE(QFileInfo::exists(older + "/old.txt"));
    EXPECT_TRUE(QSBundleTree::isBundle(older));
    EXPECT_TRUE(QSBundleTree::isBundle(quoted));
}

TEST_F(MoveApplication, TheFailureAlertSaysWhy)
{
    const QString foreign = folders.systemApplications + "/Foldwise";
    writeFile(foreign + "/notes.txt", "not ours");
    QSMoveApplication move = mover(bundle);
    move.setPrivilegedRun([](const QStringList &, QString *) { return 0; });
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Failed);
    EXPECT_EQ(informative, text("MoveFailedNotFoldwise").arg(foreign));
    EXPECT_TRUE(QFileInfo::exists(foreign + "/notes.txt"));
    folders.systemApplications = root.filePath("missing/opt"); // not writable: needs rights
    move = mover(bundle);
    move.setPrivilegedRun([](const QStringList &, QString *error) {
        *error = text("MoveFailedNoPkexec");
        return -1;
    });
    EXPECT_EQ(move.moveApplicationChoice(QSMoveApplication::MoveToSystem), Outcome::Failed);
    EXPECT_EQ(informative, text("MoveFailedNoPkexec"));
    EXPECT_TRUE(bundleUntouched());
}

TEST_F(MoveApplication, TrashPathMovesAnItemToTheTrashAndNamesWhatItCouldNotMove)
{
    const QString older = makeBundle(root.filePath("older/Foldwise"));
    platform::LogCapture log;
    EXPECT_TRUE(QSTrashPath(older));
    EXPECT_FALSE(QFileInfo::exists(older));
    QDir trash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash");
    EXPECT_EQ(QDir(trash.filePath("files")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Foldwise"});
    trash.removeRecursively();

    const QString missing = root.filePath("missing/Foldwise");
    EXPECT_FALSE(QSTrashPath(missing));
    EXPECT_TRUE(log.lines().contains("Error: Could not trash '" + missing + "'")) << log.lines().join('\n').toStdString();
}

// The failure alert goes where the offer went: on the window a sheet without a view goes on, the
// first visible window when none is active, rather than on its own while a window is shown.
TEST_F(MoveApplication, TheFailureAlertIsASheetOnTheWindowForSheetsAlsoWhenNoneIsActive)
{
    platform::Alert::setResponder(nullptr);
    platform::Window window;
    window.setGeometry(200, 200, 400, 300);
    window.show();
    QWidget active;
    active.show();
    active.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&active));
    active.hide();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }));

    QSMoveApplication::showFailedToMove("why");
    auto *sheet = qobject_cast<QMessageBox *>(window.attachedSheet());
    ASSERT_NE(sheet, nullptr) << "no sheet on the shown window";
    EXPECT_EQ(sheet->text(), text("FailedMoveToApplications"));
    EXPECT_EQ(sheet->informativeText(), "why");
    window.endSheet(sheet, 0);
}

// Another program has the keyboard when the offer comes: Foldwise comes to the front first and
// asks on its window.
class MoveApplicationOnDesktop : public MoveApplication
{
};

TEST_F(MoveApplicationOnDesktop, TheOfferBringsFoldwiseToTheFront)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window window;
    window.setGeometry(200, 200, 400, 300);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));
    QProcess other;
    other.start("xmessage", {"-geometry", "300x100+250+250", "Another program"});
    ASSERT_TRUE(other.waitForStarted());
    const bool otherInFront = QTest::qWaitFor([&] { return QGuiApplication::applicationState() != Qt::ApplicationActive; }, DesktopTimeout);
    if (otherInFront) {
        mover(bundle).moveToApplicationsFolderIfNecessary();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }, DesktopTimeout)) << "in front to ask";
    }
    other.kill();
    other.waitForFinished();
    ASSERT_TRUE(otherInFront) << "the other program never took the keyboard";
    EXPECT_EQ(shown, QStringList{text("MoveApplicationsTitle")});
}
