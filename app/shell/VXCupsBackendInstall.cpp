#include "app/shell/VXCupsBackendInstall.h"

#include "platform/foundation/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

QString VXCupsBackendInstall::destination() { return QDir(QStringLiteral(FOLDWISE_CUPS_BACKEND_DIR)).filePath(QStringLiteral("foldwise")); }

QString VXCupsBackendInstall::shippedWith(const QString &foldwisePath)
{
    const QDir folder = QFileInfo(foldwisePath).absoluteDir();
    for (const QString &candidate : {folder.filePath(QStringLiteral("foldwise-cups-backend")),
                                     folder.filePath(QStringLiteral("../libexec/foldwise/foldwise-cups-backend"))}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

QStringList VXCupsBackendInstall::installCommand(const QString &backend, const QString &destination)
{
    return {QStringLiteral("/usr/bin/install"), QStringLiteral("-o"), QStringLiteral("root"), QStringLiteral("-g"), QStringLiteral("root"),
            QStringLiteral("-m"), QStringLiteral("0700"), QStringLiteral("-T"), QStringLiteral("--"), backend, destination};
}

bool VXCupsBackendInstall::installAsAdministrator(const QString &backend)
{
    if (!QFileInfo(backend).isFile()) {
        platform::logError(QStringLiteral("Will not install %1 as %2: it is not a file").arg(backend, destination()));
        return false;
    }
    QProcess pkexec;
    pkexec.start(QStringLiteral("pkexec"), installCommand(backend, destination()));
    if (!pkexec.waitForFinished(-1) || pkexec.exitStatus() != QProcess::NormalExit) {
        platform::logError(QStringLiteral("Could not run pkexec: %1").arg(pkexec.errorString()));
        return false;
    }
    if (pkexec.exitCode() == 0)
        return true;
    platform::logError(QStringLiteral("Could not install the CUPS backend %1 as %2: pkexec ended with %3 (%4)")
                           .arg(backend, destination())
                           .arg(pkexec.exitCode())
                           .arg(QString::fromLocal8Bit(pkexec.readAllStandardError()).trimmed()));
    return false;
}

QString VXCupsBackendInstall::administratorCommand(const QString &backend)
{
    return QStringLiteral("install -o root -g root -m 0700 -T '%1' '%2'").arg(backend, destination());
}
