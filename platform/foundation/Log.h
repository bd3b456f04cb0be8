#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QThread;

// One line per message with a level word in front ("Warning: ", "Error: ", "Info: "), written to
// standard error.
namespace platform {

void logInfo(const QString &message);
void logWarning(const QString &message);
void logError(const QString &message);
// A line written as given, for callers with a format of their own.
void logLine(const QString &line);
// Makes Qt's own messages lines of this log, with their level and, but for Qt's default one, their
// category in front ("Warning: qt.gui.imageio: ..."): warnings as warnings, critical and fatal
// messages as errors, information as information. Debug messages are left out, as the log has no
// such level. Answers the handler it replaced.
QtMessageHandler routeQtMessagesToLog();

// Collects every line logged while it lives, so that tests and tools can read what was reported.
class LogCapture
{
public:
    enum class Threads { All, This };
    // With Threads::This only the lines logged on the thread that made it, so that work on a
    // thread of its own can tell why it failed without the lines of others.
    explicit LogCapture(Threads threads = Threads::All);
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    bool contains(const QString &text) const;

private:
    friend void logLine(const QString &line);
    void append(const QString &line);
    QThread *m_thread = nullptr;
    QStringList m_lines;
};

} // namespace platform
