#include "app/printing/VXPrintAlertAdapter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

// The router's request reaches the user as an alert with its check box and pop-up, and what the
// user leaves them at comes back with the button's code.
TEST(VXPrintAlertAdapter, CarriesTheCheckBoxAndThePopUpBothWays)
{
    VXPrintAlert::Request request;
    request.messageText = "Which printer?";
    request.buttonTitles = {"Select", "Cancel"};
    request.showsSuppressionButton = true;
    request.suppressionButtonTicked = true;
    request.choices = {"Laser", "Inkjet", "Plotter"};
    request.selectedChoice = "Inkjet";
    std::optional<VXPrintAlert::Response> response;
    VXPrintAlertAdapter().beginSheet(request, nullptr, [&](const VXPrintAlert::Response &given) { response = given; });

    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    auto *popUp = box->findChild<QComboBox *>();
    ASSERT_TRUE(popUp && box->checkBox());
    EXPECT_TRUE(box->checkBox()->isChecked());
    EXPECT_EQ(popUp->count(), 3);
    EXPECT_EQ(popUp->currentText(), "Inkjet");
    box->checkBox()->setChecked(false);
    popUp->setCurrentIndex(2);
    box->buttons()[1]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return response.has_value(); }));
    EXPECT_EQ(response->returnCode, 1001);
    EXPECT_FALSE(response->suppressionButtonTicked);
    EXPECT_EQ(response->choice, "Plotter");
}
