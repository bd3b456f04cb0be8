#include "support/PipeWatch.h"

#include <QFile>

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PipeWatch::PipeWatch(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
            m_paths.append(QFile::encodeName(path));
    }
    m_thread = std::thread([this] { watch(); });
}

PipeWatch::~PipeWatch()
{
    m_done = true;
    m_thread.join();
}

int PipeWatch::made() const { return int(m_paths.size()); }

QStringList PipeWatch::opened() const
{
    std::lock_guard lock(m_mutex);
    return m_opened;
}

void PipeWatch::watch()
{
    while (!m_done) {
        for (const QByteArray &path : m_paths) {
            const int end = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
            if (end < 0)
                continue;
            ::close(end);
            std::lock_guard lock(m_mutex);
            m_opened.append(QFile::decodeName(path));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
