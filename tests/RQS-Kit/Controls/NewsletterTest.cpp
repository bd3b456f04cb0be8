#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSNewsletterController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "support/MainBundleScope.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

// Records what would leave the application instead of starting the user's programs.
class Opened : public QObject
{
    Q_OBJECT
public:
    Opened() { for (const char *scheme : schemes) QDesktopServices::setUrlHandler(scheme, this, "open"); }
    ~Opened() override { for (const char *scheme : schemes) QDesktopServices::unsetUrlHandler(scheme); }
    QStringList urls;
public slots:
    void open(const QUrl &url) { urls.append(url.toString()); }
private:
    static constexpr const char *schemes[] = {"http", "https", "mailto", "file", "javascript"};
};

QByteArray entry(int id, const char *validUntil, const QByteArray &url)
{
    return "<dict><key>ID</key><integer>" + QByteArray::number(id) + "</integer><key>validUntil</key>" + validUntil
        + "<key>url</key><string>" + url + "</string></dict>";
}

// A newsletter server on 127.0.0.1 and a main bundle that names it.
class Newsletter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitClasses();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] { answer(server.nextPendingConnection()); });
        base = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toUtf8();
        const QString resources = qEnvironmentVariable("FOLDWISE_RESOURCES");
        for (const char *file : {"/QSNewsletterController.ui", "/NetError.html"})
            ASSERT_TRUE(QFile::copy(resources + file, bundle.path() + file));
        ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"CFBundleName", "Foldwise"}, {"QSNewsletterBaseURL", QString(base)}},
                                                  bundle.filePath("Info.plist")));
        defaults->removeObjectForKey("NewsLetterSeenIDs");
        defaults->removeObjectForKey("NewsletterAutoShow");
        pages["/news/1.html"] = "<p>First news</p><a href='2.html'>next</a>";
        pages["/news/3.html"] = "<p>Third news</p>";
    }

    void answer(QTcpSocket *socket)
    {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            if (!socket->peek(4096).contains("\r\n\r\n"))
                return;
            const QByteArray path = socket->readAll().split(' ').value(1).split('?').value(0);
            const QByteArray body = pages.value(path);
            socket->write((pages.contains(path) ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") + QByteArray("Content-Length: ")
                          + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
    }

    // Serves the feed's entries and waits until the controller has read them.
    void load(const QByteArray &entries)
    {
        pages["/Newsletters/feed.php"] = "<plist version='1.0'><array>" + entries + "</array></plist>";
        ASSERT_TRUE(controller->awakeFromNib());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !log.lines().filter("Info: Newsletter feed read").isEmpty(); }, 5000));
    }

    QStringList savedSeenIds()
    {
        defaults->synchronize();
        QStringList ids;
        for (const QVariant &id : platform::UserDefaults(defaults->fileName()).arrayForKey("NewsLetterSeenIDs"))
            ids.append(id.toString());
        return ids;
    }

    bool shows(const char *text) { return QTest::qWaitFor([&] { return controller->webView()->toPlainText().contains(text); }, 5000); }

    QTcpServer server;
    QMap<QByteArray, QByteArray> pages;
    QByteArray base;
    QTemporaryDir bundle;
    MainBundleScope scope{bundle.path()};
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    platform::LogCapture log;
    std::optional<QSNewsletterController> controller{std::in_place};
};

} // namespace

TEST_F(Newsletter, ShowsTheOldestCurrentUnseenEntryAndSkipsMalformedOnes)
{
    defaults->setObject(QVariantList{2}, "NewsLetterSeenIDs");
    controller.emplace();
    const char *soon = "<date>2060-01-01T00:00:00Z</date>", *later = "<date>2061-01-01T00:00:00Z</date>";
    load(entry(3, later, base + "/news/3.html") + entry(1, "<date>2001-01-01T00:00:00Z</date>", base + "/news/1.html")
         + entry(2, soon, base + "/news/2.html") + entry(4, "<string>soon</string>", base + "/news/4.html")
         + entry(5, soon, "javascript:alert(1)") + entry(6, soon, "file:///etc/passwd") + entry(7, soon, "https://elsewhere.example/7"));
    ASSERT_EQ(controller->feed().size(), 3);
    EXPECT_EQ(controller->visibleIndex(), 2) << "1 is out of date, 2 was seen";
    EXPECT_EQ(log.lines().filter("Warning: Newsletter entry").size(), 4);
    EXPECT_TRUE(controller->isVisible());
    EXPECT_TRUE(shows("Third news"));
    EXPECT_EQ(savedSeenIds(), (QStringList{"2", "3"}));
    EXPECT_FALSE(controller->navButtons()->isTabEnabled(1));

    controller->backForward(0);
    controller->backForward(0);
    EXPECT_TRUE(shows("First news"));
    controller->backForward(0);
    EXPECT_EQ(controller->visibleIndex(), 0) << "no step before the first entry";
    EXPECT_FALSE(controller->navButtons()->isTabEnabled(0));
    EXPECT_EQ(savedSeenIds(), (QStringList{"2", "3", "1"}));
}

TEST_F(Newsletter, WithAutoShowOffTheEntryWaitsUntilTheWindowIsOpened)
{
    defaults->setBool(false, "NewsletterAutoShow");
    load(entry(1, "<date>2061-01-01T00:00:00Z</date>", base + "/news/1.html"));
    EXPECT_EQ(controller->visibleIndex(), 0);
    EXPECT_FALSE(controller->isLoaded());
    EXPECT_TRUE(savedSeenIds().isEmpty());
    controller->showWindow(nullptr);
    EXPECT_TRUE(shows("First news"));
    EXPECT_EQ(savedSeenIds(), QStringList("1"));
}

TEST_F(Newsletter, LinksLeaveTheApplicationOnlyForWebAndMail)
{
    Opened opened;
    load(entry(1, "<date>2061-01-01T00:00:00Z</date>", base + "/news/1.html"));
    ASSERT_TRUE(shows("First news"));
    for (const char *link : {"2.html", "mailto:news@foldwise.example.org", "https://elsewhere.example/", "javascript:alert(1)", "file:///etc/passwd"})
        emit controller->webView()->anchorClicked(QUrl(link));
    EXPECT_EQ(opened.urls, (QStringList{base + "/news/2.html", "mailto:news@foldwise.example.org", "https://elsewhere.example/"}));
    EXPECT_EQ(log.lines().filter("Warning: Refused to open").size(), 2);
    EXPECT_FALSE(controller->loadUrl("file:///etc/passwd"));
    EXPECT_FALSE(controller->loadUrl("https://elsewhere.example/news.html"));
    EXPECT_EQ(controller->currentURL(), base + "/news/1.html");
    controller->openSubscribe(nullptr);
    EXPECT_EQ(opened.urls.last(), base + "/Newsletters/subscribe.html?utm_source=Foldwise&utm_medium=app&utm_campaign=RQS-Feed");
}

TEST_F(Newsletter, AnEmptyFeedShowsNothingAndDisablesBackAndForward)
{
    load("");
    controller->showWindow(nullptr);
    EXPECT_EQ(controller->visibleIndex(), -1);
    EXPECT_FALSE(controller->navButtons()->isTabEnabled(0));
    EXPECT_FALSE(controller->navButtons()->isTabEnabled(1));
    controller->backForward(1);
    EXPECT_EQ(controller->visibleIndex(), -1);
    EXPECT_TRUE(controller->currentURL().isEmpty());
}

TEST_F(Newsletter, AFailedDownloadShowsTheErrorPage)
{
    ASSERT_TRUE(controller->awakeFromNib());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.lines().filter("Warning: Downloading").isEmpty(); }, 5000));
    controller->showWindow(nullptr);
    EXPECT_TRUE(shows("could not be loaded"));
}

#include "NewsletterTest.moc"
