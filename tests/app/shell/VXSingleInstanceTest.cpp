#include "app/shell/VXSingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

using Request = VXSingleInstance::Request;

// What a process that died leaves behind: a socket file nobody listens on.
bool leaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(), std::min(sizeof(address.sun_path) - 1, size_t(bytes.size())));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

TEST(VXSingleInstanceTest, ALaterLaunchHandsItsFilesToTheRunningOne)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("foldwise-test");
    VXSingleInstance later(name);
    EXPECT_FALSE(later.forward(Request::OpenFiles, {"/a.pdf"})) << "nobody listens yet";

    ASSERT_TRUE(leaveStaleSocket(name));
    VXSingleInstance running(name);
    ASSERT_TRUE(running.listen()) << "the stale socket is replaced";
    QSignalSpy received(&running, &VXSingleInstance::filesReceived);
    EXPECT_FALSE(VXSingleInstance(name).listen()) << "a live instance keeps its socket";

    const QString relative = QDir::current().relativeFilePath(folder.filePath("b c.pdf"));
    struct Case
    {
        Request request;
        QStringList paths;
        QStringList arrive;
    };
    const QList<Case> cases{
        {Request::OpenFiles, {"/x/Ünïcode.pdf", relative}, {"/x/Ünïcode.pdf", folder.filePath("b c.pdf")}},
        {Request::Service, {"/spool/job 1.pdf"}, {"/spool/job 1.pdf"}},
        {Request::OpenFiles, {}, {}},
    };
    for (const Case &c : cases) {
        received.clear();
        ASSERT_TRUE(later.forward(c.request, c.paths));
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
        EXPECT_EQ(received.at(0).at(0).value<Request>(), c.request);
        EXPECT_EQ(received.at(0).at(1).toStringList(), c.arrive);
    }
}

} // namespace
