#include "support/ForeignUser.h"

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Nobody
{
    uid_t uid = 0;
    gid_t gid = 0;
    bool found = false;
};

Nobody nobody()
{
    Nobody user;
    if (const passwd *entry = ::getpwnam("nobody")) {
        user.uid = entry->pw_uid;
        user.gid = entry->pw_gid;
        user.found = true;
    }
    return user;
}

// In the child: from root to nobody for good.
bool becomeNobody(const Nobody &user)
{
    return ::setgroups(0, nullptr) == 0 && ::setgid(user.gid) == 0 && ::setuid(user.uid) == 0;
}

void writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0 && errno != EINTR)
            return;
        if (written > 0) {
            data += written;
            size -= size_t(written);
        }
    }
}

// What the listener keeps: the count of connections, then the bytes.
constexpr size_t HeardCapacity = 1 << 16;
char heardBytes[HeardCapacity];

// In the child: reads a connection to its end (or for at most a second of silence).
size_t readConnection(int connection, size_t kept)
{
    pollfd readable{connection, POLLIN, 0};
    while (::poll(&readable, 1, 1000) > 0) {
        const ssize_t got = ::read(connection, heardBytes + kept, HeardCapacity - kept);
        if (got <= 0)
            break;
        kept += size_t(got);
        if (kept == HeardCapacity)
            break;
    }
    ::close(connection);
    return kept;
}

} // namespace

namespace ForeignUser {

bool available() { return ::geteuid() == 0 && nobody().found; }

uid_t uid() { return nobody().uid; }

bool run(const std::function<bool()> &steps)
{
    const Nobody user = nobody();
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(becomeNobody(user) && steps() ? 0 : 1);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void startsAsNobody(QProcess &process)
{
    const Nobody user = nobody();
    process.setChildProcessModifier([user] {
        if (!becomeNobody(user))
            ::_exit(127);
    });
}

} // namespace ForeignUser

ForeignListener::ForeignListener(const QString &socketPath)
{
    const Nobody user = nobody();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    if (size_t(path.size()) >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    int control[2], results[2];
    if (::pipe(control) != 0)
        return;
    if (::pipe(results) != 0) {
        ::close(control[0]);
        ::close(control[1]);
        return;
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(control[1]);
        ::close(results[0]);
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool listening = becomeNobody(user) && server >= 0
            && ::bind(server, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 && ::listen(server, 16) == 0;
        const char ready = listening ? '1' : '0';
        writeAll(results[1], &ready, 1);
        if (!listening)
            ::_exit(1);
        ::fcntl(server, F_SETFL, O_NONBLOCK);
        int connections = 0;
        size_t kept = 0;
        bool stopping = false;
        while (!stopping) {
            pollfd waiting[2] = {{server, POLLIN, 0}, {control[0], POLLIN, 0}};
            if (::poll(waiting, 2, -1) < 0 && errno != EINTR)
                break;
            stopping = waiting[1].revents != 0;
            // Connections already made are taken before stopping.
            for (int connection; (connection = ::accept(server, nullptr, nullptr)) >= 0;) {
                ++connections;
                kept = readConnection(connection, kept);
            }
        }
        writeAll(results[1], reinterpret_cast<const char *>(&connections), sizeof connections);
        writeAll(results[1], heardBytes, kept);
        ::_exit(0);
    }
    ::close(control[0]);
    ::close(results[1]);
    m_control = control[1];
    m_results = results[0];
    char ready = '0';
    pollfd readable{m_results, POLLIN, 0};
    m_listening = m_pid > 0 && ::poll(&readable, 1, 10000) > 0 && ::read(m_results, &ready, 1) == 1 && ready == '1';
}

ForeignListener::~ForeignListener() { heard(); }

bool ForeignListener::isListening() const { return m_listening; }

ForeignListener::Heard ForeignListener::heard()
{
    Heard heard;
    if (m_pid <= 0)
        return heard;
    ::close(m_control);
    QByteArray results;
    char block[4096];
    for (ssize_t got; (got = ::read(m_results, block, sizeof block)) > 0;)
        results.append(block, got);
    ::close(m_results);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    if (results.size() >= qsizetype(sizeof heard.connections)) {
        std::memcpy(&heard.connections, results.constData(), sizeof heard.connections);
        heard.bytes = results.mid(sizeof heard.connections);
    }
    return heard;
}

ForeignUserScope::ForeignUserScope()
    : m_active(ForeignUser::available() && ::setresuid(ForeignUser::uid(), ForeignUser::uid(), 0) == 0)
{
}

ForeignUserScope::~ForeignUserScope()
{
    if (m_active && ::setresuid(0, 0, 0) != 0)
        std::abort(); // a test process that cannot be root again must not go on
}

bool ForeignUserScope::isActive() const { return m_active; }
