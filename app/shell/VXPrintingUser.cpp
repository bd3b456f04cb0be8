#include "app/shell/VXPrintingUser.h"

#include "platform/foundation/Log.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

std::optional<VXPrintingUser> VXPrintingUser::named(const QString &name)
{
    const passwd *entry = name.isEmpty() ? nullptr : ::getpwnam(name.toUtf8().constData());
    if (!entry) {
        platform::logError(QStringLiteral("Could not find the user \"%1\" who printed the job").arg(name));
        return std::nullopt;
    }
    return VXPrintingUser(name, entry->pw_uid, entry->pw_gid);
}

VXPrintingUser::VXPrintingUser(const QString &name, uid_t uid, gid_t gid)
    : m_name(name)
    , m_uid(uid)
    , m_gid(gid)
{
}

QString VXPrintingUser::name() const { return m_name; }

uid_t VXPrintingUser::uid() const { return m_uid; }

bool VXPrintingUser::become() const
{
    if (::getuid() == m_uid && ::geteuid() == m_uid)
        return true;
    if (::geteuid() != 0) {
        platform::logError(QStringLiteral("Could not act for %1, because the backend runs as user %2; installed with mode 0700 CUPS runs it as root")
                               .arg(m_name)
                               .arg(::geteuid()));
        return false;
    }
    if (::initgroups(m_name.toUtf8().constData(), m_gid) != 0 || ::setgid(m_gid) != 0 || ::setuid(m_uid) != 0) {
        platform::logError(QStringLiteral("Could not act for %1, because %2").arg(m_name, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    return true;
}

QString VXPrintingUser::runtimeFolder() const
{
    const QString given = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return given.isEmpty() ? QStringLiteral("/run/user/%1").arg(m_uid) : given;
}
