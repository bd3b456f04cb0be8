#include "RQS-Kit/Helper/QSFontLoader.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "RQS-Kit/Helper/QSWindowCloseWatcher.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
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

class RefusingWindow : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

TEST(QSFontLoader, OneBadFileDoesNotStopTheOthers)
{
    const QString dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    ASSERT_TRUE(QFile::exists(dejaVu));
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(dejaVu, folder.filePath("Bundled.ttf")));
    ASSERT_FALSE(PdfFixture::write(folder.path(), "Broken.ttf", "no font").isEmpty());
    const platform::Bundle bundle(folder.path());

    platform::LogCapture log;
    EXPECT_EQ(QSFontLoader::loadLocalFonts({"Bundled.ttf", "Broken.ttf", dejaVu, "Gone.ttf"}, bundle),
              "File loading problem: Broken.ttf\nFile missing: Gone.ttf\n");
    EXPECT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(QSFontLoader::loadLocalFonts({dejaVu}, bundle).isEmpty());
}

TEST(QSWindowCloseWatcher, ReportsAnAcceptedCloseOnceAndNeitherARefusedCloseNorHiding)
{
    QWidget window;
    RefusingWindow refusing;
    window.show();
    refusing.show();
    QSWindowCloseWatcher watcher(&window), refusingWatcher(&refusing);
    QSignalSpy reports(&watcher, &QSWindowCloseWatcher::windowWillClose);
    QSignalSpy refusals(&refusingWatcher, &QSWindowCloseWatcher::windowWillClose);

    window.close();
    window.show();
    window.close();
    EXPECT_FALSE(refusing.close());
    QCoreApplication::processEvents();
    refusing.hide();
    EXPECT_EQ(reports.count(), 1) << "a watcher reports one close";
    EXPECT_EQ(refusals.count(), 0);
}

TEST(QSSystemInfo, FeedbackMailCarriesTheVersionsAndAReportOfWholeNumbers)
{
    QTemporaryDir folder;
    const QVariantMap info{{"CFBundleShortVersionString", "2.1"}, {"CFBundleVersion", "77"}};
    ASSERT_TRUE(platform::PropertyList::write(info, folder.filePath("Info.plist")));
    MainBundleScope bundle(folder.path());
    LanguageScope german("de_DE"); // would group digits as 17.179.869.184
    MailReceiver receiver;
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("Sample");
    EXPECT_TRUE(QSSystemInfo::sendFeedbackTo("help@example.com"));
    QCoreApplication::setApplicationName(name);

    ASSERT_EQ(receiver.urls.size(), 1);
    const QUrlQuery query(receiver.urls.first());
    EXPECT_EQ(query.queryItemValue("SUBJECT", QUrl::FullyDecoded), "Sample 2.1 (77) Feedback");
    const QString body = query.queryItemValue("BODY", QUrl::FullyDecoded);
    const QRegularExpressionMatch match = QRegularExpression(
        "\\A[^\\n]+\\n\\nSample 2\\.1\\nOS Version: .+\\nDevice: .+\\nProcessors: \\d+\\nTotal RAM: (\\d+)\\n\\n\\z").match(body);
    ASSERT_TRUE(match.hasMatch()) << body.toStdString();
    EXPECT_GT(match.captured(1).toULongLong(), 1ULL << 26) << "bytes, not pages";
}

TEST(QSSystemInfo, MailUrlEncodesDelimitersAndLineBreaksInEveryPart)
{
    EXPECT_EQ(QSSystemInfo::feedbackMailUrl("a&b@c.d", "Q&A = ?#+", "x\ny").toString(QUrl::FullyEncoded),
              "mailto:a%26b@c.d?SUBJECT=Q%26A%20%3D%20%3F%23%2B&BODY=x%0Ay");
}

#include "HelperTest.moc"
