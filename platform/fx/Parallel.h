#pragma once

#include <functional>
#include <stop_token>

namespace platform::fx {

// Runs work over [0, count) in bands: the calling thread, helped by the global pool's free
// threads. Safe to call from pool threads, all of them at once. Once the calling thread's band
// stop is requested, bands not yet begun are left out.
void forEachBand(int count, const std::function<void(int begin, int end)> &work);

// While one lives, forEachBand on its thread follows its stop token: a render being stopped
// leaves the rest of a large step undone, as it throws that step's pixels away.
class BandStop
{
public:
    explicit BandStop(std::stop_token stop);
    ~BandStop();
    BandStop(const BandStop &) = delete;
    BandStop &operator=(const BandStop &) = delete;

private:
    std::stop_token m_previous;
};

} // namespace platform::fx
