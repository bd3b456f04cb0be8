#pragma once

#include <QString>

#include <optional>
#include <sys/types.h>

// The user who printed a job, as the CUPS backend of the PDF Service takes them on: CUPS names
// them by login name and runs the backend as root (it is installed with mode 0700) so that it can
// become them and reach their session.
class VXPrintingUser
{
public:
    // Empty (logged) when the system has no user of that name.
    static std::optional<VXPrintingUser> named(const QString &name);

    QString name() const;
    uid_t uid() const;
    // Makes the process this user for good; false (logged) when it runs as another user and
    // cannot change.
    bool become() const;
    // Where the user's session keeps its sockets: the XDG_RUNTIME_DIR CUPS was given, else
    // /run/user/<uid>.
    QString runtimeFolder() const;

private:
    VXPrintingUser(const QString &name, uid_t uid, gid_t gid);

    QString m_name;
    uid_t m_uid;
    gid_t m_gid;
};
