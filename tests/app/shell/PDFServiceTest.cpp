#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXPDFServiceQueueInstaller.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Alert.h"

#include "support/CupsServerTest.h"
#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

// The shipped English texts, with the printer's name given.
bool writeTextsNamingQueue(const QString &folder, const QString &queue)
{
    const QString lproj = folder + "/en.lproj";
    QVariantMap texts = platform::PropertyList::read(qEnvironmentVariable("FOLDWISE_RESOURCES") + "/en.lproj/Localizable.strings").toMap();
    texts.insert("PDFServiceName", queue);
    return !texts.isEmpty() && QDir().mkpath(lproj) && platform::PropertyList::write(texts, lproj + "/Localizable.strings");
}

// The installer against the private cupsd, with the user's answers given in advance. Each test
// names its queue through a strings table of its own, so that tests running at once keep apart.
class PDFServiceTest : public CupsServerTest
{
protected:
    void SetUp() override
    {
        CupsServerTest::SetUp();
        if (IsSkipped())
            return;
        // CUPS takes no queue for a backend it does not have.
        ASSERT_TRUE(QFile::exists(qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/bin/backend/foldwise"))
            << "the private cupsd was started without Foldwise's backend";
        const QString name = QStringLiteral("Foldwise-%1").arg(::testing::UnitTest::GetInstance()->current_test_info()->name());
        queue = name.left(60);
        ASSERT_TRUE(writeTextsNamingQueue(resources.path(), queue));
        platform::Alert::setResponder([this](platform::Alert &alert) {
            told << alert.messageText();
            return answers.isEmpty() ? platform::Alert::FirstButtonReturn + 1 : answers.takeFirst();
        });
    }
    void TearDown() override
    {
        platform::Alert::setResponder(nullptr);
        lpadmin({"-x", queue});
    }

    // Runs the installer to its end, one answer for each alert; the alerts' titles.
    QStringList install(QList<int> given)
    {
        told.clear();
        answers = given;
        const qsizetype ends = endLines();
        installer.addPDFService();
        EXPECT_TRUE(QTest::qWaitFor([&] { return endLines() > ends && told.size() >= given.size(); }, 20000))
            << log.lines().join('\n').toStdString();
        return told;
    }
    qsizetype endLines() const
    {
        return log.lines().filter(QRegularExpression("^Info: (Added the printer|The PDF Service printer was left)|^Error: ")).size();
    }
    QString device() const { return run("lpstat", {"-v", queue}); }

    static constexpr int Install = platform::Alert::FirstButtonReturn, Cancel = Install + 1;
    QTemporaryDir resources;
    MainBundleScope bundle{resources.path()};
    platform::LogCapture log;
    QString queue;
    QStringList told;
    QList<int> answers;
    VXDocumentController documents;
    AppDelegate delegate{&documents};
    VXPDFServiceQueueInstaller installer{delegate, QStringLiteral(FOLDWISE_BINARY)};
};

TEST_F(PDFServiceTest, ReplacesItsOwnQueueButAForeignOneOnlyWhenTheUserSaysSo)
{
    EXPECT_EQ(install({Cancel}).size(), 1);
    EXPECT_FALSE(device().contains("foldwise:")) << "cancelled: nothing added";

    const QString ours = QStringLiteral("foldwise:") + QStringLiteral(FOLDWISE_BINARY);
    for (int round = 0; round < 2; ++round) {
        const QStringList asked = install({Install, Install});
        EXPECT_FALSE(asked.join('|').contains("Replace")) << "its own printer goes without asking: " << asked.join('|').toStdString();
        EXPECT_TRUE(device().contains(ours)) << device().toStdString();
    }

    ASSERT_TRUE(lpadmin({"-x", queue}) && lpadmin({"-p", queue, "-E", "-v", "foldwise-test:/", "-m", "raw"}));
    EXPECT_TRUE(install({Install, Cancel}).last().contains("Replace"));
    EXPECT_TRUE(device().contains("foldwise-test:/")) << "a printer Foldwise did not make stays unless the user says so";
    install({Install, Install, Install});
    EXPECT_TRUE(device().contains(ours)) << device().toStdString();
}

TEST_F(PDFServiceTest, AQueueThatCannotBeAddedIsToldNotHidden)
{
    queue = QStringLiteral("Fold wise/%1").arg(::getpid());
    ASSERT_TRUE(writeTextsNamingQueue(resources.path(), queue));
    const QStringList asked = install({Install, Install});
    EXPECT_TRUE(asked.last().contains(queue)) << asked.last().toStdString();
    EXPECT_EQ(log.lines().filter("Error: Could not add the printer").size(), 1) << log.lines().join('\n').toStdString();
}

// A job printed with lp to the installed queue opens as a document in a running Foldwise.
TEST_F(PDFServiceTest, AJobPrintedToTheQueueOpensInTheRunningFoldwise)
{
    install({Install, Install});

    QTemporaryDir home;
    const QString runtime = qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/runtime";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        environment.insert(variable, home.path());
    environment.insert("XDG_RUNTIME_DIR", runtime);
    QProcess foldwise;
    foldwise.setProcessEnvironment(environment);
    foldwise.setProcessChannelMode(QProcess::MergedChannels);
    // A document keeps it running.
    foldwise.start(QStringLiteral(FOLDWISE_BINARY), {PdfFixture::write(home.path(), "First.pdf", PdfFixture::pages(PdfFixture::numbered(4)))});
    QByteArray output;
    const auto said = [&](const QByteArray &text) {
        return QTest::qWaitFor([&] { return (output += foldwise.readAll()).contains(text); }, 30000);
    };
    ASSERT_TRUE(said("First.pdf")) << output.toStdString();

    const QString leaflet = PdfFixture::write(home.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(6)));
    EXPECT_TRUE(run("lp", {"-d", queue, "-t", "Club Leaflet", leaflet}).contains("request id")) << "lp took the job";
    EXPECT_TRUE(said("Club Leaflet.pdf")) << output.toStdString();
    const QString line = QString::fromUtf8(output).split('\n').filter("Info: Opened").last();
    QFile opened(line.section('"', 1, 1));
    QFile sent(leaflet);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly) && sent.open(QIODevice::ReadOnly)) << line.toStdString();
    EXPECT_EQ(opened.readAll(), sent.readAll()) << "the document is the job's PDF as it was printed";
    foldwise.terminate();
    foldwise.waitForFinished(20000);
}

} // namespace
