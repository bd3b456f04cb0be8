#pragma once

#include <QtGlobal>

#include <atomic>

namespace platform {

// How far work on another thread has come, and whether it is to stop: the worker counts the units
// it has done and looks at isCancelled between steps; the GUI thread shows the fraction and may
// cancel. Safe from any thread.
class Progress
{
public:
    qint64 totalUnitCount() const;
    void setTotalUnitCount(qint64 total);
    qint64 completedUnitCount() const;
    void addCompletedUnits(qint64 count);
    // Completed over total units, within 0 to 1; 0 while the total is not known.
    double fractionCompleted() const;

    void cancel();
    bool isCancelled() const;

private:
    std::atomic<qint64> m_total = 0;
    std::atomic<qint64> m_completed = 0;
    std::atomic_bool m_cancelled = false;
};

} // namespace platform
