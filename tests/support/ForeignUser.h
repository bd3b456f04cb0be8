#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QProcess;

#include <sys/types.h>

// What another local user does, for tests of what Foldwise must not trust: child processes that
// run as "nobody". Only root can be another user; without root the cases that need it skip.
namespace ForeignUser {

// Root, and a user "nobody" to become.
bool available();
uid_t uid();
// Runs steps as nobody in a child process and waits for it: true when they returned true. The
// steps run after a fork and may make only plain system calls (no allocation, no Qt).
bool run(const std::function<bool()> &steps);
// The process, once started, runs as nobody (or ends at once with 127).
void startsAsNobody(QProcess &process);

} // namespace ForeignUser

// While it lives, this whole process, every thread of it, is nobody to the servers it talks to:
// its real and effective user are nobody, and root stays its saved user to come back to. For a
// server that tells its local clients apart by their credentials (CUPS). Root only.
class ForeignUserScope
{
public:
    ForeignUserScope();
    ~ForeignUserScope();
    ForeignUserScope(const ForeignUserScope &) = delete;
    ForeignUserScope &operator=(const ForeignUserScope &) = delete;

    bool isActive() const;

private:
    bool m_active = false;
};

// A local socket that nobody listens on at a path, keeping what anyone sends until heard().
class ForeignListener
{
public:
    struct Heard
    {
        int connections = 0;
        QByteArray bytes;
    };

    // The folder of the path must let nobody make the socket.
    explicit ForeignListener(const QString &socketPath);
    ~ForeignListener();
    ForeignListener(const ForeignListener &) = delete;
    ForeignListener &operator=(const ForeignListener &) = delete;

    bool isListening() const;
    // Stops listening: the connections made and the bytes sent over them.
    Heard heard();

private:
    pid_t m_pid = -1;
    int m_control = -1; // closed to stop the listener
    int m_results = -1;
    bool m_listening = false;
};
