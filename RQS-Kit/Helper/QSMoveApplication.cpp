#include "RQS-Kit/Helper/QSMoveApplication.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Helper/QSBundleTree.h"
#include "RQS-Kit/Helper/QSProcessHandoff.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// pkexec's status when the user dismissed the request for the password.
constexpr int DismissedAuthorization = 126;

QString text(const QString &key) { return rqs::localizedForTable(key, QStringLiteral("RQS-Localizable")); }

bool isInside(const QString &path, const QString &folder)
{
    return !folder.isEmpty() && path.startsWith(QDir::cleanPath(folder) + QLatin1Char('/'));
}

bool trash(const QString &path)
{
    if (QFile::moveToTrash(path))
        return true;
    platform::logError(QStringLiteral("Could not trash '%1'").arg(path));
    return false;
}

bool relaunchAndQuit(const QString &executable)
{
    QString error;
    if (!QSProcessHandoff::startAfterThisProcess(executable, QCoreApplication::arguments().mid(1), &error)) {
        platform::logError(QStringLiteral("Could not start %1 after this process: %2").arg(executable, error));
        return false;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    return true;
}

int installWithPkexec(const QString &bundle, const QString &destination)
{
    QProcess pkexec;
    pkexec.start(QStringLiteral("pkexec"), {QSBundleTree::executableIn(bundle), QStringLiteral("--install-bundle"), bundle, destination});
    if (!pkexec.waitForFinished(-1) || pkexec.exitStatus() != QProcess::NormalExit) {
        platform::logError(QStringLiteral("Could not run pkexec: %1").arg(pkexec.errorString()));
        return -1;
    }
    return pkexec.exitCode();
}

} // namespace

QSMoveApplication::Folders QSMoveApplication::Folders::standard()
{
    return {QDir::homePath() + QStringLiteral("/Applications"), QStringLiteral("/opt"),
            QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
            {QStringLiteral("/usr"), QStringLiteral("/usr/local"), QStringLiteral(FOLDWISE_INSTALL_PREFIX)}};
}

QSMoveApplication::QSMoveApplication(const QString &bundlePath, const Folders &folders)
    : m_bundlePath(bundlePath)
    , m_folders(folders)
    , m_relaunch(relaunchAndQuit)
    , m_privilegedInstall(installWithPkexec)
{
}

QSMoveApplication QSMoveApplication::forThisProcess()
{
    return QSMoveApplication(QSBundleTree::bundlePathForExecutable(QCoreApplication::applicationFilePath()), Folders::standard());
}

void QSMoveApplication::setRelaunch(Relaunch relaunch) { m_relaunch = std::move(relaunch); }

void QSMoveApplication::setPrivilegedInstall(PrivilegedInstall install) { m_privilegedInstall = std::move(install); }

bool QSMoveApplication::needsOffer() const
{
    if (m_bundlePath.isEmpty() || platform::UserDefaults::standardUserDefaults()->boolForKey(SuppressKey))
        return false;
    const bool installed = m_folders.installPrefixes.contains(m_bundlePath) || isInside(m_bundlePath, m_folders.userApplications)
        || isInside(m_bundlePath, m_folders.systemApplications)
        || m_bundlePath.split(QLatin1Char('/')).contains(QLatin1String("Applications"));
    return !installed;
}

void QSMoveApplication::moveToApplicationsFolderIfNecessary()
{
    if (!needsOffer())
        return;
    const QString name = platform::Bundle::mainBundle()->objectForInfoDictionaryKey(QStringLiteral("CFBundleName")).toString();
    QString informative = text(QStringLiteral("MoveApplicationsText")).arg(name);
    if (rightsNeeded())
        informative += QLatin1Char(' ') + text(QStringLiteral("MoveApplicationsNote"));
    else if (isInside(m_bundlePath, m_folders.downloads))
        informative += QLatin1Char(' ') + text(QStringLiteral("MoveApplicationsDownload"));
    platform::Alert alert;
    alert.setMessageText(text(QStringLiteral("MoveApplicationsTitle")));
    alert.setInformativeText(informative);
    alert.addButtonWithTitle(text(QStringLiteral("MoveApplicationsButton")));
    alert.addButtonWithTitle(text(QStringLiteral("MoveApplicationsHomeButton")));
    alert.addButtonWithTitle(text(QStringLiteral("DoNotMoveButton")), platform::Alert::ButtonRole::Cancel);
    alert.setShowsSuppressionButton(true);
    // The mover may be a temporary: the completion keeps its own copy.
    alert.beginSheetModalForWindow(platform::Window::keyWindow(), [mover = *this](const platform::Alert::Answer &answer) mutable {
        mover.moveApplicationChoice(answer.returnCode);
        if (answer.suppressionButtonTicked)
            platform::UserDefaults::standardUserDefaults()->setBool(true, SuppressKey);
    });
}

QString QSMoveApplication::systemDestination() const
{
    return QDir::cleanPath(m_folders.systemApplications) + QLatin1Char('/') + QFileInfo(m_bundlePath).fileName();
}

QString QSMoveApplication::homeDestination() const
{
    return QDir::cleanPath(m_folders.userApplications) + QLatin1Char('/') + QFileInfo(m_bundlePath).fileName();
}

bool QSMoveApplication::rightsNeeded() const
{
    const QDir user(m_folders.userApplications);
    const bool userPreferred = user.exists() && !user.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QFileInfo preferred(userPreferred ? m_folders.userApplications : m_folders.systemApplications);
    const QFileInfo home(homeDestination());
    const QFileInfo system(systemDestination());
    return !preferred.isWritable() || (home.exists() && !home.isWritable()) || (system.exists() && !system.isWritable());
}

QSMoveApplication::Outcome QSMoveApplication::moveApplicationChoice(int response)
{
    if (response != MoveToSystem && response != MoveToHome)
        return Outcome::Stayed;
    platform::logInfo(QStringLiteral("Moving to the Applications folder"));
    const QString destination = response == MoveToSystem ? systemDestination() : homeDestination();
    const QString folder = QFileInfo(destination).absolutePath();
    // The user's folder is made on first use; only the chosen folder decides on rights, so
    // that a copy into the user's home is never owned by the administrator.
    if (response == MoveToHome && !QDir().mkpath(folder))
        platform::logWarning(QStringLiteral("Could not create %1").arg(folder));
    const bool writable = QFileInfo(folder).isWritable() && (!QFileInfo::exists(destination) || QFileInfo(destination).isWritable());
    return writable ? plainCopy(destination) : privilegedCopy(destination);
}

QSMoveApplication::Outcome QSMoveApplication::plainCopy(const QString &destination)
{
    if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink()) {
        if (!QSBundleTree::isBundle(destination)) {
            platform::logError(QStringLiteral("%1 is no Foldwise folder; it stays").arg(destination));
            return fail();
        }
        if (QSProcessHandoff::isRunningFrom(destination)) {
            platform::logInfo(QStringLiteral("Switching to an already running version"));
            return m_relaunch(QSBundleTree::executableIn(destination)) ? Outcome::SwitchedToRunningCopy : fail();
        }
        // Removed, not trashed: a desktop trash may not reach this folder's disk at all.
        QString error;
        if (!QSBundleTree::remove(destination, &error)) {
            platform::logError(QStringLiteral("Could not remove the older copy: %1").arg(error));
            return fail();
        }
    }
    QString error;
    if (!QSBundleTree::copy(m_bundlePath, destination, &error)) {
        platform::logError(QStringLiteral("Could not copy '%1' to '%2' (%3)").arg(m_bundlePath, destination, error));
        platform::logError(QStringLiteral("Could not copy myself to %1").arg(destination));
        return fail();
    }
    return finish(destination);
}

QSMoveApplication::Outcome QSMoveApplication::privilegedCopy(const QString &destination)
{
    const int status = m_privilegedInstall(m_bundlePath, destination);
    if (status == DismissedAuthorization) {
        platform::logInfo(QStringLiteral("Not moving because user canceled authorization"));
        return Outcome::Cancelled;
    }
    if (status != 0) {
        platform::logError(QStringLiteral("Could not copy myself to %1 with authorization").arg(destination));
        return fail();
    }
    return finish(destination);
}

QSMoveApplication::Outcome QSMoveApplication::finish(const QString &destination)
{
    // The new copy is started first: should that fail, the running copy is still whole.
    if (!m_relaunch(QSBundleTree::executableIn(destination)))
        return fail();
    QString error;
    if (!QSBundleTree::remove(m_bundlePath, &error)) {
        platform::logWarning(QStringLiteral("Could not delete '%1': %2").arg(m_bundlePath, error));
        if (!trash(m_bundlePath))
            platform::logWarning(QStringLiteral("Could not delete application after moving it to Applications folder"));
    }
    return Outcome::Moved;
}

QSMoveApplication::Outcome QSMoveApplication::fail()
{
    showFailedToMove();
    return Outcome::Failed;
}

void QSMoveApplication::showFailedToMove()
{
    platform::Alert alert;
    alert.setMessageText(text(QStringLiteral("FailedMoveToApplications")));
    alert.setAlertStyle(platform::Alert::Style::Critical);
    alert.beginSheetModalForWindow(platform::Window::keyWindow(), platform::Alert::Completion());
}

bool QSMoveApplication::installBundle(const QString &bundle, const QString &destination)
{
    const QFileInfo target(destination);
    const bool sameName = target.fileName() == QFileInfo(bundle).fileName();
    if (!QSBundleTree::isBundle(bundle) || !sameName || !target.absoluteDir().exists()
        || QDir::cleanPath(target.absoluteFilePath()) == QDir::cleanPath(QFileInfo(bundle).absoluteFilePath())) {
        platform::logError(QStringLiteral("Will not install %1 as %2").arg(bundle, destination));
        return false;
    }
    QString error;
    if ((target.exists() || target.isSymLink()) && !QSBundleTree::remove(destination, &error)) {
        platform::logError(QStringLiteral("Could not replace %1: %2").arg(destination, error));
        return false;
    }
    if (!QSBundleTree::copy(bundle, destination, &error)) {
        platform::logError(QStringLiteral("Could not copy '%1' to '%2' (%3)").arg(bundle, destination, error));
        return false;
    }
    return true;
}
