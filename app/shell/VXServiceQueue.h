#pragma once

#include "platform/ui/PasswordPanel.h"

#include <QString>

#include <cups/ipp.h>

#include <functional>
#include <optional>

// The CUPS print queue that stands for the PDF Service: a raw queue whose device is the
// "foldwise" backend, which hands each job's PDF to the printing user's Foldwise. Its device URI
// names the Foldwise executable to start when none runs, and tells the queue apart from a
// foreign one of the same name. Talks to the CUPS server that libcups is pointed at.
class VXServiceQueue
{
public:
    static inline const QString Scheme = QStringLiteral("foldwise");
    // The operation policy of CUPS's stock configuration under which the server vouches for the
    // user a job names: over its local socket by the client's own credentials, else by password.
    static inline const QString AuthenticatedPolicy = QStringLiteral("authenticated");

    // Current: ours as add() makes it, for this executable under AuthenticatedPolicy; Ours: ours,
    // but for another executable or policy.
    enum class State { Missing, Current, Ours, Foreign, Unknown };

    // What the server said to a change.
    struct Result
    {
        bool ok = false;
        // The user may not administer printers; an administrator has to do it.
        bool forbidden = false;
        // The server cannot do it, as when it has no backend for the device URI's scheme.
        bool notPossible = false;
        QString reason;
    };

    // Asked, with the server's prompt, when a change needs the right to administer printers and
    // the user's own credentials do not carry it; none cancels the change.
    using CredentialsSource = std::function<std::optional<platform::PasswordPanel::Credentials>(const QString &prompt)>;

    VXServiceQueue(const QString &name, const QString &foldwisePath);
    // Without a source a change that needs another user's right fails as forbidden.
    void setCredentialsSource(CredentialsSource source);

    QString name() const;
    // "foldwise:" and the executable's path.
    QString deviceURI() const;
    // Unknown when the server cannot be asked; the reason goes to error.
    State state(QString *error = nullptr) const;
    // Adds the queue, accepting jobs, shared with no other machine, under AuthenticatedPolicy.
    Result add() const;
    // The queue's operation policy; empty (the reason in error) when the server cannot tell.
    QString operationPolicy(QString *error) const;
    Result remove() const;
    // The lpadmin line that adds the queue, for a user without the rights to do it.
    QString administratorCommand() const;

private:
    Result send(ipp_t *request) const;

    QString m_name;
    QString m_foldwisePath;
    CredentialsSource m_credentials;
};
