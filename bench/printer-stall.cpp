// Whether a print server that takes connections but never answers holds up the GUI event loop:
//   printer-stall [HOLD_SECONDS]
// A stand-in server on a private unix socket (CUPS_SERVER points there) accepts every connection
// and keeps it HOLD_SECONDS (3 unless given) without a word before closing it. A 10 ms timer
// ticks on the GUI thread for 2 * HOLD + 1 s in each of two runs:
//   direct  the GUI thread asks PrinterList itself every 2 s, as the GUI did before the cache;
//   cache   a PrinterCache asks on its worker every 2 s, and every tick reads it through the
//           print router's printersType(), as the print buttons do;
//   job     a one-page spool job to the default printer is started at once, as a print run does.
// Prints the ticks and the longest gap between two ticks of each run; libcups tries a silent
// server twice, so one direct ask stalls the loop for about two holds.

#include "BenchSession.h"

#include "app/printing/VXPrintHelper.h"
#include "platform/printing/PrintOperation.h"
#include "platform/printing/Printable.h"
#include "platform/printing/PrinterCache.h"
#include "platform/printing/PrinterList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Accepts on a unix socket and closes each connection, unanswered, after the hold.
class SilentServer
{
public:
    SilentServer(const QByteArray &path, int holdMs) : m_holdMs(holdMs)
    {
        m_listener = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        m_ok = m_listener >= 0 && bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0
               && listen(m_listener, 16) == 0;
        if (m_ok)
            m_thread = std::thread([this] { serve(); });
    }
    ~SilentServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_listener >= 0)
            close(m_listener);
    }
    bool isListening() const { return m_ok; }

private:
    void serve()
    {
        std::vector<std::pair<int, QElapsedTimer>> held;
        while (!m_stop) {
            pollfd listener {m_listener, POLLIN, 0};
            if (poll(&listener, 1, 20) > 0) {
                QElapsedTimer since;
                since.start();
                held.emplace_back(accept(m_listener, nullptr, nullptr), since);
            }
            std::erase_if(held, [this](const auto &connection) {
                if (connection.second.elapsed() < m_holdMs)
                    return false;
                close(connection.first);
                return true;
            });
        }
        for (const auto &connection : held)
            close(connection.first);
    }

    int m_holdMs;
    int m_listener = -1;
    bool m_ok = false;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

class BlankPage : public platform::Printable
{
public:
    bool knowsPageRange(int &first, int &count) override
    {
        first = 1;
        count = 1;
        return true;
    }
    QRectF rectForPage(int) override { return QRectF(0, 0, 595, 842); }
    void drawRect(const QRectF &) override {}
};

struct Ticks
{
    int count = 0;
    qint64 longestGapMs = 0;
};

// Turns the GUI event loop for the time given with a 10 ms timer that also does `work`.
Ticks tick(int durationMs, const std::function<void()> &work)
{
    Ticks ticks;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        ticks.longestGapMs = std::max(ticks.longestGapMs, now - last);
        last = now;
        ++ticks.count;
        work();
        if (now >= durationMs)
            QCoreApplication::quit();
    });
    timer.start();
    QCoreApplication::exec();
    return ticks;
}

} // namespace

int main(int argc, char **argv)
{
    bench::Session session;
    QTemporaryDir folder;
    const int holdMs = (argc > 1 ? std::atoi(argv[1]) : 3) * 1000;
    const QByteArray socketPath = folder.filePath(QStringLiteral("silent.sock")).toUtf8();
    SilentServer server(socketPath, holdMs);
    if (!session.isValid() || !folder.isValid() || !server.isListening() || holdMs <= 0) {
        platform::logError(QStringLiteral("Could not set up the silent print server"));
        return 1;
    }
    qputenv("CUPS_SERVER", socketPath);
    QApplication application(argc, argv);
    const int durationMs = 2 * holdMs + 1000;

    QElapsedTimer sinceAsked;
    sinceAsked.start();
    const Ticks direct = tick(durationMs, [&] {
        if (sinceAsked.elapsed() >= 2000) {
            platform::PrinterList::queues(nullptr);
            sinceAsked.restart();
        }
    });
    std::printf("direct: %d ticks in %d ms, longest gap %lld ms\n", direct.count, durationMs,
                static_cast<long long>(direct.longestGapMs));

    VXPrintHelper *router = VXPrintHelper::sharedHelper();
    const Ticks cached = tick(durationMs, [&] { router->printersType(); });
    std::printf("cache:  %d ticks in %d ms, longest gap %lld ms, first ask over: %s\n", cached.count, durationMs,
                static_cast<long long>(cached.longestGapMs),
                platform::PrinterCache::shared()->isLoaded() ? "yes" : "no");

    BlankPage page;
    platform::PrintInfo info;
    info.setPaperSize(QSizeF(595, 842));
    platform::PrintOperation job(page, info);
    std::optional<platform::PrintOperation::Outcome> outcome;
    job.start(&application, [&](const platform::PrintOperation::Outcome &answer) { outcome = answer; });
    const Ticks started = tick(durationMs, [] {});
    std::printf("job:    %d ticks in %d ms, longest gap %lld ms, job over: %s\n", started.count, durationMs,
                static_cast<long long>(started.longestGapMs), outcome ? "yes" : "no");
    return 0;
}
