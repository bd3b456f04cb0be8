#pragma once

#include "platform/foundation/Log.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

// What the bench tools share: a quiet, offscreen Qt session whose user settings live in a
// temporary folder, and the process's peak memory.
namespace bench {

// The peak resident memory so far, in KiB; -1 where /proc does not tell.
inline qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The tool's arguments after the program name, read before the application object is made. Qt
// takes its own options (-reverse, -style, -platform, -session, ... also with two dashes) out of
// the arguments it is given, so a tool hands Qt an argument count of 1: its program name only.
inline QStringList toolArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Qt's notices about the session it runs in (no runtime folder, no display) say nothing about
// what is measured; its errors become "Error: " lines.
inline void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        platform::logError(message);
}

// Made before the application object: offscreen unless a platform is asked for, and the user's
// saved settings kept out of the run and unchanged by it.
class Session
{
public:
    Session()
    {
        qInstallMessageHandler(quietQt);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (m_settingsHome.isValid())
            qputenv("XDG_CONFIG_HOME", m_settingsHome.path().toUtf8());
        else
            platform::logError(QStringLiteral("Could not make a temporary folder for the settings"));
    }
    bool isValid() const { return m_settingsHome.isValid(); }

private:
    QTemporaryDir m_settingsHome;
};

} // namespace bench
