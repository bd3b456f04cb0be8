#pragma once

#include <functional>

namespace platform::fx {

// Runs work over [0, count) in bands: the calling thread, helped by the global pool's free
// threads. Safe to call from pool threads, all of them at once.
void forEachBand(int count, const std::function<void(int begin, int end)> &work);

} // namespace platform::fx
