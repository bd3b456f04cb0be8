#include "platform/pdf/PdfDrawingLimit.h"

#include "platform/foundation/WorkerThread.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace platform {

namespace {

std::atomic_bool stoppingAll = false;

// The pages being drawn on every thread.
struct UnderWay
{
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
};

UnderWay &underWay()
{
    // Never destroyed: a drawing left running when the process ends may still count itself out.
    static auto *drawings = new UnderWay;
    return *drawings;
}

} // namespace

PdfDrawingLimit::PdfDrawingLimit(std::chrono::milliseconds budget, Unwanted unwanted)
    : m_budget(budget)
    , m_deadline(std::chrono::steady_clock::now() + budget)
    , m_unwanted(std::move(unwanted))
{
}

PdfDrawingEnd PdfDrawingLimit::verdict() const
{
    if (stoppingAll || (m_unwanted && m_unwanted()))
        return PdfDrawingEnd::Cancelled;
    if (std::chrono::steady_clock::now() >= m_deadline)
        return PdfDrawingEnd::OutOfTime;
    return PdfDrawingEnd::Whole;
}

std::chrono::milliseconds PdfDrawingLimit::budget() const { return m_budget; }

QString PdfDrawingLimit::outOfTimeReason(const QString &page) const
{
    QString reason = QStringLiteral("%1 took longer than %2 seconds to draw").arg(page).arg(double(m_budget.count()) / 1000);
    if (!reason.isEmpty())
        reason[0] = reason[0].toUpper();
    return reason;
}

void PdfDrawingLimit::setStoppingAll(bool stopping) { stoppingAll = stopping; }

bool PdfDrawingLimit::isStoppingAll() { return stoppingAll; }

bool PdfDrawingLimit::processMayTearDown()
{
    return waitUntilNoneDrawn(std::chrono::milliseconds(0)) && WorkerThread::waitUntilAllEnded(std::chrono::milliseconds(0));
}

bool PdfDrawingLimit::waitUntilNoneDrawn(std::chrono::milliseconds timeout)
{
    UnderWay &drawings = underWay();
    std::unique_lock lock(drawings.mutex);
    return drawings.ended.wait_for(lock, timeout, [&] { return drawings.count == 0; });
}

PdfDrawingUnderWay::PdfDrawingUnderWay()
{
    UnderWay &drawings = underWay();
    const std::lock_guard lock(drawings.mutex);
    ++drawings.count;
}

PdfDrawingUnderWay::~PdfDrawingUnderWay()
{
    UnderWay &drawings = underWay();
    {
        const std::lock_guard lock(drawings.mutex);
        --drawings.count;
    }
    drawings.ended.notify_all();
}

} // namespace platform
