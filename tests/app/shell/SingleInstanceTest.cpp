#include "app/shell/VXSingleInstance.h"
#include "platform/foundation/Log.h"

#include "support/EnvironmentScope.h"
#include "support/ForeignUser.h"
#include "support/PdfFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Request = VXSingleInstance::Request;

mode_t modeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

uid_t ownerOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_uid : uid_t(-1);
}

// Folders that another user can reach: the tests' own temporary folder is closed to others.
QString reachableByOthers() { return QStringLiteral("/tmp/foldwise-test-XXXXXX"); }

// A session without a runtime folder (su, ssh -X, cron), in a temporary folder of its own that
// stands for /tmp: open to everyone, sticky.
class SingleInstanceWithoutRuntimeFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temporary.isValid());
        ASSERT_EQ(::chmod(QFile::encodeName(temporary.path()).constData(), 01777), 0);
    }

    QString fallbackFolder() const { return temporary.filePath(QStringLiteral("foldwise-%1").arg(::geteuid())); }
    // Hands one file over, as a later launch does: whether it arrived.
    static bool handsOver(VXSingleInstance &running, const QString &name)
    {
        QSignalSpy received(&running, &VXSingleInstance::filesReceived);
        return VXSingleInstance(name).forward(Request::OpenFiles, {"/a.pdf"})
            && QTest::qWaitFor([&] { return received.size() == 1; }, 5000) && received.at(0).at(1).toStringList() == QStringList{"/a.pdf"};
    }

    QTemporaryDir temporary{reachableByOthers()};
    EnvironmentScope tmp{"TMPDIR", temporary.path()};
    EnvironmentScope runtime{"XDG_RUNTIME_DIR", QString()};
};

} // namespace

// The socket goes into a folder made for it, the user's own and closed to others; a runtime folder
// is used only while it is private too.
TEST_F(SingleInstanceWithoutRuntimeFolder, TheSocketLivesInAFolderOfTheUsersOwn)
{
    const QString name = VXSingleInstance::defaultServerName();
    EXPECT_EQ(QFileInfo(name).path(), fallbackFolder());
    EXPECT_EQ(modeOf(fallbackFolder()), mode_t(S_IFDIR | 0700));
    EXPECT_EQ(ownerOf(fallbackFolder()), ::geteuid());
    VXSingleInstance running(name);
    ASSERT_TRUE(running.listen());
    EXPECT_TRUE(handsOver(running, name));

    QTemporaryDir sessionFolder;
    {
        EnvironmentScope session("XDG_RUNTIME_DIR", sessionFolder.path());
        EXPECT_EQ(VXSingleInstance::defaultServerName(), sessionFolder.filePath(QStringLiteral("foldwise-%1").arg(::geteuid())));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(sessionFolder.path()).constData(), 0777), 0);
    EnvironmentScope open("XDG_RUNTIME_DIR", sessionFolder.path());
    platform::LogCapture log;
    EXPECT_EQ(VXSingleInstance::defaultServerName(), name) << "a runtime folder anyone may write in is passed over";
    EXPECT_TRUE(log.contains("because others may write in it (mode 0777)")) << log.lines().join('\n').toStdString();
}

// Whatever stands at the folder's name already and is not a private folder of the user is not
// used: nothing listens there, and nothing is handed over.
TEST_F(SingleInstanceWithoutRuntimeFolder, AFolderThatIsNotPrivateIsNeitherListenedInNorSpokenTo)
{
    QTemporaryDir elsewhere;
    const QString folder = fallbackFolder();
    const struct {
        const char *what;
        std::function<bool()> make;
        const char *reason;
    } cases[] = {
        {"a folder others may write in", [&] { return QDir().mkdir(folder) && ::chmod(QFile::encodeName(folder).constData(), 0777) == 0; },
         "others may write in it (mode 0777)"},
        {"a link to a private folder", [&] { return QFile::link(elsewhere.path(), folder); }, "it is a symbolic link"},
        {"a file", [&] { return QFile(folder).open(QIODevice::WriteOnly); }, "it is no folder"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.make());
        const QString name = VXSingleInstance::defaultServerName();
        EXPECT_EQ(name, folder + "/socket");
        platform::LogCapture log;
        VXSingleInstance instance(name);
        EXPECT_FALSE(instance.listen());
        EXPECT_FALSE(VXSingleInstance(name).forward(Request::OpenFiles, {"/a.pdf"}));
        EXPECT_EQ(log.lines().filter(c.reason).size(), 2) << log.lines().join('\n').toStdString();
        EXPECT_FALSE(QFileInfo::exists(elsewhere.filePath("socket"))) << "nothing was made through the link";
        ASSERT_TRUE(QFile::remove(folder) || QDir().rmdir(folder));
    }
    EXPECT_FALSE(VXSingleInstance(QStringLiteral("foldwise-bare")).listen()) << "a bare name would land in the temporary folder";
}

namespace {

// Another user on the same machine, who got to the temporary folder first.
class SingleInstanceBesideAnotherUser : public SingleInstanceWithoutRuntimeFolder
{
protected:
    void SetUp() override
    {
        if (!ForeignUser::available())
            GTEST_SKIP() << "only root can act as another user";
        SingleInstanceWithoutRuntimeFolder::SetUp();
    }

    // Foldwise started as a later launch would be, with a file to open; its output once it said
    // that the file opened, or a generous limit passed.
    QString launchOpening(const QString &file)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("XDG_RUNTIME_DIR");
        environment.insert("TMPDIR", temporary.path());
        for (const char *variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            environment.insert(variable, home.path());
        QProcess foldwise;
        foldwise.setProcessEnvironment(environment);
        foldwise.setProcessChannelMode(QProcess::MergedChannels);
        foldwise.start(QStringLiteral(FOLDWISE_BINARY), {file});
        QString output;
        const bool opened = QTest::qWaitFor([&] { return (output += QString::fromUtf8(foldwise.readAll())).contains("Opened \"" + file); }, 30000);
        foldwise.terminate();
        foldwise.waitForFinished(20000);
        output += QString::fromUtf8(foldwise.readAll());
        return opened ? output : output + "\n(the file did not open within 30 s)";
    }

    QTemporaryDir home;
};

// The socket address of path, made before a fork.
sockaddr_un addressOf(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(), std::min(size_t(bytes.size()), sizeof address.sun_path - 1));
    return address;
}

} // namespace

// The other user listens where Foldwise would once have put its socket in /tmp, and in a folder of
// the fallback's name; Foldwise never connects to either, and the file opens in the new process.
TEST_F(SingleInstanceBesideAnotherUser, ASocketTheOtherUserMadeFirstIsNeverConnectedToAndTheFileStillOpens)
{
    const QString fallback = fallbackFolder();
    const QByteArray qtRuntime = QFile::encodeName(temporary.filePath("runtime-root"));
    const QByteArray fallbackBytes = QFile::encodeName(fallback);
    // Qt's own fallback runtime folder, taken as well: it then refuses it.
    ASSERT_TRUE(ForeignUser::run([&] { return ::mkdir(qtRuntime.constData(), 0777) == 0; }));
    const struct {
        const char *what;
        std::function<bool()> make;
        QString socket;
    } cases[] = {
        {"a socket at the fallback's name", [] { return true; }, fallback},
        {"a folder of the fallback's name", [&] { return ::mkdir(fallbackBytes.constData(), 0777) == 0 && ::chmod(fallbackBytes.constData(), 0777) == 0; },
         fallback + "/socket"},
    };
    const QString file = PdfFixture::write(home.path(), "a.pdf", PdfFixture::pages(PdfFixture::numbered(2)));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ForeignUser::run(c.make));
        ForeignListener listener(c.socket);
        ASSERT_TRUE(listener.isListening());
        EXPECT_EQ(ownerOf(fallback), ForeignUser::uid());
        const QString output = launchOpening(file);
        EXPECT_TRUE(output.contains("Opened \"" + file)) << output.toStdString();
        const ForeignListener::Heard heard = listener.heard();
        EXPECT_EQ(heard.connections, 0);
        EXPECT_EQ(heard.bytes, QByteArray());
        QFile::remove(c.socket);
        QDir().rmdir(fallback);
    }
}

// Even in a private folder a socket may have another user at its other end (a folder opened by
// mistake for a moment is enough): not a word goes to it, and nothing it says is taken.
TEST_F(SingleInstanceBesideAnotherUser, NeitherEndTrustsAPeerThatIsAnotherUser)
{
    QTemporaryDir folder(reachableByOthers());
    const QByteArray folderBytes = QFile::encodeName(folder.path());
    const QString theirs = folder.filePath("foldwise-theirs");
    ASSERT_EQ(::chmod(folderBytes.constData(), 0777), 0);
    ForeignListener listener(theirs);
    ASSERT_TRUE(listener.isListening());
    ASSERT_EQ(::chmod(folderBytes.constData(), 0700), 0);
    platform::LogCapture log;
    EXPECT_FALSE(VXSingleInstance(theirs).forward(Request::OpenFiles, {"/home/someone/secret.pdf"}));
    EXPECT_TRUE(log.contains("Did not hand the files to the Foldwise on " + theirs + ", because user "
                             + QString::number(ForeignUser::uid()) + " listens there"))
        << log.lines().join('\n').toStdString();
    VXSingleInstance replacing(theirs);
    EXPECT_TRUE(replacing.listen()) << "the other user's socket is no Foldwise of this user";
    const ForeignListener::Heard heard = listener.heard();
    EXPECT_EQ(heard.connections, 2) << "connected to learn who listens";
    EXPECT_EQ(heard.bytes, QByteArray());

    const QString ours = folder.filePath("foldwise-ours");
    VXSingleInstance running(ours);
    ASSERT_TRUE(running.listen());
    QSignalSpy received(&running, &VXSingleInstance::filesReceived);
    // Opened wide as a mistake would leave them, so that the other user can reach the socket.
    ASSERT_EQ(::chmod(folderBytes.constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(ours).constData(), 0777), 0);
    const sockaddr_un address = addressOf(ours);
    static const char request[] = "open\0/tmp/planted.pdf\0";
    ASSERT_TRUE(ForeignUser::run([&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool sent = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
            && ::write(fd, request, sizeof request - 1) == ssize_t(sizeof request - 1);
        ::close(fd);
        return sent;
    }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.contains("Refused a request from user " + QString::number(ForeignUser::uid())); }, 5000))
        << log.lines().join('\n').toStdString();
    QTest::qWait(100);
    EXPECT_EQ(received.size(), 0);
    EXPECT_TRUE(VXSingleInstance(ours).forward(Request::OpenFiles, {"/a.pdf"})) << "the user's own launch still hands over";
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
}

// Every kind of request reaches the running instance as the kind it was sent as, with its paths.
TEST(SingleInstance, EachRequestArrivesAsTheKindItWasSentAs)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("socket");
    VXSingleInstance running(name);
    ASSERT_TRUE(running.listen());
    const std::pair<Request, QStringList> requests[] = {
        {Request::OpenFiles, {"/a.pdf", "/b.png"}},
        {Request::Service, {"/printed.pdf"}},
        {Request::AddPDFService, {}},
    };
    for (const auto &[request, paths] : requests) {
        SCOPED_TRACE(int(request));
        QSignalSpy received(&running, &VXSingleInstance::filesReceived);
        ASSERT_TRUE(VXSingleInstance(name).forward(request, paths));
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
        EXPECT_EQ(received.at(0).at(0).value<Request>(), request);
        EXPECT_EQ(received.at(0).at(1).toStringList(), paths);
    }
}
