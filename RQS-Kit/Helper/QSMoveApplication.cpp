#include "RQS-Kit/Helper/QSMoveApplication.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Foundation/WindowExtension.h"
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
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

namespace {

// pkexec's status when the user dismissed the request for the password.
constexpr int DismissedAuthorization = 126;

QString text(const QString &key) { return rqs::localizedForTable(key, QStringLiteral("RQS-Localizable")); }

bool isInside(const QString &path, const QString &folder)
{
    return !folder.isEmpty() && path.startsWith(QDir::cleanPath(folder) + QLatin1Char('/'));
}

// The block device behind the partition (or the device itself) says whether it can be taken out.
bool isRemovableDevice(const QByteArray &device)
{
    if (!device.startsWith("/dev/"))
        return false;
    const QString name = QFileInfo(QString::fromLocal8Bit(device)).fileName();
    const QString block = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (block.isEmpty())
        return false;
    for (const QString &folder : {block, QFileInfo(block).path()}) {
        QFile removable(folder + QStringLiteral("/removable"));
        if (removable.open(QIODevice::ReadOnly))
            return removable.readAll().trimmed() == "1";
    }
    return false;
}

// Linux's disk image: a read-only mount (an AppImage's) or a removable one (a USB stick). Foldwise
// there is copied and the original left as it is.
bool isOnReadOnlyOrRemovableMount(const QString &path)
{
    const QStorageInfo volume(path);
    return volume.isValid() && (volume.isReadOnly() || isRemovableDevice(volume.device()));
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

int runWithPkexec(const QStringList &command, QString *error)
{
    const QString pkexecPath = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
    if (pkexecPath.isEmpty()) {
        *error = text(QStringLiteral("MoveFailedNoPkexec"));
        return -1;
    }
    QProcess pkexec;
    pkexec.start(pkexecPath, command);
    if (!pkexec.waitForFinished(-1) || pkexec.exitStatus() != QProcess::NormalExit) {
        *error = pkexec.errorString();
        return -1;
    }
    return pkexec.exitCode();
}

} // namespace

bool QSTrashPath(const QString &path)
{
    // Without the data folder Qt falls back to a trash in the working folder.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString trashed;
    if (QFile::moveToTrash(path, &trashed)) {
        platform::logInfo(QStringLiteral("Moved '%1' to the trash as '%2'").arg(path, trashed));
        return true;
    }
    platform::logError(QStringLiteral("Could not trash '%1'").arg(path));
    return false;
}

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
    , m_privilegedRun(runWithPkexec)
{
}

QSMoveApplication QSMoveApplication::forThisProcess()
{
    return QSMoveApplication(QSBundleTree::bundlePathForExecutable(QCoreApplication::applicationFilePath()), Folders::standard());
}

void QSMoveApplication::setRelaunch(Relaunch relaunch) { m_relaunch = std::move(relaunch); }

void QSMoveApplication::setPrivilegedRun(PrivilegedRun run) { m_privilegedRun = std::move(run); }

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
    // Foldwise comes to the front to ask, on the window it would put a sheet on.
    QWidget *front = rqs::windowForSheetWithView(nullptr);
    if (front && QGuiApplication::applicationState() != Qt::ApplicationActive) {
        front->raise();
        front->activateWindow();
    }
    // The mover may be a temporary: the completion keeps its own copy.
    alert.beginSheetModalForWindow(qobject_cast<platform::Window *>(front), [mover = *this](const platform::Alert::Answer &answer) mutable {
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
        if (!QSBundleTree::isBundle(destination))
            return fail(notFoldwise(destination));
        if (QSProcessHandoff::isRunningFrom(destination)) {
            platform::logInfo(QStringLiteral("Switching to an already running version"));
            return m_relaunch(QSBundleTree::executableIn(destination)) ? Outcome::SwitchedToRunningCopy
                                                                        : fail(text(QStringLiteral("MoveFailedStart")));
        }
        if (!QSTrashPath(destination))
            return fail(text(QStringLiteral("MoveFailedTrash")).arg(destination));
    }
    QString error;
    if (!QSBundleTree::copy(m_bundlePath, destination, &error)) {
        platform::logError(QStringLiteral("Could not copy '%1' to '%2' (%3)").arg(m_bundlePath, destination, error));
        platform::logError(QStringLiteral("Could not copy myself to %1").arg(destination));
        return fail(text(QStringLiteral("MoveFailedCopy")).arg(error));
    }
    return finish(destination);
}

QSMoveApplication::Outcome QSMoveApplication::privilegedCopy(const QString &destination)
{
    // Checked here, as the user: what root then removes is an older Foldwise folder or nothing.
    if ((QFileInfo::exists(destination) || QFileInfo(destination).isSymLink()) && !QSBundleTree::isBundle(destination))
        return fail(notFoldwise(destination));
    QString error;
    const int status = m_privilegedRun(installCommand(m_bundlePath, destination), &error);
    if (status == DismissedAuthorization) {
        platform::logInfo(QStringLiteral("Not moving because user canceled authorization"));
        return Outcome::Cancelled;
    }
    if (status != 0) {
        platform::logError(QStringLiteral("Could not copy myself to %1 with authorization (status %2) %3").arg(destination).arg(status).arg(error));
        return fail(status < 0 ? error : text(QStringLiteral("MoveFailedCopy")).arg(QStringLiteral("status %1").arg(status)));
    }
    return finish(destination);
}

QSMoveApplication::Outcome QSMoveApplication::finish(const QString &destination)
{
    // The new copy is started first: should that fail, the running copy is still whole.
    if (!m_relaunch(QSBundleTree::executableIn(destination)))
        return fail(text(QStringLiteral("MoveFailedStart")));
    if (isOnReadOnlyOrRemovableMount(m_bundlePath))
        return Outcome::Moved;
    QString error;
    if (!QSBundleTree::remove(m_bundlePath, &error)) {
        platform::logWarning(QStringLiteral("Could not delete '%1': %2").arg(m_bundlePath, error));
        if (!QSTrashPath(m_bundlePath))
            platform::logWarning(QStringLiteral("Could not delete application after moving it to Applications folder"));
    }
    return Outcome::Moved;
}

QString QSMoveApplication::notFoldwise(const QString &destination)
{
    platform::logError(QStringLiteral("%1 is no Foldwise folder; it stays").arg(destination));
    return text(QStringLiteral("MoveFailedNotFoldwise")).arg(destination);
}

QSMoveApplication::Outcome QSMoveApplication::fail(const QString &reason)
{
    showFailedToMove(reason);
    return Outcome::Failed;
}

void QSMoveApplication::showFailedToMove(const QString &reason)
{
    platform::Alert alert;
    alert.setMessageText(text(QStringLiteral("FailedMoveToApplications")));
    alert.setAlertStyle(platform::Alert::Style::Critical);
    alert.setInformativeText(reason);
    alert.beginSheetModalForWindow(qobject_cast<platform::Window *>(rqs::windowForSheetWithView(nullptr)), platform::Alert::Completion());
}

QStringList QSMoveApplication::installCommand(const QString &bundle, const QString &destination)
{
    // The paths are arguments of the script, never part of it. cp copies links as links and
    // keeps modes, not owners.
    return {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
            QStringLiteral("/bin/rm -rf -- \"$1\" && /bin/cp -RP --preserve=mode,timestamps -- \"$2\" \"$1\""), QStringLiteral("sh"),
            destination, bundle};
}
