#include "CupsServerTest.h"

#include "Desktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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
