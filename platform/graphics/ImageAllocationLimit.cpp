#include "platform/graphics/ImageAllocationLimit.h"

#include <QImageReader>

#include <limits>

namespace platform {

qint64 imageAllocationLimitBytes()
{
    const int megabytes = QImageReader::allocationLimit();
    return megabytes > 0 ? qint64(megabytes) << 20 : std::numeric_limits<int>::max();
}

} // namespace platform
