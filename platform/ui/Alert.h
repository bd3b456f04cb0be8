#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

class Window;

// A message with an explanation and buttons that answer codes in the order they were added: the
// first 1000, the second 1001, and so on. It may carry a check box below the text ("do not show
// again", or "remember") and a pop-up of choices. Shown as a sheet on a window, or
// application-modal when there is none; the completion runs on a later turn of the main queue.
// GUI thread.
class Alert
{
public:
    static constexpr int FirstButtonReturn = 1000;
    // The answer of an alert left without a button: dismissed, or gone with its window.
    static constexpr int DismissedReturn = 0;

    // Plain buttons stand in the order they were added; the others where the desktop puts its
    // Save, Don't Save and Cancel, with Escape answering Cancel. Codes follow the order added.
    enum class ButtonRole { Plain, Save, Discard, Cancel };
    // The icon: a warning by default; information for what is only told, critical for a failure.
    enum class Style { Warning, Informational, Critical };

    // How the user left the alert.
    struct Answer
    {
        int returnCode = 0;
        bool suppressionButtonTicked = false;
        QString selectedChoice;
    };

    using Completion = std::function<void(int returnCode)>;
    using AnswerCompletion = std::function<void(const Answer &answer)>;
    // Stands in for the user: while one is set, alerts are not shown and the responder's code is
    // the answer. It may tick the check box and pick a choice on the alert it is given, as the
    // user would. Tests and tools that run without anyone at the screen set it.
    using Responder = std::function<int(Alert &alert)>;

    QString messageText() const;
    void setMessageText(const QString &text);
    QString informativeText() const;
    void setInformativeText(const QString &text);
    Style alertStyle() const;
    void setAlertStyle(Style style);
    // The first button is the default button, which Return answers. Escape answers the Cancel
    // button (a plain button titled "Cancel" counts as one), or the only button.
    void addButtonWithTitle(const QString &title, ButtonRole role = ButtonRole::Plain);
    QStringList buttonTitles() const;
    // The button that Return answers, by its code; the first button when not set.
    int defaultButtonReturn() const;
    void setDefaultButtonReturn(int returnCode);
    // An alert without a Cancel button ignores Escape and its window's close button, so that one
    // of its buttons must be chosen; a dismissible one is left by them with DismissedReturn.
    bool isDismissible() const;
    void setDismissible(bool dismissible);

    bool showsSuppressionButton() const;
    void setShowsSuppressionButton(bool shows);
    bool suppressionButtonTicked() const;
    void setSuppressionButtonTicked(bool ticked);
    // A pop-up of these when not empty, showing the selected one (the first when it is none).
    QStringList choices() const;
    void setChoices(const QStringList &choices);
    QString selectedChoice() const;
    void setSelectedChoice(const QString &choice);

    // A null window shows the alert application-modal.
    void beginSheetModalForWindow(Window *window, Completion completion) const;
    void beginSheetModalForWindow(Window *window, AnswerCompletion completion) const;

    static void setResponder(Responder responder);

private:
    QString m_messageText;
    QString m_informativeText;
    Style m_style = Style::Warning;
    QStringList m_buttonTitles;
    QList<ButtonRole> m_buttonRoles;
    int m_defaultButtonReturn = FirstButtonReturn;
    bool m_dismissible = false;
    bool m_showsSuppressionButton = false;
    bool m_suppressionButtonTicked = false;
    QStringList m_choices;
    QString m_selectedChoice;
};

} // namespace platform
