#include "CupsServerTest.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

QString serverFolder() { return qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR"); }

} // namespace

void CupsServerTest::SetUp()
{
    if (serverFolder().isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_CUPS_DIR is not set: no private cupsd to print to (scripts/test starts one)";
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
