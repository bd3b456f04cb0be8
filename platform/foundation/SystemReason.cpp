#include "platform/foundation/SystemReason.h"

#include <cerrno>
#include <cstring>

namespace platform {

QString systemReason(int error)
{
    if (error == ENOSPC)
        return QStringLiteral("the disk is full");
    if (error == EDQUOT)
        return QStringLiteral("the disk quota is used up");
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace platform
