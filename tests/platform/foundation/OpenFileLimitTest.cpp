#include "platform/foundation/OpenFileLimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <list>

// A process started under a soft limit a few files above what it holds opens a hundred files more
// once the limit is raised; the limit it started with comes back for the next case.
TEST(OpenFileLimit, AProcessStartedUnderALowSoftLimitOpensAHundredFilesMore)
{
    rlimit started{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &started), 0);
    const rlim_t held = QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size();
    if (started.rlim_max != RLIM_INFINITY && started.rlim_max < held + 200)
        GTEST_SKIP() << "the hard limit leaves no room for a hundred files more";
    QTemporaryDir folder;
    QFile written(folder.filePath("file"));
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.close();

    const rlimit low{held + 16, started.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    platform::raiseOpenFileLimit();
    std::list<QFile> files;
    int opened = 0;
    for (int i = 0; i < 100; ++i)
        opened += files.emplace_back(written.fileName()).open(QIODevice::ReadOnly);
    files.clear();
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &started), 0);
    EXPECT_EQ(opened, 100);
}
