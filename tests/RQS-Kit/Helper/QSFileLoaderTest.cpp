#include "RQS-Kit/Helper/QSFileLoader.h"

#include "RQS-Kit/Helper/QSFileLoaderDelegate.h"
#include "platform/foundation/Log.h"
#include "support/PdfFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Body = QByteArray("feed ").repeated(2000);

// Answers by path: "/ok" with a length, "/nolength" without, "/broken" closes after a tenth of the
// length it announced, any other 404.
class LocalServer
{
public:
    LocalServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (!socket->peek(4096).contains("\r\n\r\n"))
                    return;
                socket->write(answer(socket->readAll().split(' ').value(1)));
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
    }
    QString url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path); }

private:
    static QByteArray answer(const QByteArray &path)
    {
        const QByteArray ok = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
        const QByteArray length = "Content-Length: " + QByteArray::number(Body.size()) + "\r\n";
        if (path == "/ok" || path == "/broken")
            return ok + length + "\r\n" + (path == "/ok" ? Body : Body.left(Body.size() / 10));
        if (path == "/nolength")
            return ok + "\r\n" + Body;
        return "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found";
    }

    QTcpServer m_server;
};

struct Recorder : QSFileLoaderDelegate
{
    int finished = 0;
    int failed = 0;
    int cancelled = 0;
    QList<double> progress;
    void fileLoaderDidFinish(QSFileLoader *) override { ++finished; }
    void fileLoaderDidFail(QSFileLoader *, const QString &) override { ++failed; }
    void fileLoaderDidCancel(QSFileLoader *) override { ++cancelled; }
    void fileLoader(QSFileLoader *, double value) override { progress.append(value); }
    bool done() const { return finished + failed + cancelled > 0; }
};

} // namespace

TEST(QSFileLoader, OnlyACompleteDownloadReplacesTheFile)
{
    const struct {
        const char *path;
        bool finishes;
        bool reportsProgress;
    } cases[] = {{"/ok", true, true}, {"/nolength", true, false}, {"/missing", false, false}, {"/broken", false, true}};
    LocalServer server;
    QTemporaryDir folder;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const QString target = folder.filePath("feed.xml");
        ASSERT_FALSE(PdfFixture::write(folder.path(), "feed.xml", "old").isEmpty());

        Recorder recorder;
        platform::LogCapture log;
        const std::unique_ptr<QSFileLoader> loader =
            QSFileLoader::download(server.url(c.path), target, "context", &recorder);
        ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.done(); }, 5000));
        EXPECT_EQ(recorder.finished, c.finishes ? 1 : 0);
        EXPECT_EQ(recorder.failed, c.finishes ? 0 : 1);
        EXPECT_EQ(PdfFixture::read(target), c.finishes ? Body : QByteArray("old"));
        EXPECT_EQ(!recorder.progress.isEmpty(), c.reportsProgress);
        if (c.finishes && c.reportsProgress) {
            EXPECT_DOUBLE_EQ(recorder.progress.last(), 1.0);
        }
        EXPECT_EQ(log.lines().size(), c.finishes ? 0 : 1);
        EXPECT_EQ(loader->context(), QVariant("context"));
    }
}

TEST(QSFileLoader, CancellingAndFailedWritesAreNoSuccess)
{
    LocalServer server;
    QTemporaryDir folder;
    Recorder recorder;
    const std::unique_ptr<QSFileLoader> loader =
        QSFileLoader::download(server.url("/ok"), folder.filePath("feed.xml"), {}, &recorder);
    loader->cancel();
    QTest::qWait(50);
    EXPECT_EQ(recorder.cancelled, 1);
    EXPECT_EQ(recorder.finished + recorder.failed, 0);
    EXPECT_FALSE(QFile::exists(folder.filePath("feed.xml")));

    // The folder itself cannot be written as a file.
    Recorder writer;
    const std::unique_ptr<QSFileLoader> blocked = QSFileLoader::download(server.url("/ok"), folder.path(), {}, &writer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return writer.done(); }, 5000));
    EXPECT_EQ(writer.failed, 1);
    EXPECT_EQ(writer.finished, 0);
}
