#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSNewsletterController.h"
#include "RQS-Kit/Controls/QSNewsletterFeed.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineView>
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

// The ID as the feed writes it: a whole number of any size.
QByteArray entryWithId(const QByteArray &id, const char *validUntil, const QByteArray &url)
{
    return "<dict><key>ID</key><integer>" + id + "</integer><key>validUntil</key>" + validUntil + "<key>url</key><string>" + url
        + "</string></dict>";
}

QByteArray entry(int id, const char *validUntil, const QByteArray &url) { return entryWithId(QByteArray::number(id), validUntil, url); }

QByteArray entry(quint64 id, const char *validUntil, const QByteArray &url)
{
    return entryWithId(QByteArray::number(id), validUntil, url);
}

// The page's answer to a script, once it has come.
QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    auto answer = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [answer](const QVariant &value) { *answer = value; });
    (void)QTest::qWaitFor([answer] { return answer->has_value(); }, 10000);
    return answer->value_or(QVariant());
}

// A click at the visible centre of the page's element of that id.
void clickElement(QWebEngineView *view, const char *id)
{
    const QJsonObject box = QJsonDocument::fromJson(
        evaluate(view->page(), QStringLiteral("JSON.stringify(document.getElementById('%1').getBoundingClientRect())").arg(id))
            .toString().toUtf8()).object();
    const QPoint centre(qRound(box["x"].toDouble() + box["width"].toDouble() / 2), qRound(box["y"].toDouble() + box["height"].toDouble() / 2));
    ASSERT_FALSE(box.isEmpty()) << id;
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, centre);
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
        // Made after the defaults are cleared, as it reads the seen entries when it is made.
        controller.emplace();
        pages["/news/1.html"] = "<p>First news</p><p><a id='next' href='2.html'>next</a></p>"
                                "<p><a id='mail' href='mailto:news@foldwise.example.org'>write</a></p>"
                                "<p><a id='away' href='https://elsewhere.example/' target='_blank'>elsewhere</a></p>"
                                "<p><a id='script' href='javascript:alert(1)'>script</a></p>"
                                "<p><a id='local' href='file:///etc/passwd'>local</a></p>";
        pages["/news/3.html"] = "<p>Third news</p>";
    }

    void answer(QTcpSocket *socket)
    {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            if (!socket->peek(4096).contains("\r\n\r\n"))
                return;
            const QByteArray path = socket->readAll().split(' ').value(1).split('?').value(0);
            requested.append(path);
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

    bool shows(const char *text) { return QTest::qWaitFor([&] { return controller->webView()->plainText().contains(text); }, 10000); }

    QTcpServer server;
    QMap<QByteArray, QByteArray> pages;
    QByteArrayList requested;
    QByteArray base;
    QTemporaryDir bundle;
    MainBundleScope scope{bundle.path()};
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    platform::LogCapture log;
    std::optional<QSNewsletterController> controller;
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

// The whole unsigned 64-bit range of IDs is read and compared; a negative ID is refused.
TEST(NewsletterFeed, IdsAreUnsignedSixtyFourBitNumbers)
{
    const quint64 top = std::numeric_limits<quint64>::max(), half = quint64(1) << 63;
    const char *current = "<date>2060-01-01T00:00:00Z</date>";
    QTemporaryDir folder;
    const QString path = folder.filePath("feed.plist");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<plist version='1.0'><array>" + entry(0, current, "https://news.example/0") + entry(half - 1, current, "https://news.example/1")
               + entry(half, current, "https://news.example/2") + entry(top, current, "https://news.example/3")
               + entry(-1, current, "https://news.example/4") + "</array></plist>");
    file.close();
    const platform::LogCapture log;
    const QList<QSNewsletterEntry> feed = QSNewsletterFeed::read(path, QUrl("https://news.example/Newsletters/feed.php"));
    ASSERT_EQ(feed.size(), 4);
    const quint64 expected[] = {0, half - 1, half, top};
    for (qsizetype index = 0; index < feed.size(); ++index)
        EXPECT_EQ(feed.at(index).identifier, expected[index]) << index;
    EXPECT_EQ(log.lines().filter("Warning: Newsletter entry 4 skipped").size(), 1) << "a negative ID is none";
    const QDateTime now = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(QSNewsletterFeed::chosenIndex(feed, {0, half - 1, half}, now), 3);
    EXPECT_EQ(QSNewsletterFeed::chosenIndex(feed, {0, half - 1, top}, now), 2);
    EXPECT_EQ(QSNewsletterFeed::chosenIndex(feed, {0, half - 1, half, top}, now), -1);
}

// An entry whose ID lies above the signed range is shown once and remembered as seen, so that the
// next feed passes over it.
TEST_F(Newsletter, AnIdAboveTheSignedRangeIsShownRememberedAndPassedOver)
{
    const quint64 half = quint64(1) << 63, top = std::numeric_limits<quint64>::max();
    defaults->setObject(QVariantList{qulonglong(half)}, "NewsLetterSeenIDs");
    controller.emplace();
    ASSERT_EQ(controller->seenIds(), QList<quint64>{half});
    load(entry(half, "<date>2060-01-01T00:00:00Z</date>", base + "/news/1.html")
         + entry(top, "<date>2061-01-01T00:00:00Z</date>", base + "/news/3.html"));
    ASSERT_EQ(controller->feed().size(), 2);
    EXPECT_EQ(controller->visibleIndex(), 1) << "the first was seen";
    EXPECT_TRUE(shows("Third news"));
    EXPECT_EQ(savedSeenIds(), (QStringList{"9223372036854775808", "18446744073709551615"}));

    controller.emplace();
    EXPECT_EQ(controller->seenIds(), (QList<quint64>{half, top})) << "read back as they were written";
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

// A client picks the visible entry: the window shows it when it opens, or at once when it is open;
// an index beyond the feed shows none and leaves back and forward disabled.
TEST_F(Newsletter, AVisibleIndexSetByAClientIsTheEntryTheWindowShows)
{
    defaults->setBool(false, "NewsletterAutoShow");
    load(entry(1, "<date>2061-01-01T00:00:00Z</date>", base + "/news/1.html")
         + entry(3, "<date>2062-01-01T00:00:00Z</date>", base + "/news/3.html"));
    ASSERT_EQ(controller->visibleIndex(), 0);
    controller->setVisibleIndex(1);
    EXPECT_EQ(controller->visibleIndex(), 1);
    EXPECT_TRUE(savedSeenIds().isEmpty()) << "nothing shown yet";
    controller->showWindow(nullptr);
    EXPECT_TRUE(shows("Third news"));
    EXPECT_EQ(savedSeenIds(), QStringList("3"));

    controller->setVisibleIndex(0);
    EXPECT_TRUE(shows("First news"));
    EXPECT_EQ(savedSeenIds(), (QStringList{"3", "1"}));
    EXPECT_FALSE(controller->navButtons()->isTabEnabled(0));
    EXPECT_TRUE(controller->navButtons()->isTabEnabled(1));

    controller->setVisibleIndex(2);
    EXPECT_EQ(controller->visibleIndex(), -1);
    EXPECT_FALSE(controller->navButtons()->isTabEnabled(0));
    EXPECT_FALSE(controller->navButtons()->isTabEnabled(1));
    EXPECT_EQ(controller->currentURL(), base + "/news/1.html") << "the page shown stays";
}

TEST_F(Newsletter, ClickedLinksLeaveTheApplicationOnlyForWebAndMailAndThePageStays)
{
    Opened opened;
    load(entry(1, "<date>2061-01-01T00:00:00Z</date>", base + "/news/1.html"));
    ASSERT_TRUE(shows("First news"));
    saveScreenshot(controller->window(), "newsletter-page");
    auto *view = qobject_cast<QWebEngineView *>(controller->webView()->engineView());
    ASSERT_NE(view, nullptr);
    for (const char *link : {"next", "mail", "away", "script", "local"})
        clickElement(view, link);
    // Each click's navigation is decided on its own; they may arrive in any order.
    QStringList expected{base + "/news/2.html", "mailto:news@foldwise.example.org", "https://elsewhere.example/"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.urls.size() >= 3; }, 10000));
    QTest::qWait(200);
    QStringList urls = opened.urls;
    urls.sort();
    expected.sort();
    EXPECT_EQ(urls, expected);
    EXPECT_FALSE(requested.contains("/news/2.html")) << "not loaded in the newsletter window";
    EXPECT_EQ(view->page()->url().path(), "/news/1.html");
    EXPECT_EQ(controller->webView()->pageUrl().toString(), base + "/news/1.html");
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

// A newsletter looks as its author made it: its own pictures and style sheet come from the feed's
// server, while a picture from another host or a local file is never fetched.
TEST_F(Newsletter, APageShowsItsPicturesAndStyleFromTheFeedsServerOnly)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    const QByteArray elsewhere = "http://localhost:" + QByteArray::number(server.serverPort());
    pages["/news/5.html"] = "<html><head><link rel='stylesheet' href='look.css'></head><body><p class='lead'>Fifth news</p>"
                            "<p><img src='pic.png'> <img src='" + elsewhere + "/news/other.png'> <img src='file:///etc/hosts'>"
                            " <img src='huge.png'></p></body></html>";
    pages["/news/look.css"] = "p.lead { color: #00aa00; }";
    pages["/news/pic.png"] = png;
    pages["/news/other.png"] = png;
    pages["/news/huge.png"] = QByteArray(4 * 1024 * 1024 + 1, 'x');
    load(entry(5, "<date>2061-01-01T00:00:00Z</date>", base + "/news/5.html"));
    ASSERT_TRUE(shows("Fifth news"));
    auto *view = qobject_cast<QWebEngineView *>(controller->webView()->engineView());
    ASSERT_NE(view, nullptr);
    const auto pictureShown = [view] {
        const QImage shown = view->grab().toImage();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (PixelProbe::isNear(shown, QPoint(x, y), QColor(255, 0, 255), 4))
                    return true;
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(pictureShown, 10000)) << "the page's own picture shows";
    EXPECT_TRUE(requested.contains("/news/look.css"));
    EXPECT_FALSE(requested.contains("/news/other.png")) << "another host's picture is not fetched";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !log.lines().filter("Warning: Could not load " + base + "/news/huge.png").isEmpty(); }, 10000))
        << "too large, given up";
    EXPECT_EQ(evaluate(view->page(), "getComputedStyle(document.querySelector('p.lead')).color").toString(), "rgb(0, 170, 0)")
        << "the page's style sheet applies";
}

#include "NewsletterTest.moc"
