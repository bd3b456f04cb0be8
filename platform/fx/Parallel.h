#pragma once

#include <functional>

namespace platform::fx {

// Runs work over [0, count) in bands on the global thread pool; the calling thread takes part,
// so that it may itself be a pool thread.
void forEachBand(int count, const std::function<void(int begin, int end)> &work);

} // namespace platform::fx
