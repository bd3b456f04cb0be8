#include "platform/foundation/Log.h"

#include <QMutex>
#include <QMutexLocker>
#include <QList>
#include <QThread>

#include <cstdio>

namespace platform {

namespace {
QMutex &captureMutex()
{
    static QMutex mutex;
    return mutex;
}
QList<LogCapture *> &captures()
{
    static QList<LogCapture *> list;
    return list;
}
void logQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString category = QString::fromLatin1(context.category ? context.category : "default");
    const QString text = category == QLatin1String("default") ? message : category + QStringLiteral(": ") + message;
    switch (type) {
    case QtDebugMsg:
        return;
    case QtInfoMsg:
        logInfo(text);
        return;
    case QtWarningMsg:
        logWarning(text);
        return;
    case QtCriticalMsg:
    case QtFatalMsg:
        logError(text);
        return;
    }
}

} // namespace

QtMessageHandler routeQtMessagesToLog() { return qInstallMessageHandler(logQtMessage); }

void logLine(const QString &line)
{
    QMutexLocker locker(&captureMutex());
    const QByteArray bytes = line.toUtf8();
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
    for (LogCapture *capture : captures())
        capture->append(line);
}

void logInfo(const QString &message) { logLine(QStringLiteral("Info: ") + message); }
void logWarning(const QString &message) { logLine(QStringLiteral("Warning: ") + message); }
void logError(const QString &message) { logLine(QStringLiteral("Error: ") + message); }

LogCapture::LogCapture(Threads threads) : m_thread(threads == Threads::This ? QThread::currentThread() : nullptr)
{
    QMutexLocker locker(&captureMutex());
    captures().append(this);
}

LogCapture::~LogCapture()
{
    QMutexLocker locker(&captureMutex());
    captures().removeOne(this);
}

QStringList LogCapture::lines() const
{
    QMutexLocker locker(&captureMutex());
    return m_lines;
}

bool LogCapture::contains(const QString &text) const
{
    const QStringList all = lines();
    for (const QString &line : all) {
        if (line.contains(text))
            return true;
    }
    return false;
}

void LogCapture::append(const QString &line)
{
    if (!m_thread || m_thread == QThread::currentThread())
        m_lines.append(line);
}

} // namespace platform
