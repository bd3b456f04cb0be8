#include "platform/foundation/OperationQueue.h"

#include "platform/foundation/Log.h"

#include <exception>

namespace platform {

OperationQueue::OperationQueue(int maxConcurrentOperationCount)
{
    m_pool.setMaxThreadCount(1);
    setMaxConcurrentOperationCount(maxConcurrentOperationCount);
}

OperationQueue::~OperationQueue() { waitUntilAllOperationsAreFinished(); }

void OperationQueue::addOperation(std::function<void()> operation, int priority)
{
    if (!operation) {
        logWarning(QStringLiteral("Empty operation was not added to the queue"));
        return;
    }
    ++m_count;
    m_pool.start([this, generation = m_generation.load(), operation = std::move(operation)] {
        try {
            if (generation == m_generation)
                operation();
        } catch (const std::exception &error) {
            logError(QStringLiteral("Background operation failed: %1").arg(QString::fromLocal8Bit(error.what())));
        } catch (...) {
            logError(QStringLiteral("Background operation failed"));
        }
        --m_count;
    }, priority);
}

void OperationQueue::waitUntilAllOperationsAreFinished() { m_pool.waitForDone(); }

bool OperationQueue::waitUntilAllOperationsAreFinished(std::chrono::milliseconds timeout)
{
    return m_pool.waitForDone(int(timeout.count()));
}

void OperationQueue::cancelAllOperations() { ++m_generation; }

int OperationQueue::operationCount() const { return m_count; }

int OperationQueue::maxConcurrentOperationCount() const { return m_pool.maxThreadCount(); }

void OperationQueue::setMaxConcurrentOperationCount(int count)
{
    if (count < 1) {
        logWarning(QStringLiteral("Operation queue width %1 refused; it stays at %2")
                       .arg(count)
                       .arg(m_pool.maxThreadCount()));
        return;
    }
    m_pool.setMaxThreadCount(count);
}

} // namespace platform
