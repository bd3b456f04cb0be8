#pragma once

#include <QString>

#include <cstdio>

// What kit-drive reports, one line each on standard output, in the order it happened.
namespace kitdrive {

inline void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace kitdrive
