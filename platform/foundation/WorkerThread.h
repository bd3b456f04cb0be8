#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

// A thread of its own for work that its owner may leave to end by itself, as a page held by one
// drawing operation that poppler cannot stop is. No thread is ever detached: each counts as
// running until its work has returned and released what it held, thread-locals included, and is
// joined once it has. A process that ends normally while one still runs destroys its statics
// under it, so the process's end asks first (waitUntilAllEnded) and otherwise ends at once.
class WorkerThread
{
public:
    // Runs work on a thread of its own; nothing, with the system's reason, when the system
    // refuses one.
    static std::optional<WorkerThread> start(std::function<void()> work, QString *refusal);
    // Waits at most timeout until every thread started here, left or not, has ended, and joins
    // those that have; false when one still runs.
    static bool waitUntilAllEnded(std::chrono::milliseconds timeout);

    WorkerThread(WorkerThread &&) noexcept;
    WorkerThread &operator=(WorkerThread &&) noexcept;
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;
    // Leaves the thread to end by itself, unless it has ended already.
    ~WorkerThread();

    // Waits at most timeout for the work to end; true once it has, the thread then joined.
    bool waitUntilEnded(std::chrono::milliseconds timeout);

private:
    struct Entry;
    struct Registry;
    static Registry &registry();
    explicit WorkerThread(std::shared_ptr<Entry> entry);
    void leave();

    std::shared_ptr<Entry> m_entry;
};

} // namespace platform
