#include "RQS-Kit/Helper/QSPrinterHelper.h"

#include "support/CupsServerTest.h"

using QSPrinterHelperTest = CupsServerTest;

TEST_F(QSPrinterHelperTest, AnswersForTheQueuesOfThePrintServer)
{
    const struct { QString name; QString found; bool duplex; } cases[] = {
        {"Duplex_Printer", "Duplex_Printer", true},
        {"Simplex_Printer", "Simplex_Printer", false},
        {"No_Such_Printer", QString(), false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(QSPrinterHelper::printerByName(c.name), c.found) << c.name.toStdString();
        EXPECT_EQ(QSPrinterHelper::printerSupportsDuplex(c.name), c.duplex) << c.name.toStdString();
    }
    EXPECT_EQ(QSPrinterHelper::currentPrinterName(), "Simplex_Printer");
}
