#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Offers, once at launch, to move a Foldwise folder that runs from elsewhere (a Downloads folder)
// into an Applications folder: the user's "~/Applications", or "/opt" for all users, with an
// administrator's consent through pkexec when it is not writable. On consent it copies the
// folder, removes the old one, starts the new copy once this process has ended and quits. A
// failure shows the failure alert and leaves the running copy as it is. A build tree or an
// installed prefix is never offered the move. GUI thread.
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
    // Copies the bundle over the destination with an administrator's rights; the exit status of
    // pkexec (126: the user dismissed the request).
    using PrivilegedInstall = std::function<int(const QString &bundle, const QString &destination)>;

    // bundlePath is the running Foldwise folder, empty when it runs from no such folder.
    QSMoveApplication(const QString &bundlePath, const Folders &folders);
    // This process's own folder and the user's folders; relaunching ends the application.
    static QSMoveApplication forThisProcess();

    void setRelaunch(Relaunch relaunch);
    void setPrivilegedInstall(PrivilegedInstall install);

    // Asks when the folder lies outside the Applications folders and the offer is not suppressed;
    // the answer is carried out when the alert ends.
    void moveToApplicationsFolderIfNecessary();
    bool needsOffer() const;
    Outcome moveApplicationChoice(int response);
    static void showFailedToMove();

    // The privileged side: replaces an old Foldwise folder at destination (never anything else)
    // by a copy of bundle; false, logged, when it may not or cannot.
    static bool installBundle(const QString &bundle, const QString &destination);

private:
    QString systemDestination() const;
    QString homeDestination() const;
    bool rightsNeeded() const;
    Outcome plainCopy(const QString &destination);
    Outcome privilegedCopy(const QString &destination);
    Outcome finish(const QString &destination);
    Outcome fail();

    QString m_bundlePath;
    Folders m_folders;
    Relaunch m_relaunch;
    PrivilegedInstall m_privilegedInstall;
};
