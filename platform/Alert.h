#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

class Window;

// A message with an explanation and buttons that answer codes in the order they were added: the
// first 1000, the second 1001, and so on. Shown as a sheet on a window, or application-modal when
// there is none; the completion runs on a later turn of the main queue. GUI thread.
class Alert
{
public:
    static constexpr int FirstButtonReturn = 1000;

    using Completion = std::function<void(int returnCode)>;
    // Stands in for the user: while one is set, alerts are not shown and the responder's code is
    // the answer. Tests and tools that run without anyone at the screen set it.
    using Responder = std::function<int(const Alert &alert)>;

    QString messageText() const;
    void setMessageText(const QString &text);
    QString informativeText() const;
    void setInformativeText(const QString &text);
    // The first button is the default button.
    void addButtonWithTitle(const QString &title);
    QStringList buttonTitles() const;

    // A null window shows the alert application-modal.
    void beginSheetModalForWindow(Window *window, Completion completion) const;

    static void setResponder(Responder responder);

private:
    QString m_messageText;
    QString m_informativeText;
    QStringList m_buttonTitles;
};

} // namespace platform
