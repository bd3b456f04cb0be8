#include "RQS-Kit/Effects/QSWatermarkFilter.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <cstdio>

// Against the kernel release that uname gives, as "6.1.0-13-amd64": major, then minor, then bugfix
// decide.
TEST(SystemVersion, IsAtLeastComparesMajorThenMinorThenBugfix)
{
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    int major = 0, minor = 0, bugfix = 0;
    ASSERT_GE(std::sscanf(names.release, "%d.%d.%d", &major, &minor, &bugfix), 2) << names.release;
    const struct
    {
        int major, minor, bugfix;
        bool atLeast;
    } cases[] = {
        {0, 0, 0, true},
        {major, minor, bugfix, true},
        {major, minor, bugfix + 1, false},
        {major, minor + 1, 0, false},
        {major + 1, 0, 0, false},
        {major - 1, 99, 99, true},
        {major, minor - 1, 99, minor > 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rqs::systemVersionIsAtLeast(c.major, c.minor, c.bugfix), c.atLeast)
            << c.major << "." << c.minor << "." << c.bugfix << " against " << names.release;
}
