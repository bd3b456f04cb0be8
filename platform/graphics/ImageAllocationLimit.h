#pragma once

#include <QtGlobal>

namespace platform {

// The most bytes Qt's picture readers let one decoded picture take; without a limit, the most a
// QImage can address.
qint64 imageAllocationLimitBytes();

} // namespace platform
