#include "platform/Alert.h"

#include "platform/DialogPresenter.h"

#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

Alert::Responder &responder()
{
    static Alert::Responder shared;
    return shared;
}

const char *const ReturnCodeProperty = "alertReturnCode";

} // namespace

QString Alert::messageText() const { return m_messageText; }

void Alert::setMessageText(const QString &text) { m_messageText = text; }

QString Alert::informativeText() const { return m_informativeText; }

void Alert::setInformativeText(const QString &text) { m_informativeText = text; }

void Alert::addButtonWithTitle(const QString &title) { m_buttonTitles.append(title); }

QStringList Alert::buttonTitles() const { return m_buttonTitles; }

void Alert::beginSheetModalForWindow(Window *window, Completion completion) const
{
    auto *box = new QMessageBox;
    box->setIcon(QMessageBox::Warning);
    box->setText(m_messageText);
    box->setInformativeText(m_informativeText);
    for (qsizetype i = 0; i < m_buttonTitles.size(); ++i) {
        // One role for all keeps the buttons in the order they were added.
        QPushButton *button = box->addButton(m_buttonTitles[i], QMessageBox::ActionRole);
        if (i == 0)
            box->setDefaultButton(button);
        QObject::connect(button, &QPushButton::clicked, box,
                         [box, i] { box->setProperty(ReturnCodeProperty, FirstButtonReturn + int(i)); });
    }
    DialogPresenter::Responder answer;
    if (const Responder &stand = responder()) {
        const Alert alert = *this;
        answer = [stand, alert](QDialog &) { return stand(alert); };
    }
    const bool answered = bool(answer);
    DialogPresenter::present(box, window, answer, [completion, answered](QDialog *dialog, int result) {
        if (!completion)
            return;
        if (answered)
            completion(result);
        else
            completion(dialog ? dialog->property(ReturnCodeProperty).toInt() : 0);
    });
}

void Alert::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
