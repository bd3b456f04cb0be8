#include "platform/ui/PasswordPanel.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

using platform::PasswordPanel;

namespace {

// The panel as the user fills it: the name given, the password hidden, Cancel giving nothing.
TEST(PasswordPanelTest, GivesTheNameAndPasswordTypedOrNothingWhenCancelled)
{
    for (const int result : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
        QString message;
        QString startName;
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        PasswordPanel::setResponder([&](QDialog &dialog) {
            message = dialog.findChild<QLabel *>()->text();
            auto *user = dialog.findChild<QLineEdit *>("userField");
            auto *password = dialog.findChild<QLineEdit *>("passwordField");
            startName = user->text();
            echo = password->echoMode();
            user->setText("admin");
            password->setText("s3cret");
            return result;
        });
        const std::optional<PasswordPanel::Credentials> given = PasswordPanel::ask("Adding needs the right.", "alice");
        PasswordPanel::setResponder(nullptr);
        EXPECT_EQ(message, "Adding needs the right.");
        EXPECT_EQ(startName, "alice");
        EXPECT_EQ(echo, QLineEdit::Password);
        ASSERT_EQ(given.has_value(), result == QDialog::Accepted);
        if (given) {
            EXPECT_EQ(given->user, "admin");
            EXPECT_EQ(given->password, "s3cret");
        }
    }
}

} // namespace
