#include "platform/ui/PasswordPanel.h"

#include "platform/foundation/Bundle.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace platform {

namespace {

PasswordPanel::Responder &responder()
{
    static PasswordPanel::Responder shared;
    return shared;
}

QString localized(const QString &key, const QString &english) { return Bundle::mainBundle()->localizedStringForKey(key, english); }

} // namespace

std::optional<PasswordPanel::Credentials> PasswordPanel::ask(const QString &message, const QString &user)
{
    QDialog dialog;
    dialog.setWindowTitle(localized(QStringLiteral("AuthenticateTitle"), QStringLiteral("Authentication Required")));
    dialog.setWindowModality(Qt::ApplicationModal);
    auto *text = new QLabel(message);
    text->setWordWrap(true);
    auto *userField = new QLineEdit(user);
    userField->setObjectName(QStringLiteral("userField"));
    auto *passwordField = new QLineEdit;
    passwordField->setObjectName(QStringLiteral("passwordField"));
    passwordField->setEchoMode(QLineEdit::Password);
    auto *fields = new QFormLayout;
    fields->addRow(localized(QStringLiteral("AuthenticateUser"), QStringLiteral("Name:")), userField);
    fields->addRow(localized(QStringLiteral("AuthenticatePassword"), QStringLiteral("Password:")), passwordField);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    passwordField->setFocus();
    const int result = responder() ? responder()(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return std::nullopt;
    return Credentials{userField->text(), passwordField->text()};
}

void PasswordPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
