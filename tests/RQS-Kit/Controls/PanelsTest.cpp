#include "RQS-Kit/Controls/QSAboutBoxController.h"
#include "RQS-Kit/Controls/QSActivityPanel.h"
#include "RQS-Kit/Controls/KitClasses.h"

#include <gtest/gtest.h>

#include <QUrlQuery>
#include <QWidget>

TEST(ActivityPanel, TheLatestRunningMessageShowsAndOneStopEndsOneOfTwoEqualActivities)
{
    rqs::registerKitClasses();
    QWidget window;
    window.resize(400, 300);
    QSActivityPanel activity;
    ASSERT_TRUE(activity.setWindow(&window));
    activity.startActivity("A");
    activity.startActivity("B");
    activity.startActivity("B");
    EXPECT_EQ(activity.messageTF()->text(), "B");
    activity.stopActivity("B");
    EXPECT_EQ(activity.activities(), (QStringList{"A", "B"})) << "the other B still runs";
    activity.stopActivity("B");
    EXPECT_EQ(activity.messageTF()->text(), "A");
    activity.stopActivity("A");
    EXPECT_FALSE(activity.isShown());
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
