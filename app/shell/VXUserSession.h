#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <optional>
#include <sys/types.h>

// A graphical session of a user on this machine, as logind knows it: where a program started for
// that user shows its windows. The display variables come from the user's service manager, into
// which desktop sessions put them, else from logind's own record of the session.
class VXUserSession
{
public:
    // The user's local X11 or Wayland session, the active one first; none (logged) when logind
    // knows no such session or cannot be asked.
    static std::optional<VXUserSession> graphicalSessionOf(uid_t uid, const QString &runtimeFolder);

    QString id() const;
    // base with the session's DISPLAY or WAYLAND_DISPLAY, and XAUTHORITY where it has one.
    QProcessEnvironment environment(QProcessEnvironment base) const;

private:
    VXUserSession() = default;

    QString m_id;
    QProcessEnvironment m_variables;
};
