#include "app/booklet/Document.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXPDFServiceQueueInstaller.h"
#include "app/window/VXHelpWindow.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PasswordPanel.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include "support/CupsServerTest.h"
#include "support/ForeignUser.h"
#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cups/backend.h>
#include <cups/cups.h>

#include <algorithm>
#include <limits>

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
            toldText << alert.informativeText();
            return answers.isEmpty() ? platform::Alert::FirstButtonReturn + 1 : answers.takeFirst();
        });
    }
    void TearDown() override
    {
        // An alert's answer still on its way reaches the installer while it exists.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        platform::Alert::setResponder(nullptr);
        platform::PasswordPanel::setResponder(nullptr);
        cupsSetUser(nullptr);
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
    // Documents' defaults and help entries and the print helper's pictures are read once, from
    // the bundle first met: made here, they are the shipped ones for the cases after this one.
    const bool shippedOnesRead = (Document::initialize(), VXPrintHelper::sharedHelper(), true);
    QTemporaryDir resources;
    MainBundleScope bundle{resources.path()};
    platform::LogCapture log;
    QString queue;
    QStringList told;
    QStringList toldText;
    QList<int> answers;
    VXDocumentController documents;
    AppDelegate delegate{&documents};
    VXPDFServiceQueueInstaller installer{delegate, QStringLiteral(FOLDWISE_BINARY)};
};

TEST_F(PDFServiceTest, ReplacesItsOwnQueueButAForeignOneOnlyWhenTheUserSaysSo)
{
    EXPECT_EQ(install({Cancel}).size(), 1);
    EXPECT_FALSE(device().contains("foldwise:")) << "cancelled: nothing added";

    // Added, then there already as it would be added; an older one of its own goes without asking.
    const QString ours = QStringLiteral("foldwise:") + QStringLiteral(FOLDWISE_BINARY);
    ASSERT_TRUE(lpadmin({"-p", queue, "-E", "-v", "foldwise:/opt/Foldwise/bin/foldwise", "-m", "raw"}));
    for (const char *end : {"ServiceSuccessTitle", "ServiceThereTitle"}) {
        const QStringList asked = install({Install, Install});
        EXPECT_FALSE(asked.contains(rqs::localized("ReplaceServiceTitle").arg(queue))) << "its own printer goes without asking";
        EXPECT_EQ(asked.last(), rqs::localized(end).arg(queue));
        EXPECT_TRUE(device().contains(ours)) << device().toStdString();
    }

    ASSERT_TRUE(lpadmin({"-x", queue}) && lpadmin({"-p", queue, "-E", "-v", "foldwise-test:/", "-m", "raw"}));
    EXPECT_EQ(install({Install, Cancel}).last(), rqs::localized("ReplaceServiceTitle").arg(queue));
    EXPECT_TRUE(device().contains("foldwise-test:/")) << "a printer Foldwise did not make stays unless the user says so";
    install({Install, Install, Install});
    EXPECT_TRUE(device().contains(ours)) << device().toStdString();
}

// "More Information" after the printer was added opens the shipped help on it, in the help window
// when the desktop has no browser.
TEST_F(PDFServiceTest, MoreInformationAfterAddingOpensTheHelpOnTheFoldwisePrinter)
{
    const QString shipped = qEnvironmentVariable("FOLDWISE_RESOURCES");
    ASSERT_TRUE(QFile::link(shipped + "/Info.plist", resources.filePath("Info.plist")));
    ASSERT_TRUE(QFile::link(shipped + "/Help", resources.filePath("Help")));
    VXHelpWindow *help = VXHelpWindow::sharedHelpWindow();
    help->hide();
    install({Install, Cancel});
    ASSERT_EQ(told.last(), rqs::localized("ServiceSuccessTitle"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return help->isVisible(); }, 5000)) << log.lines().join('\n').toStdString();
    EXPECT_EQ(help->pageTitle(), "The Foldwise printer");
    help->hide();
}

// Printing a booklet to Foldwise itself is never what the user means.
TEST_F(PDFServiceTest, TheFoldwisePrinterIsNeverOfferedForPrintingBooklets)
{
    install({Install, Install});
    ASSERT_TRUE(device().contains("foldwise:"));
    platform::PrinterCache *printers = platform::PrinterCache::shared();
    QSignalSpy changed(printers, &platform::PrinterCache::printersChanged);
    printers->refresh();
    ASSERT_TRUE(changed.wait(20000)) << "the cache took the new queue";
    EXPECT_TRUE(printers->printerNames().contains("Duplex_Printer"));
    EXPECT_FALSE(printers->printerNames().contains(queue));
    EXPECT_EQ(printers->printerNamed(queue), QString());
}

TEST_F(PDFServiceTest, AQueueThatCannotBeAddedIsToldNotHidden)
{
    queue = QStringLiteral("Fold wise/%1").arg(::getpid());
    ASSERT_TRUE(writeTextsNamingQueue(resources.path(), queue));
    const QStringList asked = install({Install, Install});
    EXPECT_TRUE(asked.last().contains(queue)) << asked.last().toStdString();
    EXPECT_EQ(log.lines().filter("Error: Could not add the printer").size(), 1) << log.lines().join('\n').toStdString();
}

// Named to CUPS as another user, the test's root process is asked for the right like anyone;
// its own credentials as root are those of an administrator.
TEST_F(PDFServiceTest, WithoutTheRightTheUserIsAskedForAPasswordThenShownTheCommand)
{
    const struct {
        QString user;
        int askedTimes;
        bool added;
    } cases[] = {{"nobody", 2, false}, {"root", 1, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.user.toStdString());
        // A fresh connection: the one the earlier tests used carries root's authentication.
        cupsSetServer(nullptr);
        cupsSetUser("nobody");
        QStringList asked;
        platform::PasswordPanel::setResponder([&](QDialog &dialog) {
            asked << dialog.findChild<QLabel *>()->text();
            if (asked.size() > 1)
                return int(QDialog::Rejected);
            dialog.findChild<QLineEdit *>("userField")->setText(c.user);
            dialog.findChild<QLineEdit *>("passwordField")->setText("not the password");
            return int(QDialog::Accepted);
        });
        const QStringList alerts = install({Install, Install});
        EXPECT_EQ(QString::fromUtf8(cupsUser()), "nobody") << "the name given for the change is not kept";
        ASSERT_EQ(asked.size(), c.askedTimes) << "a refused password is asked again until the user cancels";
        EXPECT_EQ(asked.first(), rqs::localized("ServiceAuthenticateText").arg(queue));
        EXPECT_EQ(device().contains("foldwise:"), c.added);
        if (c.added)
            continue;
        ASSERT_FALSE(alerts.isEmpty());
        EXPECT_TRUE(alerts.last().contains(queue));
        EXPECT_TRUE(toldText.last().contains("lpadmin -p " + queue + " -E -v foldwise:" + QStringLiteral(FOLDWISE_BINARY)
                                             + " -m raw -o printer-op-policy=authenticated"))
            << toldText.last().toStdString();
    }
}

// A user who may not administer printers, adding the Foldwise printer again: CUPS knows the user
// by the local socket and refuses any change at once, without asking for a password. Foldwise's
// own printer as Foldwise adds it is there already, and the user is told so; an older one of its
// own (another executable) cannot be replaced by that user, who is shown the command an
// administrator can run, not told to remove a printer the user may not remove. The printer stays.
TEST_F(PDFServiceTest, AUserWhoMayNotAdministerPrintersReAddingItIsToldItIsThereOrShownTheAdministratorsCommand)
{
    if (!ForeignUser::available())
        GTEST_SKIP() << "only root can be another user";
    // The strings tables are read as that user, from a folder that user may enter.
    QTemporaryDir readable(QDir::rootPath() + "tmp/foldwise-strings-XXXXXX");
    ASSERT_TRUE(QFile::setPermissions(readable.path(), QFile::Permissions(0x7755)));
    ASSERT_TRUE(writeTextsNamingQueue(readable.path(), queue));
    const QString command = "lpadmin -p " + queue + " -E -v foldwise:" + QStringLiteral(FOLDWISE_BINARY)
        + " -m raw -o printer-op-policy=authenticated";
    const struct { const char *name; QStringList addedAs; const char *title; const char *text; } cases[] = {
        {"as Foldwise adds it", {}, "ServiceThereTitle", "ServiceThereText"},
        {"for an older Foldwise", {"-E", "-v", "foldwise:/opt/Foldwise/bin/foldwise", "-m", "raw", "-o", "printer-op-policy=authenticated"},
         "ServiceFailedTitle", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.addedAs.isEmpty())
            install({Install, Install});
        else
            ASSERT_TRUE(lpadmin(QStringList{"-p", queue} + c.addedAs));
        const QString before = device();
        ASSERT_TRUE(before.contains("foldwise:"));
        MainBundleScope readableBundle(readable.path());
        int passwordsAsked = 0;
        platform::PasswordPanel::setResponder([&](QDialog &) { return ++passwordsAsked, int(QDialog::Rejected); });
        QStringList alerts;
        {
            ForeignUserScope nobody;
            ASSERT_TRUE(nobody.isActive());
            // A connection of that user's own.
            cupsSetServer(nullptr);
            cupsSetUser(nullptr);
            alerts = install({Install, Install});
            cupsSetServer(nullptr);
        }
        cupsSetUser(nullptr);
        EXPECT_EQ(passwordsAsked, 0);
        ASSERT_FALSE(alerts.isEmpty());
        EXPECT_EQ(alerts.last(), rqs::localized(c.title).arg(queue));
        if (c.text)
            EXPECT_EQ(toldText.last(), rqs::localized(c.text));
        else
            EXPECT_TRUE(toldText.last().contains(command)) << toldText.last().toStdString();
        EXPECT_EQ(device(), before) << "the printer is as it was";
    }
}

// How the job of that title on the queue ended, and the line the backend left for CUPS to show
// (CUPS keeps it for a job that did not complete), once it has ended or a generous limit passed.
struct JobEnd
{
    ipp_jstate_t state = IPP_JSTATE_PENDING;
    QString message;
};

JobEnd endOfJob(const QString &queue, const QString &title)
{
    JobEnd end;
    int id = 0;
    (void)QTest::qWaitFor([&] {
        cups_job_t *jobs = nullptr;
        const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
        for (int i = 0; i < count; ++i) {
            if (title == QString::fromUtf8(jobs[i].title)) {
                end.state = jobs[i].state;
                id = jobs[i].id;
            }
        }
        cupsFreeJobs(count, jobs);
        return end.state >= IPP_JSTATE_CANCELED;
    }, 20000);
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (ipp_attribute_t *message = ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT))
        end.message = QString::fromUtf8(ippGetString(message, 0, nullptr));
    ippDelete(response);
    return end;
}

ipp_jstate_t jobState(const QString &queue, int id)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    const cups_job_t *job = std::find_if(jobs, jobs + std::max(count, 0), [&](const cups_job_t &j) { return j.id == id; });
    const ipp_jstate_t state = job != jobs + std::max(count, 0) ? job->state : ipp_jstate_t(0);
    cupsFreeJobs(count, jobs);
    return state;
}

ipp_pstate_t printerState(const QString &queue)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, ("ipp://localhost/printers/" + queue).toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state");
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    const ipp_pstate_t state = ipp_pstate_t(ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0));
    ippDelete(response);
    return state;
}

QStringList keptPrintsTitled(const QString &title)
{
    const QString kept = qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/data/Foldwise/Printed";
    QStringList found;
    for (const QString &job : QDir(kept).entryList({"job-*"}, QDir::Dirs)) {
        if (QFile::exists(kept + "/" + job + "/" + title + ".pdf"))
            found << kept + "/" + job + "/" + title + ".pdf";
    }
    return found;
}

// A print made while no Foldwise runs waits among the kept prints and opens at the next start;
// one made while it runs opens at once. Neither is kept once open.
TEST_F(PDFServiceTest, APrintOpensInTheRunningFoldwiseOrWaitsForTheNextStart)
{
    install({Install, Install});
    QTemporaryDir home;
    const QString leaflet = PdfFixture::write(home.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(6)));
    const QString title = QStringLiteral("Kept Leaflet %1").arg(::getpid());
    ASSERT_TRUE(run("lp", {"-d", queue, "-t", title, leaflet}).contains("request id"));
    const JobEnd end = endOfJob(queue, title);
    const QStringList kept = keptPrintsTitled(title);
    EXPECT_EQ(end.state, IPP_JSTATE_COMPLETED) << "kept for the user, the print is done";
    ASSERT_EQ(kept.size(), 1) << "no session to start Foldwise in: the print waits";
    EXPECT_EQ(PdfFixture::read(kept.first()), PdfFixture::read(leaflet)) << "kept as it was printed";

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"HOME", "XDG_CONFIG_HOME"})
        environment.insert(variable, home.path());
    environment.insert("XDG_DATA_HOME", qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/data");
    environment.insert("XDG_RUNTIME_DIR", qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/runtime");
    QProcess foldwise;
    foldwise.setProcessEnvironment(environment);
    foldwise.setProcessChannelMode(QProcess::MergedChannels);
    foldwise.start(QStringLiteral(FOLDWISE_BINARY));
    QByteArray output;
    const auto said = [&](const QString &text) {
        return QTest::qWaitFor([&] { return QString::fromUtf8(output += foldwise.readAll()).contains(text); }, 30000);
    };
    EXPECT_TRUE(said("Info: Opening " + kept.first())) << output.toStdString();
    EXPECT_TRUE(said("Info: Opened \"" + kept.first())) << output.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(QFileInfo(kept.first()).path()); }, 5000))
        << "its folder goes once it is open";

    const QString now = QStringLiteral("Club Leaflet %1").arg(::getpid());
    EXPECT_TRUE(run("lp", {"-d", queue, "-t", now, leaflet}).contains("request id")) << "lp took the job";
    EXPECT_TRUE(said(now + ".pdf")) << output.toStdString();
    const JobEnd opened = endOfJob(queue, now);
    EXPECT_EQ(opened.state, IPP_JSTATE_COMPLETED);
    const QString line = QString::fromUtf8(output).split('\n').filter("Info: Opened").last();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(line.section('"', 1, 1)); }, 5000)) << "opened, it is no longer kept";
    foldwise.terminate();
    foldwise.waitForFinished(20000);
}

// A title of Han characters as long as CUPS takes (255 bytes) passes what a file name takes with
// ".pdf": the job is still kept, under its title cut between two characters. A job that is no PDF
// is cancelled with the reason for the job's state, never tried again; an empty one CUPS refuses
// itself ("No file in print request").
TEST_F(PDFServiceTest, ALongTitleIsKeptCutAndAJobThatIsNoPdfIsCancelled)
{
    install({Install, Install});
    QTemporaryDir folder;
    const QString leaflet = PdfFixture::write(folder.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(2)));
    const QString number = QString::number(::getpid());
    const QString title = number + QString((255 - number.size()) / 3, QChar(0x6f22));
    ASSERT_TRUE(run("lp", {"-d", queue, "-t", title, leaflet}).contains("request id"));
    const JobEnd kept = endOfJob(queue, title);
    EXPECT_EQ(kept.state, IPP_JSTATE_COMPLETED) << kept.message.toStdString();
    // 251 bytes before ".pdf": the digits, then whole characters of 3 bytes.
    const QStringList found = keptPrintsTitled(title.left(number.size() + (251 - number.size()) / 3));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(PdfFixture::read(found.first()), PdfFixture::read(leaflet));

    const QString notes = "Notes " + number;
    const QString said = run("lp", {"-d", queue, "-t", notes, PdfFixture::write(folder.path(), "notes.txt", "Hello, printer\n")});
    ASSERT_TRUE(said.contains("request id")) << said.toStdString();
    const JobEnd cancelled = endOfJob(queue, notes);
    EXPECT_EQ(cancelled.state, IPP_JSTATE_CANCELED);
    EXPECT_EQ(cancelled.message, "Foldwise opens only PDF files; the job held none.");
    EXPECT_EQ(keptPrintsTitled(notes), QStringList());
}

const QString ThaiAndFlag = QString::fromUtf8("\u0e02\u0e48\u0e32\u0e27\u0e44\u0e17\u0e22\U0001F1F9\U0001F1ED");

// The run's number, letters, then Thai words and flags, cut between code points to exactly that
// many bytes.
QString thaiAndFlagsOfBytes(qsizetype bytes)
{
    for (int letters = 0;; ++letters) {
        QString title = QString::number(::getpid()) + QString(letters, 'x') + " ";
        for (const char32_t c : ThaiAndFlag.repeated(10).toUcs4()) {
            const QString longer = title + QString::fromUcs4(&c, 1);
            if (longer.toUtf8().size() > bytes)
                break;
            title = longer;
        }
        if (title.toUtf8().size() == bytes)
            return title;
    }
}

QStringList keptJobFolders()
{
    const QDir kept(qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/data/Foldwise/Printed");
    QStringList folders;
    for (const QString &job : kept.entryList({"job-*"}, QDir::Dirs))
        folders << kept.filePath(job);
    return folders;
}

// Titles CUPS takes but a file name does not: Thai letters beside flags (Qt's character finder cuts
// flags in half there) and a single character of 253 bytes. Each print is kept under a visible
// name the next Foldwise finds, and the job is done, never left to be tried again.
TEST_F(PDFServiceTest, EveryTitleCupsTakesIsKeptUnderAVisibleNameAndTheJobIsDone)
{
    install({Install, Install});
    QTemporaryDir folder;
    const QString leaflet = PdfFixture::write(folder.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(2)));
    QStringList titles;
    for (qsizetype bytes = 252; bytes <= 255; ++bytes)
        titles << thaiAndFlagsOfBytes(bytes);
    // A letter and 126 accents, the first of them spelling the run's number.
    QString accents;
    for (const QChar digit : QString::number(::getpid()))
        accents += QChar(0x0300 + digit.digitValue());
    titles << "a" + accents + QString(126 - accents.size(), QChar(0x0301));
    for (const QString &title : std::as_const(titles)) {
        SCOPED_TRACE(title.toStdString());
        const QStringList before = keptJobFolders();
        ASSERT_TRUE(run("lp", {"-d", queue, "-t", title, leaflet}).contains("request id"));
        const JobEnd end = endOfJob(queue, title);
        EXPECT_EQ(end.state, IPP_JSTATE_COMPLETED) << end.message.toStdString();
        QStringList added = keptJobFolders();
        for (const QString &job : before)
            added.removeOne(job);
        ASSERT_EQ(added.size(), 1);
        const QStringList files = QDir(added.first()).entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(files.size(), 1);
        EXPECT_FALSE(files.first().startsWith('.')) << "kept hidden, it would never be opened";
        EXPECT_LE(files.first().toUtf8().size(), 255);
        EXPECT_TRUE(title.startsWith(files.first().chopped(4)) || files.first() == "Print job.pdf") << files.first().toStdString();
        EXPECT_EQ(PdfFixture::read(added.first() + "/" + files.first()), PdfFixture::read(leaflet));
        QDir(added.first()).removeRecursively();
    }
}

// The backend run by hand, as CUPS would run it for a job the server does not hold: the job's
// input ends where the job does.
const QString JobTheServerDoesNotHold = QString::number(std::numeric_limits<int>::max());

// The environment CUPS gives the backend for a job of the queue.
QProcessEnvironment backendEnvironment(const QString &queue)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PRINTER", queue);
    environment.insert("DEVICE_URI", "foldwise:" + QStringLiteral(FOLDWISE_BINARY));
    environment.insert("TMPDIR", qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/tmp");
    return environment;
}

// Whether the process waits in a read of its standard input (the kernel's record of its call).
bool waitsOnStandardInput(qint64 pid)
{
    QFile call(QStringLiteral("/proc/%1/syscall").arg(pid));
    return call.open(QIODevice::ReadOnly) && call.readAll().startsWith("0 0x0 ");
}

// Behind a filter the job comes through a pipe, as the filter writes it: its first five bytes may
// come in two writes. The backend reads on until it has them; the job is kept whole.
TEST_F(PDFServiceTest, AJobOnStandardInputWhoseHeaderComesInTwoWritesIsKeptWhole)
{
    install({Install, Install});
    QTemporaryDir data, runtime;
    QProcessEnvironment environment = backendEnvironment(queue);
    environment.insert("XDG_DATA_HOME", data.path());
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    const QByteArray leaflet = PdfFixture::pages(PdfFixture::numbered(2));
    const QString title = QStringLiteral("Piped %1").arg(::getpid());
    QProcess backend;
    backend.setProcessEnvironment(environment);
    backend.start(QStringLiteral(FOLDWISE_CUPS_BACKEND), {JobTheServerDoesNotHold, "root", title, "1", ""});
    ASSERT_TRUE(backend.waitForStarted());
    backend.write(leaflet.left(3));
    ASSERT_TRUE(backend.waitForBytesWritten());
    // The rest follows once the backend has taken the three bytes and waits for more (twice seen,
    // so that a read just woken is not taken for one waiting), or has ended.
    const auto waiting = [&] { return waitsOnStandardInput(backend.processId()) && (QTest::qWait(100), waitsOnStandardInput(backend.processId())); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend.state() == QProcess::NotRunning || waiting(); }, 20000));
    backend.write(leaflet.mid(3));
    backend.closeWriteChannel();
    ASSERT_TRUE(backend.waitForFinished(20000));
    const QString said = QString::fromUtf8(backend.readAllStandardError());
    EXPECT_EQ(backend.exitCode(), CUPS_BACKEND_OK) << said.toStdString();
    const QString kept = data.filePath("Foldwise/Printed/" + QDir(data.filePath("Foldwise/Printed")).entryList({"job-*"}, QDir::Dirs).value(0) + "/" + title + ".pdf");
    EXPECT_TRUE(said.endsWith("INFO: Kept in " + kept + "; it opens the next time Foldwise starts.\n")) << said.toStdString();
    EXPECT_EQ(PdfFixture::read(kept), leaflet);
}

// The kept prints' job folders that hold no print yet, as a backend leaves them while it copies.
QStringList keptJobFoldersWithoutAPrint()
{
    QStringList folders;
    for (const QString &job : keptJobFolders()) {
        if (QDir(job).entryList({"*.pdf"}, QDir::Files).isEmpty())
            folders << job;
    }
    return folders;
}

// A job cancelled while the backend copies it: CUPS stops the backend with SIGTERM, and the
// backend leaves nothing of the job behind. A filter that hands on the job's first bytes and then
// waits keeps the backend copying until the job is cancelled.
TEST_F(PDFServiceTest, AJobCancelledWhileTheBackendCopiesItLeavesNothingBehind)
{
    install({Install, Install});
    // Where CUPS, as lp, may run the filter from.
    QTemporaryDir folder(qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/filter-XXXXXX");
    QFile::setPermissions(folder.path(), QFile::Permissions(0x7755));
    const QString filter = PdfFixture::write(folder.path(), "first-bytes-then-wait", "#!/bin/sh\nhead -c 2000 \"${6:-/dev/stdin}\"\nexec sleep 600\n");
    QFile::setPermissions(filter, QFile::Permissions(0x7755));
    QByteArray ppd = PdfFixture::read(qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/simplex.ppd");
    ASSERT_TRUE(ppd.contains("*cupsFilter: \"application/pdf 0 -\""));
    ppd.replace("*cupsFilter: \"application/pdf 0 -\"", "*cupsFilter: \"application/pdf 0 " + filter.toUtf8() + "\"");
    ASSERT_TRUE(lpadmin({"-p", queue, "-P", PdfFixture::write(folder.path(), "slow.ppd", ppd)}));
    const QString leaflet = PdfFixture::write(folder.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(8)));
    ASSERT_GT(QFileInfo(leaflet).size(), 2000);

    const QStringList before = keptJobFoldersWithoutAPrint();
    const QString title = QStringLiteral("Cancelled %1").arg(::getpid());
    const QString said = run("lp", {"-d", queue, "-t", title, leaflet});
    const int job = said.section(queue + "-", 1).section(' ', 0, 0).toInt();
    ASSERT_GT(job, 0) << said.toStdString();
    const auto copying = [&] {
        QStringList folders = keptJobFoldersWithoutAPrint();
        for (const QString &old : before)
            folders.removeOne(old);
        return folders;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !copying().isEmpty(); }, 20000)) << "the backend started copying";
    ASSERT_EQ(cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), job, 0), IPP_STATUS_OK) << cupsLastErrorString();
    EXPECT_EQ(endOfJob(queue, title).state, IPP_JSTATE_CANCELED);
    // The queue is idle again once every process of the job has ended.
    EXPECT_TRUE(QTest::qWaitFor([&] { return printerState(queue) == IPP_PSTATE_IDLE; }, 20000)) << printerState(queue);
    EXPECT_TRUE(copying().isEmpty()) << "the backend cleared up after itself: " << copying().join('\n').toStdString();
    EXPECT_TRUE(keptPrintsTitled(title).isEmpty()) << "what came of the job before it was cancelled is not kept as if whole: "
                                                   << keptPrintsTitled(title).join('\n').toStdString();
}

// The backend, run by hand for a job that the server holds back or has cancelled, whose input ends
// early without a signal, as when CUPS stops the job's filter before the backend: nothing of it is
// kept, and CUPS is told the job stopped.
TEST_F(PDFServiceTest, AJobTheServerNoLongerPrintsLeavesNothingWhereverItsInputEnds)
{
    install({Install, Install});
    QTemporaryDir folder;
    const QString leaflet = PdfFixture::write(folder.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(8)));
    const QString title = QStringLiteral("Held %1").arg(::getpid());
    const QString said = run("lp", {"-d", queue, "-H", "indefinite", "-t", title, leaflet});
    const int job = said.section(queue + "-", 1).section(' ', 0, 0).toInt();
    ASSERT_GT(job, 0) << said.toStdString();
    for (const ipp_jstate_t state : {IPP_JSTATE_HELD, IPP_JSTATE_CANCELED}) {
        SCOPED_TRACE(ippEnumString("job-state", state));
        if (state == IPP_JSTATE_CANCELED) {
            ASSERT_EQ(cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), job, 0), IPP_STATUS_OK) << cupsLastErrorString();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return jobState(queue, job) == state; }, 20000)) << jobState(queue, job);
        QTemporaryDir data, runtime;
        QProcessEnvironment environment = backendEnvironment(queue);
        environment.insert("XDG_DATA_HOME", data.path());
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess backend;
        backend.setProcessEnvironment(environment);
        backend.start(QStringLiteral(FOLDWISE_CUPS_BACKEND), {QString::number(job), "root", title, "1", ""});
        ASSERT_TRUE(backend.waitForStarted());
        backend.write(PdfFixture::read(leaflet).left(2000));
        backend.closeWriteChannel();
        ASSERT_TRUE(backend.waitForFinished(20000));
        const QString told = QString::fromUtf8(backend.readAllStandardError());
        EXPECT_EQ(backend.exitCode(), CUPS_BACKEND_RETRY) << told.toStdString();
        EXPECT_TRUE(told.endsWith("ERROR: Stopped before Foldwise kept the job.\n")) << told.toStdString();
        const QStringList left = QDir(data.filePath("Foldwise/Printed")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        EXPECT_TRUE(left.isEmpty()) << left.join('\n').toStdString();
    }
}

// Without a session folder the user's Foldwise listens in the system's temporary folder. CUPS runs
// the backend with no session folder and a temporary folder of its own; the print still reaches
// that Foldwise at once. As "nobody", whose folder there no other test uses.
TEST_F(PDFServiceTest, WithoutASessionFolderAPrintReachesTheRunningFoldwiseWhateverTemporaryFolderCupsGives)
{
    if (!ForeignUser::available())
        GTEST_SKIP() << "only root can act as another user";
    install({Install, Install});
    QTemporaryDir home(QStringLiteral("/tmp/foldwise-test-XXXXXX"));
    ASSERT_EQ(::chown(QFile::encodeName(home.path()).constData(), ForeignUser::uid(), gid_t(-1)), 0);
    QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
    session.remove("XDG_RUNTIME_DIR");
    session.remove("TMPDIR");
    for (const char *variable : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        session.insert(variable, home.path());
    session.insert("XDG_DATA_HOME", home.filePath("data"));
    QProcess foldwise;
    foldwise.setProcessEnvironment(session);
    foldwise.setProcessChannelMode(QProcess::MergedChannels);
    ForeignUser::startsAsNobody(foldwise);
    foldwise.start(QStringLiteral(FOLDWISE_BINARY));
    const QString socket = QStringLiteral("/tmp/foldwise-%1/socket").arg(ForeignUser::uid());
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QLocalSocket probe;
        probe.connectToServer(socket);
        return probe.waitForConnected(100);
    }, 30000)) << "Foldwise listens on " << socket.toStdString();

    QTemporaryDir folder;
    const QString leaflet = PdfFixture::write(folder.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(2)));
    const QString title = QStringLiteral("Handed %1").arg(::getpid());
    QProcessEnvironment environment = backendEnvironment(queue);
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("XDG_DATA_HOME", home.filePath("data"));
    QProcess backend;
    backend.setProcessEnvironment(environment);
    backend.start(QStringLiteral(FOLDWISE_CUPS_BACKEND), {JobTheServerDoesNotHold, "nobody", title, "1", "", leaflet});
    ASSERT_TRUE(backend.waitForFinished(20000));
    const QString said = QString::fromUtf8(backend.readAllStandardError());
    EXPECT_EQ(backend.exitCode(), CUPS_BACKEND_OK) << said.toStdString();
    EXPECT_TRUE(said.endsWith("INFO: Opened in Foldwise.\n")) << said.toStdString();
    QByteArray output;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (output += foldwise.readAll()).contains(title.toUtf8() + ".pdf\""); }, 30000)) << output.toStdString();
    EXPECT_TRUE(output.contains("Info: Opened \"" + home.filePath("data/Foldwise/Printed/").toUtf8())) << output.toStdString();
    foldwise.terminate();
    foldwise.waitForFinished(20000);
}

// A user can name another user to CUPS; the job must not reach that user's session.
TEST_F(PDFServiceTest, AJobWhoseUserCupsDidNotAuthenticateNeverReachesASession)
{
    install({Install, Install});
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), QFile::Permissions(0x7755));
    const QString leaflet = PdfFixture::write(folder.path(), "job.pdf", PdfFixture::pages(PdfFixture::numbered(2)));
    QFile::setPermissions(leaflet, QFile::Permissions(0x6444));
    const QString spoofed = QStringLiteral("Spoofed %1").arg(::getpid());
    QProcess lp;
    lp.setProcessChannelMode(QProcess::MergedChannels);
    lp.start("runuser", {"-u", "nobody", "--", "lp", "-U", "root", "-d", queue, "-t", spoofed, leaflet});
    ASSERT_TRUE(lp.waitForFinished(20000));
    const QString said = QString::fromUtf8(lp.readAll());
    EXPECT_NE(lp.exitCode(), 0) << said.toStdString();
    EXPECT_FALSE(said.contains("request id")) << "CUPS refused the job: " << said.toStdString();

    // A queue whose policy lets anyone name anyone: the backend refuses every job.
    ASSERT_TRUE(lpadmin({"-p", queue, "-o", "printer-op-policy=default"}));
    const QString unchecked = QStringLiteral("Unchecked %1").arg(::getpid());
    ASSERT_TRUE(run("lp", {"-d", queue, "-t", unchecked, leaflet}).contains("request id"));
    const JobEnd refused = endOfJob(queue, unchecked);
    EXPECT_EQ(refused.state, IPP_JSTATE_CANCELED);
    EXPECT_EQ(refused.message, "Refused: the Foldwise printer opens only jobs whose user CUPS has authenticated.");
    EXPECT_EQ(keptPrintsTitled(spoofed) + keptPrintsTitled(unchecked), QStringList()) << "nothing reached a user";
    QFile errors(qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR") + "/log/error_log");
    ASSERT_TRUE(errors.open(QIODevice::ReadOnly));
    EXPECT_TRUE(errors.readAll().contains("Refused: the Foldwise printer opens only jobs whose user CUPS has authenticated"));
}

} // namespace
