#include "platform/fx/Parallel.h"

#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <utility>
#include <vector>

namespace platform::fx {

void forEachBand(int count, const std::function<void(int, int)> &work)
{
    if (count <= 0)
        return;
    // Bands of at least 8 rows keep the overhead small; four per thread even out uneven work.
    const int bands = std::clamp(count / 8, 1, QThread::idealThreadCount() * 4);
    if (bands == 1) {
        work(0, count);
        return;
    }
    std::vector<std::pair<int, int>> ranges;
    for (int i = 0; i < bands; ++i)
        ranges.emplace_back(int(qint64(count) * i / bands), int(qint64(count) * (i + 1) / bands));
    QtConcurrent::blockingMap(ranges, [&work](const std::pair<int, int> &range) { work(range.first, range.second); });
}

} // namespace platform::fx
