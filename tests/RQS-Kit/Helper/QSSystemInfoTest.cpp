#include "RQS-Kit/Helper/QSSystemInfo.h"

#include "platform/foundation/PropertyList.h"
#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrlQuery>

namespace {

// Receives the "mailto" URLs that would otherwise go to the user's mail program.
class MailReceiver : public QObject
{
    Q_OBJECT
public:
    MailReceiver() { QDesktopServices::setUrlHandler("mailto", this, "receive"); }
    ~MailReceiver() override { QDesktopServices::unsetUrlHandler("mailto"); }

    QList<QUrl> urls;

public slots:
    void receive(const QUrl &url) { urls.append(url); }
};

// An application called "Sample" at version 2.1, build 77.
class SampleApplication
{
public:
    SampleApplication() : m_name(QCoreApplication::applicationName())
    {
        const QVariantMap info{{"CFBundleShortVersionString", "2.1"},
                               {"CFBundleVersion", "77"}};
        EXPECT_TRUE(platform::PropertyList::write(info, m_dir.filePath("Info.plist")));
        m_bundle = std::make_unique<MainBundleScope>(m_dir.path());
        QCoreApplication::setApplicationName("Sample");
    }
    ~SampleApplication() { QCoreApplication::setApplicationName(m_name); }

private:
    QString m_name;
    QTemporaryDir m_dir;
    std::unique_ptr<MainBundleScope> m_bundle;
};

quint64 memTotalBytes()
{
    QFile meminfo("/proc/meminfo");
    if (!meminfo.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpressionMatch match =
        QRegularExpression("^MemTotal:\\s+(\\d+) kB$", QRegularExpression::MultilineOption)
            .match(QString::fromLatin1(meminfo.readAll()));
    return match.hasMatch() ? match.captured(1).toULongLong() * 1024 : 0;
}

QString queryValue(const QUrl &url, const QString &key)
{
    return QUrlQuery(url).queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

TEST(QSSystemInfo, NamesVersionsAndAReportOfWholeNumbersEndingWithAnEmptyLine)
{
    SampleApplication sample;
    EXPECT_EQ(QSSystemInfo::appName(), "Sample");
    EXPECT_EQ(QSSystemInfo::appVersion(), "2.1");
    EXPECT_EQ(QSSystemInfo::shortAppVersion(), "77");
    EXPECT_EQ(QSSystemInfo::fullAppVersion(), "2.1 (77)");

    LanguageScope german("de_DE"); // would group digits as 17.179.869.184
    const QString report = QSSystemInfo::systemReport();
    const QRegularExpressionMatch match =
        QRegularExpression("\\ASample 2\\.1\\nOS Version: ([^\\n]+)\\nDevice: ([^\\n]+)\\nProcessors: (\\d+)\\n"
                           "Total RAM: (\\d+)\\n\\n\\z").match(report);
    ASSERT_TRUE(match.hasMatch()) << report.toStdString();
    EXPECT_EQ(match.captured(2), QSSystemInfo::modelIdentifier());
    EXPECT_GE(match.captured(3).toInt(), 1);
    EXPECT_GT(match.captured(4).toULongLong(), 0u);
    if (const quint64 memTotal = memTotalBytes()) {
        EXPECT_EQ(match.captured(4).toULongLong(), memTotal);
    }
}

TEST(QSSystemInfo, FeedbackMailCarriesSubjectBodyAndReport)
{
    SampleApplication sample;
    MailReceiver receiver;
    EXPECT_TRUE(QSSystemInfo::sendFeedbackTo("help@example.com"));
    ASSERT_EQ(receiver.urls.size(), 1);
    const QUrl url = receiver.urls.first();
    EXPECT_EQ(url.scheme(), "mailto");
    EXPECT_EQ(url.path(), "help@example.com");
    EXPECT_EQ(queryValue(url, "SUBJECT"), "Sample 2.1 (77) Feedback");
    EXPECT_EQ(queryValue(url, "BODY"),
              "We are constantly improving our products. Your feedback is precious. Help us improve.\n\n"
                  + QSSystemInfo::systemReport());
    EXPECT_TRUE(url.toString(QUrl::FullyEncoded).contains("Help%20us%20improve.%0A%0ASample%202.1%0A"));
}

TEST(QSSystemInfo, MailUrlKeepsEveryCharacterOfItsPartsAndEncodesDelimitersAndLineBreaks)
{
    const struct { const char *address; const char *subject; const char *body; } cases[] = {
        {"help@example.com", "Sample 2.1 (77) Feedback", "Hello"},
        {"help@example.com", "Q&A", "a=b&c=d"},
        {"help@example.com", "Why? #1", "100% sure + more; (really), it's fine/okay: @home!"},
        {"help@example.com", "Zeilen", "one\ntwo\r\nthree\n\n"},
        {"hilfe@exämple.de", "Grüße – 日本", "Ünïcödé ✓ 😀"},
        {"odd&name=x?y#z@example.com", "", ""},
    };
    for (const auto &c : cases) {
        const QString address = QString::fromUtf8(c.address);
        const QString subject = QString::fromUtf8(c.subject);
        const QString body = QString::fromUtf8(c.body);
        const QUrl url = QSSystemInfo::feedbackMailUrl(address, subject, body);
        ASSERT_TRUE(url.isValid()) << c.subject << ": " << url.errorString().toStdString();
        EXPECT_EQ(url.path(), address) << c.address;
        const QUrlQuery query(url);
        const auto items = query.queryItems(QUrl::FullyDecoded);
        ASSERT_EQ(items.size(), 2) << c.subject;
        EXPECT_EQ(items[0].first, "SUBJECT");
        EXPECT_EQ(items[0].second, subject) << c.subject;
        EXPECT_EQ(items[1].first, "BODY");
        EXPECT_EQ(items[1].second, body) << c.body;
    }
    EXPECT_EQ(QSSystemInfo::feedbackMailUrl("a@b.c", "Q&A = ?#+", "x\ny").toString(QUrl::FullyEncoded),
              "mailto:a@b.c?SUBJECT=Q%26A%20%3D%20%3F%23%2B&BODY=x%0Ay");
}

#include "QSSystemInfoTest.moc"
