#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

TEST(Log, LevelWordsStandInFrontAndACaptureSeesOnlyWhatIsWrittenWhileItLives)
{
    platform::logWarning("before");
    QStringList seen;
    {
        platform::LogCapture capture;
        platform::logInfo("opened");
        platform::logWarning("odd");
        platform::logError("failed");
        seen = capture.lines();
    }
    platform::logWarning("after");
    EXPECT_EQ(seen, (QStringList{"Info: opened", "Warning: odd", "Error: failed"}));
}
