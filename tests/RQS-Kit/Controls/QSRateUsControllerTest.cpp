#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QTest>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// A key window for the prompt, fresh answers in the (test-private) user defaults, and quick retries.
class RateUs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitClasses();
        QSRateUsController::setRetryInterval(5ms);
        for (const char *key : {"rate.neverAsk", "rate.timesStarted", "rate.ratedVersion"})
            defaults->removeObjectForKey(key);
        parent.setGeometry(100, 100, 600, 400);
        parent.makeKeyAndOrderFront(nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    }
    void TearDown() override { QSRateUsController::sharedController()->close(nullptr); }

    // Counts a start; true when the prompt stands on the parent afterwards.
    bool start()
    {
        QSRateUsController::verifyRateUs(QUrl("https://store.example/foldwise"));
        return prompt->isVisible() && prompt->parentWindow() == &parent;
    }
    qint64 started() const { return defaults->integerForKey("rate.timesStarted"); }

    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    QSRateUsController *prompt = QSRateUsController::sharedController();
    platform::Window parent;
};

} // namespace

TEST_F(RateUs, AsksOnTheFifthStartAndCountsAgainAfterAskLater)
{
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(start()) << "start " << i;
    ASSERT_TRUE(start());
    EXPECT_TRUE(prompt->textView()->toPlainText().contains("Thank you for using Foldwise!"));
    prompt->cancelButton()->click();
    EXPECT_EQ(started(), 0);
}

TEST_F(RateUs, NeverAskAndAnyRatedVersionEndThePrompts)
{
    defaults->setInteger(4, "rate.timesStarted");
    ASSERT_TRUE(start());
    prompt->otherButton()->click();
    EXPECT_FALSE(start());
    EXPECT_EQ(started(), 5) << "a refused prompt counts no more starts";

    defaults->setBool(false, "rate.neverAsk");
    defaults->setObject("0.0.1-old", "rate.ratedVersion");
    EXPECT_FALSE(start());
    EXPECT_EQ(started(), 5);
}

TEST_F(RateUs, WaitsWhileTheKeyWindowShowsASheet)
{
    auto *sheet = new QDialog;
    ASSERT_TRUE(parent.beginSheet(sheet, {}));
    parent.activateWindow();
    defaults->setInteger(4, "rate.timesStarted");
    EXPECT_FALSE(start());
    ASSERT_TRUE(parent.endSheet(sheet, 0));
    parent.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return prompt->isVisible() && prompt->parentWindow() == &parent; }, 2000));
}

// A prompt made by an interface file decides on a later turn only while no decision has run in the
// process; the first decision has run by then here, so the count stays.
TEST_F(RateUs, APromptFromAnInterfaceFileDecidesOnlyOncePerProcess)
{
    EXPECT_FALSE(start());
    EXPECT_TRUE(QSRateUsController::rateDecisionHasRun());
    QSRateUsController fromFile;
    fromFile.setAppURL(QUrl("https://store.example/foldwise"));
    fromFile.awakeFromNib();
    for (int turn = 0; turn < 3; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(started(), 1);
    EXPECT_EQ(QSRateUsController::sharedController(), prompt) << "the shared prompt stays the first";
}
