#include "platform/foundation/Progress.h"

#include <algorithm>

namespace platform {

qint64 Progress::totalUnitCount() const { return m_total; }

void Progress::setTotalUnitCount(qint64 total) { m_total = total; }

qint64 Progress::completedUnitCount() const { return m_completed; }

void Progress::addCompletedUnits(qint64 count) { m_completed += count; }

double Progress::fractionCompleted() const
{
    const qint64 total = m_total;
    return total > 0 ? std::clamp(double(m_completed) / double(total), 0.0, 1.0) : 0.0;
}

void Progress::cancel() { m_cancelled = true; }

bool Progress::isCancelled() const { return m_cancelled; }

} // namespace platform
