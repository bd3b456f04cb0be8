#include "app/shell/VXUserSession.h"

#include "platform/foundation/Log.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>

namespace {

const QString Login = QStringLiteral("org.freedesktop.login1");
const QStringList SessionVariables{QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("XAUTHORITY")};

// One entry of logind's ListSessions.
struct SessionEntry
{
    QString id;
    uint uid = 0;
    QString user;
    QString seat;
    QDBusObjectPath path;
};

const QDBusArgument &operator>>(const QDBusArgument &argument, SessionEntry &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.uid >> entry.user >> entry.seat >> entry.path;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const SessionEntry &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.uid << entry.user << entry.seat << entry.path;
    argument.endStructure();
    return argument;
}

QVariantMap sessionProperties(const QDBusObjectPath &path)
{
    QDBusInterface properties(Login, path.path(), QStringLiteral("org.freedesktop.DBus.Properties"), QDBusConnection::systemBus());
    const QDBusReply<QVariantMap> reply = properties.call(QStringLiteral("GetAll"), QStringLiteral("org.freedesktop.login1.Session"));
    return reply.isValid() ? reply.value() : QVariantMap();
}

// What the session put into the user's service manager; empty when it cannot be reached.
QProcessEnvironment managerEnvironment(const QString &runtimeFolder)
{
    QProcessEnvironment variables;
    const QString bus = QDir(runtimeFolder).filePath(QStringLiteral("bus"));
    if (!QFileInfo::exists(bus))
        return variables;
    QDBusConnection connection = QDBusConnection::connectToBus(QStringLiteral("unix:path=") + bus, QStringLiteral("foldwise-user-manager"));
    QDBusInterface properties(QStringLiteral("org.freedesktop.systemd1"), QStringLiteral("/org/freedesktop/systemd1"),
                              QStringLiteral("org.freedesktop.DBus.Properties"), connection);
    const QDBusReply<QDBusVariant> reply
        = properties.call(QStringLiteral("Get"), QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("Environment"));
    if (reply.isValid()) {
        for (const QString &assignment : reply.value().variant().toStringList())
            variables.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("foldwise-user-manager"));
    return variables;
}

} // namespace

Q_DECLARE_METATYPE(SessionEntry)

std::optional<VXUserSession> VXUserSession::graphicalSessionOf(uid_t uid, const QString &runtimeFolder)
{
    qDBusRegisterMetaType<SessionEntry>();
    qDBusRegisterMetaType<QList<SessionEntry>>();
    QDBusInterface manager(Login, QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                           QDBusConnection::systemBus());
    const QDBusReply<QList<SessionEntry>> sessions = manager.call(QStringLiteral("ListSessions"));
    if (!sessions.isValid()) {
        platform::logInfo(QStringLiteral("Found no session of user %1, because logind could not be asked: %2").arg(uid).arg(sessions.error().message()));
        return std::nullopt;
    }
    std::optional<VXUserSession> found;
    for (const SessionEntry &entry : sessions.value()) {
        if (entry.uid != uid)
            continue;
        const QVariantMap properties = sessionProperties(entry.path);
        const QString type = properties.value(QStringLiteral("Type")).toString();
        if ((type != QLatin1String("x11") && type != QLatin1String("wayland")) || properties.value(QStringLiteral("Remote")).toBool())
            continue;
        VXUserSession session;
        session.m_id = entry.id;
        const QProcessEnvironment manager = managerEnvironment(runtimeFolder);
        for (const QString &name : SessionVariables) {
            if (manager.contains(name))
                session.m_variables.insert(name, manager.value(name));
        }
        const QString display = properties.value(QStringLiteral("Display")).toString();
        if (!session.m_variables.contains(QStringLiteral("DISPLAY")) && !display.isEmpty())
            session.m_variables.insert(QStringLiteral("DISPLAY"), display);
        if (type == QLatin1String("wayland") && !session.m_variables.contains(QStringLiteral("WAYLAND_DISPLAY"))
            && QFileInfo::exists(QDir(runtimeFolder).filePath(QStringLiteral("wayland-0"))))
            session.m_variables.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        if (!session.m_variables.contains(QStringLiteral("DISPLAY")) && !session.m_variables.contains(QStringLiteral("WAYLAND_DISPLAY")))
            continue;
        const bool active = properties.value(QStringLiteral("Active")).toBool();
        if (!found || active)
            found = session;
        if (active)
            break;
    }
    if (!found)
        platform::logInfo(QStringLiteral("Found no graphical session of user %1").arg(uid));
    return found;
}

QString VXUserSession::id() const { return m_id; }

QProcessEnvironment VXUserSession::environment(QProcessEnvironment base) const
{
    base.insert(m_variables);
    return base;
}
