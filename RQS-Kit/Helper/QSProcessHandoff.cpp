#include "RQS-Kit/Helper/QSProcessHandoff.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

bool QSProcessHandoff::isRunningFrom(const QString &folder)
{
    const QString prefix = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/');
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &process : processes) {
        // Other users' executables cannot be read and do not count.
        const QString executable = QFileInfo(QStringLiteral("/proc/%1/exe").arg(process)).symLinkTarget();
        if (executable.startsWith(prefix))
            return true;
    }
    return false;
}

bool QSProcessHandoff::startAfterThisProcess(const QString &executable, const QStringList &arguments, QString *error)
{
    // Everything the child needs is made before the fork: after it only calls that are safe in a
    // forked child of a threaded process may run.
    std::vector<std::string> strings{executable.toStdString()};
    for (const QString &argument : arguments)
        strings.push_back(argument.toStdString());
    std::vector<char *> argv;
    for (std::string &string : strings)
        argv.push_back(string.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (child == 0) {
        setsid();
        const timespec pause{0, 100'000'000};
        while (getppid() == parent)
            nanosleep(&pause, nullptr);
        execv(argv.front(), argv.data());
        _exit(127);
    }
    return true;
}
