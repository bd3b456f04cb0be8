#pragma once

#include <QString>

#include <functional>
#include <optional>

class QDialog;

namespace platform {

// Asks for a user's name and password at once, for a request that waits on the answer (a server
// asking the application to authenticate). Application-modal; GUI thread.
class PasswordPanel
{
public:
    struct Credentials
    {
        QString user;
        QString password;
    };
    // Stands in for the user: while one is set, the panel is not shown; the responder fills the
    // fields "userField" and "passwordField" as the user would and returns QDialog::Accepted or
    // QDialog::Rejected.
    using Responder = std::function<int(QDialog &dialog)>;

    // None when the user cancels. The name field starts with user.
    static std::optional<Credentials> ask(const QString &message, const QString &user);
    static void setResponder(Responder responder);
};

} // namespace platform
