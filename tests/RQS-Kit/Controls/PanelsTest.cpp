#include "RQS-Kit/Controls/QSAboutBoxController.h"
#include "RQS-Kit/Controls/QSActivityPanel.h"
#include "RQS-Kit/Controls/KitClasses.h"

#include <gtest/gtest.h>

#include "support/PixelProbe.h"

#include <QProgressBar>

#include <algorithm>
#include <QTest>
#include <QUrlQuery>
#include <QWidget>

// A panel put on a 400 × 300 window.
class ActivityPanel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitClasses();
        window.resize(400, 300);
        ASSERT_TRUE(activity.setWindow(&window));
    }

    QWidget window;
    QSActivityPanel activity;
};

TEST_F(ActivityPanel, TheLatestRunningMessageShowsAndOneStopEndsEveryActivityOfItsMessage)
{
    activity.startActivity("A");
    activity.startActivity("B");
    activity.startActivity("B");
    EXPECT_EQ(activity.messageTF()->text(), "B");
    activity.stopActivity("B");
    EXPECT_EQ(activity.activities(), QStringList{"A"});
    EXPECT_EQ(activity.messageTF()->text(), "A");
    activity.startActivity("C");
    activity.stopActivity("not running");
    EXPECT_EQ(activity.messageTF()->text(), "C");
    activity.stopActivity("C");
    activity.stopActivity("A");
    EXPECT_FALSE(activity.isShown());

    activity.startActivity("D");
    activity.startActivity("D");
    activity.stopActivity("D");
    EXPECT_FALSE(activity.isShown()) << "both equal activities end and the panel slides out";
}

// Called by a client, the slide in runs the busy bar and moves the panel down into its place,
// and only then runs the block; the slide out moves it up out of sight, leaves the view in the
// window and stops the bar.
TEST_F(ActivityPanel, APanelAnimatedInRunsItsBlockOnceInPlaceAndAnimatedOutHidesAboveItsView)
{
    QS3PartImageView *strip = activity.panel();
    const int hidden = -activity.view()->height();
    ASSERT_EQ(strip->y(), hidden);
    QList<int> heightsSeen;
    int blocks = 0;
    int heightAtBlock = hidden;
    activity.animatePanelIn([&] {
        ++blocks;
        heightAtBlock = strip->y();
    });
    EXPECT_EQ(blocks, 0) << "not before the slide";
    EXPECT_EQ(activity.progressIndicator()->maximum(), 0) << "the bar runs";
    ASSERT_TRUE(QTest::qWaitFor([&] {
        heightsSeen << strip->y();
        return blocks > 0;
    }, 3000));
    EXPECT_EQ(heightAtBlock, 0) << "the block runs with the panel in place";
    EXPECT_TRUE(std::is_sorted(heightsSeen.begin(), heightsSeen.end())) << "it moves down only";
    EXPECT_TRUE(std::any_of(heightsSeen.begin(), heightsSeen.end(), [&](int y) { return y > hidden && y < 0; }))
        << "it slides rather than jumps";
    QTest::qWait(50);
    EXPECT_EQ(blocks, 1);

    activity.animatePaneOut();
    EXPECT_EQ(activity.progressIndicator()->maximum(), 0) << "the bar runs while the panel slides";
    ASSERT_TRUE(QTest::qWaitFor([&] { return activity.progressIndicator()->maximum() == 1; }, 3000));
    EXPECT_EQ(strip->y(), hidden);
    EXPECT_EQ(activity.view()->parentWidget(), &window) << "the view stays in the window";
}

// The spinner and its message sit on a light strip with rounded lower corners, not on nothing.
TEST_F(ActivityPanel, TheMessageSitsOnTheShippedStrip)
{
    QS3PartImageView *strip = activity.panel();
    const QImage shown = PixelProbe::drawn(*strip);
    const int w = strip->width(), h = strip->height();
    for (const QPoint at : {QPoint(w / 2, h / 2), QPoint(4, h / 2), QPoint(w - 4, h / 2), QPoint(w / 2, 2)})
        EXPECT_GT(shown.pixelColor(at).alpha(), 230) << "covered at " << at.x() << "," << at.y();
    EXPECT_GT(shown.pixelColor(w / 2, h / 2).lightness(), 200) << "light under the dark message text";
    EXPECT_LT(shown.pixelColor(0, h - 1).alpha(), 60) << "rounded lower left corner";
    EXPECT_LT(shown.pixelColor(w - 1, h - 1).alpha(), 60) << "rounded lower right corner";
}

TEST(AboutBox, DefaultTextsFollowTheBundleNameAndAFeatureRequestWithAmpersandsArrivesWhole)
{
    QSAboutBoxController about;
    about.setAppName("Fold Wise");
    EXPECT_EQ(about.requestSubject(), "Fold Wise: Feature Request");
    EXPECT_EQ(about.bugSubject(), "Fold Wise had a hick up");
    about.setFacebookLink("https://example.org/page/");
    EXPECT_EQ(about.facebookLink(), "https://example.org/page/");
    about.setRequestBody("Cut & fold = 2 + 2 #1");
    const QUrl mail = about.featureRequestUrl();
    EXPECT_EQ(mail.scheme(), "mailto");
    const QUrlQuery query(mail);
    EXPECT_EQ(query.queryItemValue("BODY", QUrl::FullyDecoded), "Cut & fold = 2 + 2 #1");
    EXPECT_EQ(query.queryItemValue("SUBJECT", QUrl::FullyDecoded), "Fold Wise: Feature Request");
}

// The credits fade out towards the top and bottom edges of their scroll view, at any size.
TEST(AboutBox, TheCreditsFadeOutOverThirtyPointsAtTheTopAndBottomEdges)
{
    rqs::registerKitClasses();
    QSAboutBoxController about;
    platform::Window *window = about.window();
    ASSERT_TRUE(window);
    ASSERT_TRUE(about.textScrollView());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QWidget *scroll = about.textScrollView();
    ASSERT_TRUE(about.fadeMask());
    const QSize before = scroll->size();
    window->resize(window->width() + 40, window->height() + 60);
    QTest::qWait(50);
    ASSERT_NE(scroll->size(), before);
    EXPECT_EQ(about.fadeMask()->frame(), QRectF(0, 0, scroll->width(), scroll->height())) << "the mask follows the scroll view";
    const QImage shown = scroll->grab().toImage();
    const int bottom = scroll->height() - 2, middle = scroll->height() / 2;
    EXPECT_LT(shown.pixelColor(150, 1).alpha(), 30) << "faded at the top";
    EXPECT_LT(shown.pixelColor(150, bottom).alpha(), 30) << "faded at the bottom";
    EXPECT_NEAR(shown.pixelColor(150, 15).alpha(), 128, 30) << "half way through the fade";
    EXPECT_EQ(shown.pixelColor(150, middle).alpha(), 255) << "clear in the middle";
}
