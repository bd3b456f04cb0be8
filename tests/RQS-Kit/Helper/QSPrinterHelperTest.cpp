#include "RQS-Kit/Helper/QSPrinterHelper.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cups/cups.h>

namespace {

// Sends the CUPS questions of this process to a server that does not exist, whatever this
// machine runs.
class NoPrintServer
{
public:
    NoPrintServer() { cupsSetServer(m_dir.filePath(QStringLiteral("none.sock")).toUtf8().constData()); }
    ~NoPrintServer() { cupsSetServer(nullptr); }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(QSPrinterHelper, UnknownPrinterIsNeitherFoundNorTwoSided)
{
    platform::LogCapture capture;
    for (const QString &name : {QStringLiteral("No Such Printer 7f3a"), QString(), QStringLiteral("ünknown/instance")}) {
        EXPECT_TRUE(QSPrinterHelper::printerByName(name).isEmpty()) << name.toStdString();
        EXPECT_FALSE(QSPrinterHelper::printerSupportsDuplex(name)) << name.toStdString();
    }
    // A machine without a print server may say so, but an unknown name is no failure.
    for (const QString &line : capture.lines())
        EXPECT_TRUE(line.startsWith(QStringLiteral("Warning: Could not list the printers, because "))) << line.toStdString();
}

TEST(QSPrinterHelper, UnreachableServerGivesNoPrinterAndSaysSo)
{
    NoPrintServer server;
    // The test main points HOME at a temporary folder.
    const QString cupsFolder = QDir::homePath() + QStringLiteral("/.cups");
    ASSERT_TRUE(QDir().mkpath(cupsFolder));
    QFile options(cupsFolder + QStringLiteral("/lpoptions"));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write("Default Ghost\n");
    options.close();

    platform::LogCapture capture;
    EXPECT_TRUE(QSPrinterHelper::currentPrinterName().isEmpty());
    EXPECT_TRUE(QSPrinterHelper::printerByName(QStringLiteral("Ghost")).isEmpty());
    EXPECT_FALSE(QSPrinterHelper::printerSupportsDuplex(QStringLiteral("Ghost")));
    ASSERT_EQ(capture.lines().size(), 3);
    for (const QString &line : capture.lines())
        EXPECT_TRUE(line.startsWith(QStringLiteral("Warning: Could not list the printers, because "))) << line.toStdString();
    ASSERT_TRUE(options.remove());
}

TEST(QSPrinterHelper, CurrentPrinterIsOneThePrintSystemKnows)
{
    const QString current = QSPrinterHelper::currentPrinterName();
    if (current.isEmpty())
        GTEST_SKIP() << "no default printer on this machine";
    EXPECT_EQ(QSPrinterHelper::printerByName(current), current);
}
