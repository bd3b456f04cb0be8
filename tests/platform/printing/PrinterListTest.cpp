#include "platform/foundation/Log.h"
#include "platform/printing/PrinterList.h"

#include "support/CupsServerTest.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>

using platform::PrinterList;

using PrinterListTest = CupsServerTest;

TEST_F(PrinterListTest, ListsTheQueuesInOrder)
{
    const QStringList names = PrinterList::printerNames();
    // Other tests may add queues of their own meanwhile.
    const qsizetype duplex = names.indexOf("Duplex_Printer");
    ASSERT_GE(duplex, 0) << names.join(' ').toStdString();
    EXPECT_GT(names.indexOf("Simplex_Printer"), duplex);
}

TEST_F(PrinterListTest, DefaultIsTheUsersLpoptionsChoiceElseTheServers)
{
    EXPECT_EQ(PrinterList::defaultPrinterName(), "Simplex_Printer");

    // The test main points HOME at a temporary folder.
    const QString folder = QDir::homePath() + QStringLiteral("/.cups");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile options(folder + QStringLiteral("/lpoptions"));
    for (const auto &[line, expected] : {std::pair{"Default Duplex_Printer\n", "Duplex_Printer"},
                                         std::pair{"Default Gone_Printer\n", "Simplex_Printer"}}) {
        ASSERT_TRUE(options.open(QIODevice::WriteOnly | QIODevice::Truncate));
        options.write(line);
        options.close();
        EXPECT_EQ(PrinterList::defaultPrinterName(), QString::fromLatin1(expected)) << line;
    }
    ASSERT_TRUE(options.remove());
}

TEST_F(PrinterListTest, PrinterByNameKnowsTwoSidedShortEdge)
{
    const auto duplex = PrinterList::printerNamed(QStringLiteral("Duplex_Printer"));
    const auto simplex = PrinterList::printerNamed(QStringLiteral("Simplex_Printer"));
    ASSERT_TRUE(duplex && simplex);
    EXPECT_EQ(duplex->name(), "Duplex_Printer");
    EXPECT_TRUE(duplex->supportsTwoSidedShortEdge());
    EXPECT_FALSE(simplex->supportsTwoSidedShortEdge());
}

TEST_F(PrinterListTest, UnknownOrEmptyNameFindsNoPrinterAndSaysWhy)
{
    platform::LogCapture capture;
    EXPECT_FALSE(PrinterList::printerNamed("No_Such_Printer"));
    // An empty name must not fall back to the default printer.
    EXPECT_FALSE(PrinterList::printerNamed(QString()));
    EXPECT_EQ(capture.lines(),
              (QStringList{"Error: Printer \"No_Such_Printer\" was not found: The printer or class does not exist.",
                           "Error: No printer name was given"}));
}
