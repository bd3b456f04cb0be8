#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Tests against the private cupsd that scripts/test starts (tests/support/cups/cups-test-server):
// skipped when FOLDWISE_TEST_CUPS_DIR does not name its folder.
class CupsServerTest : public ::testing::Test
{
protected:
    void SetUp() override;

    // What the recording backend kept of a job ("pdf", "options", "title", "copies"), once the
    // job's PDF has arrived; empty when it does not arrive within a generous limit.
    static QByteArray jobFile(int jobId, const QString &suffix);
    static bool lpadmin(const QStringList &arguments);
    // The ids of the jobs of that title, in the order they came, once at least `expected` of
    // them have arrived (or a generous limit has passed).
    static QList<int> jobsTitled(const QString &title, int expected);
};

// The same on the private X display under its window manager (the "…OnDesktop" suites): skipped
// without either.
class CupsServerOnDesktopTest : public CupsServerTest
{
protected:
    void SetUp() override;
};
