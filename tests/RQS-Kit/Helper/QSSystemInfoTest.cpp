#include "RQS-Kit/Helper/QSSystemInfo.h"

#include "platform/foundation/PropertyList.h"
#include "support/MainBundleScope.h"
#include "support/QtPrinters.h"
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
        const QVariantMap info{{"CFBundleShortVersionString", "2.1"}, {"CFBundleVersion", "77"}};
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

// The kernel's MemTotal in bytes; 0 when it cannot be read.
quint64 memTotalBytes()
{
    QFile meminfo("/proc/meminfo");
    const QString text = meminfo.open(QIODevice::ReadOnly) ? QString::fromLatin1(meminfo.readAll()) : QString();
    const QRegularExpressionMatch match =
        QRegularExpression("^MemTotal:\\s+(\\d+) kB$", QRegularExpression::MultilineOption).match(text);
    return match.hasMatch() ? match.captured(1).toULongLong() * 1024 : 0;
}

using QueryItems = QList<std::pair<QString, QString>>;

QueryItems queryItems(const QUrl &url) { return QUrlQuery(url).queryItems(QUrl::FullyDecoded); }

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
    EXPECT_EQ(receiver.urls.first().path(), "help@example.com");
    const QString intro = "We are constantly improving our products. Your feedback is precious. Help us improve.\n\n";
    EXPECT_EQ(queryItems(receiver.urls.first()),
              (QueryItems{{"SUBJECT", "Sample 2.1 (77) Feedback"}, {"BODY", intro + QSSystemInfo::systemReport()}}));
}

TEST(QSSystemInfo, MailUrlKeepsEveryCharacterOfItsPartsAndEncodesDelimitersAndLineBreaks)
{
    const struct { QString address, subject, body; } cases[] = {
        {"help@example.com", "Q&A", "a=b&c=d"},
        {"help@example.com", "Why? #1", "100% sure + more; (really), it's fine/okay: @home!"},
        {"help@example.com", "Zeilen", "one\ntwo\r\nthree\n\n"},
        {"hilfe@exämple.de", "Grüße – 日本", "Ünïcödé ✓ 😀"},
        {"odd&name=x?y#z@example.com", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString() + " " + c.subject.toStdString());
        const QUrl url = QSSystemInfo::feedbackMailUrl(c.address, c.subject, c.body);
        ASSERT_TRUE(url.isValid()) << url.errorString().toStdString();
        EXPECT_EQ(url.path(), c.address);
        EXPECT_EQ(queryItems(url), (QueryItems{{"SUBJECT", c.subject}, {"BODY", c.body}}));
    }
    EXPECT_EQ(QSSystemInfo::feedbackMailUrl("a@b.c", "Q&A = ?#+", "x\ny").toString(QUrl::FullyEncoded),
              "mailto:a@b.c?SUBJECT=Q%26A%20%3D%20%3F%23%2B&BODY=x%0Ay");
}

#include "QSSystemInfoTest.moc"
