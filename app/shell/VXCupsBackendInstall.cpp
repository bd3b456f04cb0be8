#include "app/shell/VXCupsBackendInstall.h"

#include "platform/foundation/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

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

bool VXCupsBackendInstall::installAsAdministrator(const QString &foldwisePath, const QString &backend)
{
    QProcess pkexec;
    pkexec.start(QStringLiteral("pkexec"), {foldwisePath, QStringLiteral("--install-cups-backend"), backend, destination()});
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

bool VXCupsBackendInstall::install(const QString &backend, const QString &destination)
{
    const QFileInfo target(destination);
    if (!QFileInfo(backend).isFile() || target.fileName() != QLatin1String("foldwise") || target.absoluteDir().dirName() != QLatin1String("backend")) {
        platform::logError(QStringLiteral("Will not install %1 as %2").arg(backend, destination));
        return false;
    }
    QFile source(backend);
    QSaveFile copy(destination);
    // Made private before the first byte: CUPS runs a backend readable only by root as root.
    const bool opened = source.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly)
        && copy.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (opened && copy.write(source.readAll()) == source.size() && copy.commit())
        return true;
    platform::logError(QStringLiteral("Could not install %1 as %2: %3").arg(backend, destination, copy.errorString()));
    return false;
}

QString VXCupsBackendInstall::administratorCommand(const QString &backend)
{
    return QStringLiteral("install -m 700 '%1' '%2'").arg(backend, destination());
}
