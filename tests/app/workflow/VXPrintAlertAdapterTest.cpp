#include "app/workflow/VXPrintAlertAdapter.h"
#include "platform/Alert.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

// The router's request reaches the user as a platform alert with its check box and pop-up, and
// what the user leaves them at comes back, whether someone clicks the box or a responder answers.
TEST(VXPrintAlertAdapter, CarriesTheCheckBoxAndThePopUpBothWays)
{
    VXPrintAlert::Request request;
    request.messageText = "Which printer?";
    request.buttonTitles = {"Select", "Cancel"};
    request.showsSuppressionButton = true;
    request.suppressionButtonTicked = true;
    request.choices = {"Laser", "Inkjet", "Plotter"};
    request.selectedChoice = "Inkjet";

    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown ? "shown" : "responder");
        std::optional<platform::Alert> seen;
        if (!shown) {
            platform::Alert::setResponder([&](platform::Alert &alert) {
                seen = alert;
                alert.setSuppressionButtonTicked(false);
                alert.setSelectedChoice("Plotter");
                return platform::Alert::FirstButtonReturn + 1;
            });
        }
        std::optional<VXPrintAlert::Response> response;
        VXPrintAlertAdapter().beginSheet(request, nullptr, [&](const VXPrintAlert::Response &given) { response = given; });
        if (shown) {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            auto *popUp = box->findChild<QComboBox *>();
            ASSERT_NE(popUp, nullptr);
            ASSERT_NE(box->checkBox(), nullptr);
            EXPECT_TRUE(box->checkBox()->isChecked());
            EXPECT_EQ(popUp->currentText(), "Inkjet");
            EXPECT_EQ(popUp->count(), 3);
            box->checkBox()->setChecked(false);
            popUp->setCurrentIndex(2);
            box->buttons()[1]->click();
        } else {
            ASSERT_TRUE(seen);
            EXPECT_EQ(seen->buttonTitles(), request.buttonTitles);
            EXPECT_TRUE(seen->showsSuppressionButton() && seen->suppressionButtonTicked());
            EXPECT_EQ(seen->choices(), request.choices);
            EXPECT_EQ(seen->selectedChoice(), "Inkjet");
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return response.has_value(); }));
        EXPECT_EQ(response->returnCode, 1001);
        EXPECT_FALSE(response->suppressionButtonTicked);
        EXPECT_EQ(response->choice, "Plotter");
    }
    platform::Alert::setResponder(nullptr);
}
