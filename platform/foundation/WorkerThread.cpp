#include "platform/foundation/WorkerThread.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

struct WorkerThread::Entry
{
    std::thread thread;
    bool ended = false;
};

// Every thread started and not yet joined.
struct WorkerThread::Registry
{
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<std::shared_ptr<Entry>> unjoined;

    // Takes the threads of the ended entries out, for joining without the lock.
    std::vector<std::thread> takeEnded(const std::function<bool(const Entry &)> &which)
    {
        std::vector<std::thread> taken;
        std::erase_if(unjoined, [&](const std::shared_ptr<Entry> &entry) {
            if (!entry->ended || !which(*entry))
                return false;
            taken.push_back(std::move(entry->thread));
            return true;
        });
        return taken;
    }
};

WorkerThread::Registry &WorkerThread::registry()
{
    // Never destroyed: a thread left running when the process ends still counts itself out.
    static auto *all = new Registry;
    return *all;
}

namespace {

void joinAll(std::vector<std::thread> taken)
{
    for (std::thread &thread : taken)
        thread.join();
}

} // namespace

WorkerThread::WorkerThread(std::shared_ptr<Entry> entry)
    : m_entry(std::move(entry))
{
}

WorkerThread::WorkerThread(WorkerThread &&) noexcept = default;

WorkerThread &WorkerThread::operator=(WorkerThread &&other) noexcept
{
    if (this != &other) {
        leave();
        m_entry = std::move(other.m_entry);
    }
    return *this;
}

WorkerThread::~WorkerThread() { leave(); }

std::optional<WorkerThread> WorkerThread::start(std::function<void()> work, QString *refusal)
{
    Registry &all = registry();
    auto entry = std::make_shared<Entry>();
    std::vector<std::thread> left;
    bool started = true;
    {
        const std::lock_guard lock(all.mutex);
        // Threads that have ended are joined here, so that those left to end by themselves do not pile up.
        left = all.takeEnded([](const Entry &) { return true; });
        all.unjoined.push_back(entry);
        try {
            // The registry holds the entry until the thread is joined, which is after its last touch.
            entry->thread = std::thread([ended = entry.get(), work = std::move(work)]() mutable {
                work();
                work = nullptr;
                Registry &threads = registry();
                {
                    const std::lock_guard lock(threads.mutex);
                    ended->ended = true;
                }
                threads.ended.notify_all();
            });
        } catch (const std::system_error &e) {
            all.unjoined.pop_back();
            if (refusal)
                *refusal = QString::fromLocal8Bit(e.what());
            started = false;
        }
    }
    joinAll(std::move(left));
    if (!started)
        return std::nullopt;
    return WorkerThread(std::move(entry));
}

bool WorkerThread::waitUntilEnded(std::chrono::milliseconds timeout)
{
    if (!m_entry)
        return true;
    Registry &all = registry();
    std::unique_lock lock(all.mutex);
    if (!all.ended.wait_for(lock, timeout, [&] { return m_entry->ended; }))
        return false;
    std::vector<std::thread> own = all.takeEnded([&](const Entry &entry) { return &entry == m_entry.get(); });
    lock.unlock();
    joinAll(std::move(own));
    m_entry.reset();
    return true;
}

void WorkerThread::leave()
{
    if (!m_entry)
        return;
    // Ended already, it is joined at once; otherwise the next start or waitUntilAllEnded joins it.
    waitUntilEnded(std::chrono::milliseconds(0));
    m_entry.reset();
}

bool WorkerThread::waitUntilAllEnded(std::chrono::milliseconds timeout)
{
    Registry &all = registry();
    std::unique_lock lock(all.mutex);
    const bool ended = all.ended.wait_for(lock, timeout, [&] {
        return std::all_of(all.unjoined.begin(), all.unjoined.end(), [](const std::shared_ptr<Entry> &entry) { return entry->ended; });
    });
    std::vector<std::thread> taken = all.takeEnded([](const Entry &) { return true; });
    lock.unlock();
    joinAll(std::move(taken));
    return ended;
}

} // namespace platform
