#include "RQS-Kit/Helper/QSPrinterHelper.h"

#include "support/CupsServerTest.h"

using QSPrinterHelperTest = CupsServerTest;

TEST_F(QSPrinterHelperTest, AnswersForTheQueuesOfThePrintServer)
{
    EXPECT_EQ(QSPrinterHelper::currentPrinterName(), "Simplex_Printer");
    EXPECT_EQ(QSPrinterHelper::printerByName("Simplex_Printer"), "Simplex_Printer");
    EXPECT_EQ(QSPrinterHelper::printerByName("No_Such_Printer"), QString());
    EXPECT_TRUE(QSPrinterHelper::printerSupportsDuplex("Duplex_Printer"));
    EXPECT_FALSE(QSPrinterHelper::printerSupportsDuplex("Simplex_Printer"));
    EXPECT_FALSE(QSPrinterHelper::printerSupportsDuplex("No_Such_Printer"));
}
