#include "platform/Log.h"

#include <gtest/gtest.h>

TEST(Log, LevelWordsStandInFrontOfTheMessage)
{
    platform::LogCapture capture;
    platform::logInfo(QStringLiteral("opened"));
    platform::logWarning(QStringLiteral("odd"));
    platform::logError(QStringLiteral("failed"));
    EXPECT_EQ(capture.lines(),
              (QStringList{QStringLiteral("Info: opened"), QStringLiteral("Warning: odd"),
                           QStringLiteral("Error: failed")}));
}

TEST(Log, CaptureSeesOnlyLinesWrittenWhileItLives)
{
    platform::logWarning(QStringLiteral("before"));
    QStringList seen;
    {
        platform::LogCapture capture;
        platform::logWarning(QStringLiteral("during"));
        seen = capture.lines();
    }
    EXPECT_EQ(seen, QStringList{QStringLiteral("Warning: during")});
}
