#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Offers, once at launch, to move a Foldwise folder that runs from elsewhere (a Downloads folder)
// into an Applications folder: the user's "~/Applications", or "/opt" for all users, with an
// administrator's consent through pkexec when it is not writable. On consent it copies the
// folder (an older copy goes to the trash), removes the old one unless it runs from a read-only
// or removable mount (an AppImage's, a USB stick), starts the new copy once this process has
// ended and quits. A failure shows the failure alert with its reason and leaves the
// running copy as it is. A build tree or an installed prefix is never offered the move. GUI thread.
class QSMoveApplication
{
public:
    static inline const QString SuppressKey = QStringLiteral("moveToApplicationsFolderAlertSuppress");

    enum ButtonReturn { MoveToSystem = 1000, MoveToHome = 1001, DoNotMove = 1002 };
    enum class Outcome { Stayed, Moved, SwitchedToRunningCopy, Cancelled, Failed };

    struct Folders
    {
        QString userApplications;
        QString systemApplications;
        QString downloads;
        // Installed prefixes ("/usr", "/usr/local"): Foldwise there is installed, not downloaded.
        QStringList installPrefixes;

        static Folders standard();
    };

    // Starts the executable when this process has ended, then ends this process.
    using Relaunch = std::function<bool(const QString &executable)>;
    // Runs a command of programs the system owns as the administrator: its exit status (126: the
    // user dismissed the request), or -1 with *error when it could not be run at all.
    using PrivilegedRun = std::function<int(const QStringList &command, QString *error)>;

    // bundlePath is the running Foldwise folder, empty when it runs from no such folder.
    QSMoveApplication(const QString &bundlePath, const Folders &folders);
    // This process's own folder and the user's folders; relaunching ends the application.
    static QSMoveApplication forThisProcess();

    void setRelaunch(Relaunch relaunch);
    void setPrivilegedRun(PrivilegedRun run);

    // Asks when the folder lies outside the Applications folders and the offer is not suppressed,
    // Foldwise brought to the front first; the answer is carried out when the alert ends.
    void moveToApplicationsFolderIfNecessary();
    bool needsOffer() const;
    Outcome moveApplicationChoice(int response);
    static void showFailedToMove(const QString &reason = QString());

    // What the administrator runs: replaces destination by a copy of bundle with the system's own
    // shell, rm and cp, so that nothing the user can write runs as root. The copy belongs to root.
    static QStringList installCommand(const QString &bundle, const QString &destination);

private:
    QString systemDestination() const;
    QString homeDestination() const;
    bool rightsNeeded() const;
    Outcome plainCopy(const QString &destination);
    Outcome privilegedCopy(const QString &destination);
    Outcome finish(const QString &destination);
    static QString notFoldwise(const QString &destination);
    Outcome fail(const QString &reason);

    QString m_bundlePath;
    Folders m_folders;
    Relaunch m_relaunch;
    PrivilegedRun m_privilegedRun;
};

// Moves the file or folder into the desktop's trash. False, with an "Error: " line naming it, when
// it could not.
bool QSTrashPath(const QString &path);
