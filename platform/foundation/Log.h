#pragma once

#include <QString>
#include <QStringList>

// One line per message with a level word in front ("Warning: ", "Error: ", "Info: ").
namespace platform {

void logInfo(const QString &message);
void logWarning(const QString &message);
void logError(const QString &message);
// A line written as given, for callers with a format of their own.
void logLine(const QString &line);

// Collects every line logged while it lives, so that tests and tools can read what was reported.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    bool contains(const QString &text) const;

private:
    friend void logLine(const QString &line);
    void append(const QString &line);
    QStringList m_lines;
};

} // namespace platform
