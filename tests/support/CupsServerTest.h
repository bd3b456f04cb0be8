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
    // Adds a queue of this process's own for the recording backend whose own paper is Letter,
    // with A4 and A5 besides, and whose sheets have edges of 18 points it cannot print; its name
    // once PrinterCache knows it, or empty. The caller removes it.
    static QString addLetterQueueWithMargins();
    // Adds a queue of this process's own as adding the Foldwise printer does, for Foldwise's
    // backend; its name once PrinterCache, told to leave out the queues of that backend as the
    // application is, leaves it out, or empty. The caller removes it.
    static QString addFoldwiseQueue();
    // Removes a queue added above, and waits until PrinterCache no longer knows it, so that the
    // next case finds the printers as they are.
    static void removeQueue(const QString &name);
    // The ids of the jobs of that title, in the order they came, once at least `expected` of
    // them have arrived (or a generous limit has passed).
    static QList<int> jobsTitled(const QString &title, int expected);
    // The queues the jobs went to, in the order of the ids given ("?" for a job the server does not
    // know).
    static QStringList queuesOfJobs(const QList<int> &jobIds);
};

// The same on the private X display under its window manager (the "…OnDesktop" suites): skipped
// without either.
class CupsServerOnDesktopTest : public CupsServerTest
{
protected:
    void SetUp() override;
};
