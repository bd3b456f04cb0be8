#include "platform/fx/Parallel.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

namespace platform::fx {

namespace {

thread_local std::stop_token bandStop;

} // namespace

BandStop::BandStop(std::stop_token stop) : m_previous(std::exchange(bandStop, std::move(stop))) {}

BandStop::~BandStop() { bandStop = std::move(m_previous); }

void forEachBand(int count, const std::function<void(int, int)> &work)
{
    if (count <= 0)
        return;
    const std::stop_token stop = bandStop;
    // Bands of at least 8 rows keep the overhead small; four per thread even out uneven work.
    const int bands = std::clamp(count / 8, 1, QThread::idealThreadCount() * 4);
    std::vector<std::pair<int, int>> ranges;
    for (int i = 0; i < bands; ++i)
        ranges.emplace_back(int(qint64(count) * i / bands), int(qint64(count) * (i + 1) / bands));
    std::atomic<int> next{0};
    const auto drain = [&] {
        for (int i = next++; i < bands && !stop.stop_requested(); i = next++)
            work(ranges[std::size_t(i)].first, ranges[std::size_t(i)].second);
    };
    // Helpers join only when a pool thread is free at once, and the caller drains the rest: renders
    // running on every pool thread never wait on work queued behind themselves.
    QSemaphore finished;
    int helpers = 0;
    const int wanted = std::min(bands, QThread::idealThreadCount()) - 1;
    while (helpers < wanted && QThreadPool::globalInstance()->tryStart([&] {
        drain();
        finished.release();
    }))
        ++helpers;
    drain();
    finished.acquire(helpers);
}

} // namespace platform::fx
