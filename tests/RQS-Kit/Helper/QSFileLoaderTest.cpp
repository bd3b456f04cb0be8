#include "RQS-Kit/Helper/QSFileLoader.h"

#include "RQS-Kit/Helper/QSFileLoaderDelegate.h"
#include "platform/foundation/Log.h"
#include "support/FullDisk.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Body = QByteArray("feed ").repeated(2000);

// "/ok" with its length, "/nolength" without, "/broken" closes after a tenth of the length it announced, else 404.
void answer(QTcpSocket *socket)
{
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
        if (!socket->peek(4096).contains("\r\n\r\n"))
            return;
        const QByteArray ok = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
        const QByteArray length = "Content-Length: " + QByteArray::number(Body.size()) + "\r\n\r\n";
        const QMap<QByteArray, QByteArray> answers{{"/ok", ok + length + Body}, {"/nolength", ok + "\r\n" + Body},
                                                   {"/broken", ok + length + Body.left(Body.size() / 10)}};
        const QByteArray path = socket->readAll().split(' ').value(1);
        socket->write(answers.value(path, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"));
        socket->disconnectFromHost();
    });
}

struct Recorder : QObject, QSFileLoaderDelegate
{
    QStringList events;
    QList<double> progress;
    QString error;
    void fileLoaderDidFinish(QSFileLoader *) override { events.append("finished"); }
    void fileLoaderDidFail(QSFileLoader *, const QString &reason) override
    {
        events.append("failed");
        error = reason;
    }
    void fileLoaderDidCancel(QSFileLoader *) override { events.append("cancelled"); }
    void fileLoader(QSFileLoader *, double value) override { progress.append(value); }
};

} // namespace

TEST(QSFileLoader, OnlyACompleteDownloadReplacesTheFileAndCancellingIsNoSuccess)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QObject::connect(&server, &QTcpServer::newConnection, [&server] { answer(server.nextPendingConnection()); });
    const auto url = [&server](const char *path) {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    };
    QTemporaryDir folder;
    // An empty file name is the folder itself, which cannot be written as a file. -1: no progress reported.
    const struct { const char *path, *file; bool finishes; double lastProgress; } cases[] = {
        {"/ok", "feed.xml", true, 1.0}, {"/nolength", "feed.xml", true, -1}, {"/missing", "feed.xml", false, -1},
        {"/broken", "feed.xml", false, 0.1}, {"/ok", "", false, 1.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.path) + " to \"" + c.file + "\"");
        ASSERT_FALSE(PdfFixture::write(folder.path(), "feed.xml", "old").isEmpty());
        Recorder recorder;
        platform::LogCapture log;
        const auto loader = QSFileLoader::download(url(c.path), folder.filePath(c.file), {}, &recorder);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.events.isEmpty(); }, 5000));
        EXPECT_EQ(recorder.events, QStringList(c.finishes ? "finished" : "failed"));
        EXPECT_EQ(PdfFixture::read(folder.filePath("feed.xml")), c.finishes ? Body : QByteArray("old"));
        EXPECT_DOUBLE_EQ(recorder.progress.isEmpty() ? -1 : recorder.progress.last(), c.lastProgress);
        EXPECT_EQ(log.lines().filter("Warning: Downloading").size(), c.finishes ? 0 : 1);
    }

    Recorder recorder;
    const auto loader = QSFileLoader::download(url("/ok"), folder.filePath("feed.xml"), {}, &recorder);
    loader->cancel();
    QTest::qWait(50);
    EXPECT_EQ(recorder.events, QStringList("cancelled"));
}

// The whole download waits in the write buffer until the file is put in place: on a full disk the
// download fails saying so, and the old file stays.
TEST(QSFileLoader, ADownloadOntoAFullDiskFailsAndKeepsTheOldFile)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QObject::connect(&server, &QTcpServer::newConnection, [&server] { answer(server.nextPendingConnection()); });
    QTemporaryDir folder;
    const FullDisk disk(folder.path(), "feed.xml", "old");
    if (!disk.mounted)
        GTEST_SKIP() << "a full disk needs root and a tmpfs";
    Recorder recorder;
    platform::LogCapture log;
    const auto loader = QSFileLoader::download(QStringLiteral("http://127.0.0.1:%1/ok").arg(server.serverPort()), disk.oldFile, {}, &recorder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.events.isEmpty(); }, 5000));
    EXPECT_EQ(recorder.events, QStringList("failed"));
    EXPECT_EQ(recorder.error, "the disk is full");
    EXPECT_EQ(PdfFixture::read(disk.oldFile), "old");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"feed.xml", "filler"}));
}
