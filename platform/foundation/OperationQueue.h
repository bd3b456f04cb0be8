#pragma once

#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <functional>

namespace platform {

// Background work on a thread pool of its own, at most maxConcurrentOperationCount operations at
// a time. Results go back to the GUI thread through MainQueue. Destroying the queue waits for the
// operations already added.
class OperationQueue
{
public:
    explicit OperationQueue(int maxConcurrentOperationCount = QThread::idealThreadCount());
    ~OperationQueue();
    OperationQueue(const OperationQueue &) = delete;
    OperationQueue &operator=(const OperationQueue &) = delete;

    // Safe from any thread, operations included. An operation that throws is logged as an error
    // and does not take the process down. Waiting operations of a higher priority start first.
    void addOperation(std::function<void()> operation, int priority = 0);
    void waitUntilAllOperationsAreFinished();
    // The same for at most that long; false when an operation still runs.
    bool waitUntilAllOperationsAreFinished(std::chrono::milliseconds timeout);
    // Operations not yet started are dropped; running ones finish.
    void cancelAllOperations();

    // Operations waiting or running.
    int operationCount() const;

    int maxConcurrentOperationCount() const;
    // Counts below 1 are refused with a logged warning.
    void setMaxConcurrentOperationCount(int count);

private:
    QThreadPool m_pool;
    std::atomic_int m_count = 0;
    std::atomic_int m_generation = 0;
};

} // namespace platform
