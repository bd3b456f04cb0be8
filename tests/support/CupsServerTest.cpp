#include "CupsServerTest.h"

#include "Desktop.h"

#include "platform/printing/PrinterCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

static QString serverFolder() { return qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR"); }

void CupsServerTest::SetUp()
{
    if (serverFolder().isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_CUPS_DIR is not set: no private cupsd to print to (scripts/test starts one)";
}

void CupsServerOnDesktopTest::SetUp()
{
    FOLDWISE_REQUIRE_DESKTOP();
    CupsServerTest::SetUp();
}

QByteArray CupsServerTest::jobFile(int jobId, const QString &suffix)
{
    const QString stem = QStringLiteral("%1/jobs/%2.").arg(serverFolder()).arg(jobId);
    // The backend moves the PDF into place last, after the job's other files.
    if (!QTest::qWaitFor([&] { return QFile::exists(stem + QStringLiteral("pdf")); }, 20000))
        return {};
    QFile file(stem + suffix);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool CupsServerTest::lpadmin(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("lpadmin"), arguments);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QList<int> CupsServerTest::jobsTitled(const QString &title, int expected)
{
    QList<int> ids;
    const auto find = [&] {
        ids.clear();
        const QDir jobs(serverFolder() + QStringLiteral("/jobs"));
        for (const QString &name : jobs.entryList({QStringLiteral("*.pdf")})) {
            QFile file(jobs.filePath(QFileInfo(name).baseName() + QStringLiteral(".title")));
            if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == title.toUtf8())
                ids << QFileInfo(name).baseName().toInt();
        }
        std::sort(ids.begin(), ids.end());
        return ids.size() >= expected;
    };
    // Fewer than expected after the limit: the caller's comparison says so.
    static_cast<void>(QTest::qWaitFor(find, 20000));
    return ids;
}

QStringList CupsServerTest::queuesOfJobs(const QList<int> &jobIds)
{
    // Each line of lpstat begins with the queue and the id: "Simplex_Printer-12 root 1024 …".
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    QHash<int, QString> queues;
    if (lpstat.waitForFinished(20000)) {
        for (const QString &line : QString::fromUtf8(lpstat.readAllStandardOutput()).split(u'\n')) {
            const QString job = line.section(u' ', 0, 0);
            queues.insert(job.section(u'-', -1).toInt(), job.section(u'-', 0, -2));
        }
    }
    QStringList found;
    for (const int id : jobIds)
        found << queues.value(id, QStringLiteral("?"));
    return found;
}

QString CupsServerTest::addLetterQueueWithMargins()
{
    const QString queue = QStringLiteral("Letter_Margins_%1").arg(QCoreApplication::applicationPid());
    QByteArray ppd = "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
                     "*LanguageEncoding: ISOLatin1\n*PCFileName: \"LETTER.PPD\"\n*Manufacturer: \"Foldwise\"\n"
                     "*Product: \"(Letter Test)\"\n*ModelName: \"Letter Test\"\n*ShortNickName: \"Letter Test\"\n"
                     "*NickName: \"Letter Test\"\n*PSVersion: \"(3010.000) 0\"\n*cupsFilter: \"application/pdf 0 -\"\n";
    for (const QByteArray option : {"PageSize", "PageRegion"}) {
        ppd += "*OpenUI *" + option + ": PickOne\n*Default" + option + ": Letter\n";
        for (const char *paper : {"Letter", "A4", "A5"})
            ppd += "*" + option + " " + paper + ": \"\"\n";
        ppd += "*CloseUI: *" + option + "\n";
    }
    ppd += "*DefaultImageableArea: Letter\n*ImageableArea Letter: \"18 18 594 774\"\n*ImageableArea A4: \"18 18 577 824\"\n"
           "*ImageableArea A5: \"18 18 402 577\"\n*DefaultPaperDimension: Letter\n*PaperDimension Letter: \"612 792\"\n"
           "*PaperDimension A4: \"595 842\"\n*PaperDimension A5: \"420 595\"\n";
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("letter.ppd")));
    if (!file.open(QIODevice::WriteOnly) || file.write(ppd) != ppd.size())
        return {};
    file.close();
    if (!lpadmin({QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("foldwise-test:/"),
                  QStringLiteral("-P"), file.fileName()}))
        return {};
    platform::PrinterCache *cache = platform::PrinterCache::shared();
    cache->refresh();
    return QTest::qWaitFor([&] { return !cache->printerNamed(queue).isEmpty(); }, 20000) ? queue : QString();
}

QString CupsServerTest::addFoldwiseQueue()
{
    const QString queue = QStringLiteral("Foldwise_%1").arg(QCoreApplication::applicationPid());
    platform::PrinterCache *cache = platform::PrinterCache::shared();
    cache->leaveOutDeviceScheme(QStringLiteral("foldwise"));
    if (!lpadmin({QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("foldwise:/usr/bin/foldwise"),
                  QStringLiteral("-m"), QStringLiteral("raw")}))
        return {};
    cache->refresh();
    return QTest::qWaitFor([&] { return cache->leavesOut(queue); }, 20000) ? queue : QString();
}

void CupsServerTest::removeQueue(const QString &name)
{
    if (name.isEmpty() || !lpadmin({QStringLiteral("-x"), name}))
        return;
    platform::PrinterCache *cache = platform::PrinterCache::shared();
    cache->refresh();
    static_cast<void>(QTest::qWaitFor([&] { return cache->printerNamed(name).isEmpty() && !cache->leavesOut(name); }, 20000));
}
