#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <thread>

// Pipes made where a reader is to be handed them: a reader that opens one waits in open() for
// ever. A thread opens each for writing while a reader waits on it, which lets the reader go on
// with nothing read, and tells which pipe was opened.
class PipeWatch
{
public:
    explicit PipeWatch(const QStringList &paths);
    ~PipeWatch();
    PipeWatch(const PipeWatch &) = delete;
    PipeWatch &operator=(const PipeWatch &) = delete;

    int made() const;
    QStringList opened() const;

private:
    void watch();

    QList<QByteArray> m_paths;
    std::atomic<bool> m_done = false;
    mutable std::mutex m_mutex;
    QStringList m_opened;
    std::thread m_thread;
};
