#include "platform/foundation/OpenFileLimit.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/SystemReason.h"

#include <sys/resource.h>

#include <cerrno>

namespace platform {

void raiseOpenFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        logWarning(QStringLiteral("Could not read the limit of open files: %1").arg(systemReason(errno)));
        return;
    }
    if (limit.rlim_cur == limit.rlim_max)
        return;
    limit.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
        logWarning(QStringLiteral("Could not raise the limit of open files: %1").arg(systemReason(errno)));
}

} // namespace platform
