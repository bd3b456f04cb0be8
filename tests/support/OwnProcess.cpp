#include "OwnProcess.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

namespace {

const char *const CaseVariable = "FOLDWISE_TEST_OWN_PROCESS_CASE";

} // namespace

bool inOwnProcessWith(const QList<std::pair<const char *, QString>> &variables)
{
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = QStringLiteral("%1.%2").arg(QString::fromUtf8(info->test_suite_name()), QString::fromUtf8(info->name()));
    if (qEnvironmentVariable(CaseVariable) == name)
        return true;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto &[variable, value] : variables) {
        if (value.isNull())
            environment.remove(QString::fromLatin1(variable));
        else
            environment.insert(QString::fromLatin1(variable), value);
    }
    environment.insert(QString::fromLatin1(CaseVariable), name);
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + name});
    const bool finished = run.waitForFinished(120000);
    const QString said = QString::fromUtf8(run.readAll());
    EXPECT_TRUE(finished && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0) << said.toStdString();
    // A filter that found no case passes too.
    EXPECT_TRUE(said.contains(QStringLiteral("[  PASSED  ] 1 test."))) << said.toStdString();
    return false;
}
