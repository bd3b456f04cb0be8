#include "platform/ui/Alert.h"

#include "platform/foundation/Bundle.h"
#include "platform/ui/DialogPresenter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <memory>

namespace platform {

namespace {

Alert::Responder &responder()
{
    static Alert::Responder shared;
    return shared;
}

const char *const ReturnCodeProperty = "alertReturnCode";

bool isCancelTitle(const QString &title)
{
    return title == QLatin1String("Cancel") || title == Bundle::mainBundle()->localizedStringForKey(QStringLiteral("Cancel"), QString());
}

QMessageBox::Icon iconOf(Alert::Style style)
{
    switch (style) {
    case Alert::Style::Informational:
        return QMessageBox::Information;
    case Alert::Style::Critical:
        return QMessageBox::Critical;
    case Alert::Style::Warning:
        break;
    }
    return QMessageBox::Warning;
}

QPushButton *addButton(QMessageBox &box, const QString &title, Alert::ButtonRole role)
{
    static const QMap<Alert::ButtonRole, QMessageBox::StandardButton> standard{
        {Alert::ButtonRole::Save, QMessageBox::Save},
        {Alert::ButtonRole::Discard, QMessageBox::Discard},
        {Alert::ButtonRole::Cancel, QMessageBox::Cancel},
    };
    if (!standard.contains(role)) {
        // One role for all plain buttons keeps them in the order they were added.
        QPushButton *button = box.addButton(title, QMessageBox::ActionRole);
        if (isCancelTitle(title))
            box.setEscapeButton(button);
        return button;
    }
    QPushButton *button = box.addButton(standard[role]);
    button->setText(title);
    if (role == Alert::ButtonRole::Cancel)
        box.setEscapeButton(button);
    return button;
}

// A message box ignores Escape and the close button while it has no button to answer them with;
// this one then rejects, which answers no button.
class DismissibleMessageBox : public QMessageBox
{
protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!escapeButton() && event->matches(QKeySequence::Cancel))
            reject();
        else
            QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (escapeButton())
            QMessageBox::closeEvent(event);
        else
            QDialog::closeEvent(event);
    }
};

// The message box has no place for an accessory: the pop-up goes into the row of its buttons,
// which move one row down.
void addAccessory(QMessageBox &box, QWidget *accessory)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    auto *buttons = box.findChild<QDialogButtonBox *>();
    const int index = grid && buttons ? grid->indexOf(buttons) : -1;
    if (index < 0) {
        box.layout()->addWidget(accessory);
        return;
    }
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(buttons);
    grid->addWidget(accessory, row, grid->columnCount() - 1, Qt::AlignLeft);
    grid->addWidget(buttons, row + 1, column, rowSpan, columnSpan);
}

// A message box is otherwise as narrow as the longest word of its explanation, which then runs
// down in a thin column: the explanation takes the width of a comfortable line, or its own when
// shorter.
void widenForExplanation(QMessageBox &box)
{
    auto *explanation = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
    if (!explanation)
        return;
    const QFontMetrics metrics(explanation->font());
    constexpr int comfortableCharacters = 60;
    int widest = 0;
    for (const QString &line : explanation->text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    explanation->setMinimumWidth(std::min(widest, metrics.averageCharWidth() * comfortableCharacters));
}

} // namespace

QString Alert::messageText() const { return m_messageText; }

void Alert::setMessageText(const QString &text) { m_messageText = text; }

QString Alert::informativeText() const { return m_informativeText; }

void Alert::setInformativeText(const QString &text) { m_informativeText = text; }

Alert::Style Alert::alertStyle() const { return m_style; }

void Alert::setAlertStyle(Style style) { m_style = style; }

void Alert::addButtonWithTitle(const QString &title, ButtonRole role)
{
    m_buttonTitles.append(title);
    m_buttonRoles.append(role);
}

QStringList Alert::buttonTitles() const { return m_buttonTitles; }

int Alert::defaultButtonReturn() const { return m_defaultButtonReturn; }

void Alert::setDefaultButtonReturn(int returnCode) { m_defaultButtonReturn = returnCode; }

bool Alert::isDismissible() const { return m_dismissible; }

void Alert::setDismissible(bool dismissible) { m_dismissible = dismissible; }

bool Alert::showsSuppressionButton() const { return m_showsSuppressionButton; }

void Alert::setShowsSuppressionButton(bool shows) { m_showsSuppressionButton = shows; }

bool Alert::suppressionButtonTicked() const { return m_suppressionButtonTicked; }

void Alert::setSuppressionButtonTicked(bool ticked) { m_suppressionButtonTicked = ticked; }

QStringList Alert::choices() const { return m_choices; }

void Alert::setChoices(const QStringList &choices) { m_choices = choices; }

QString Alert::selectedChoice() const
{
    return m_choices.contains(m_selectedChoice) ? m_selectedChoice : m_choices.value(0);
}

void Alert::setSelectedChoice(const QString &choice) { m_selectedChoice = choice; }

void Alert::beginSheetModalForWindow(Window *window, Completion completion) const
{
    beginSheetModalForWindow(window, AnswerCompletion([completion](const Answer &answer) {
                                 if (completion)
                                     completion(answer.returnCode);
                             }));
}

void Alert::beginSheetModalForWindow(Window *window, AnswerCompletion completion) const
{
    auto *box = m_dismissible ? new DismissibleMessageBox : new QMessageBox;
    box->setIcon(iconOf(m_style));
    box->setText(m_messageText);
    box->setInformativeText(m_informativeText);
    widenForExplanation(*box);
    for (qsizetype i = 0; i < m_buttonTitles.size(); ++i) {
        QPushButton *button = addButton(*box, m_buttonTitles[i], m_buttonRoles[i]);
        if (FirstButtonReturn + int(i) == m_defaultButtonReturn)
            box->setDefaultButton(button);
        QObject::connect(button, &QPushButton::clicked, box,
                         [box, i] { box->setProperty(ReturnCodeProperty, FirstButtonReturn + int(i)); });
        if (m_buttonTitles.size() == 1)
            box->setEscapeButton(button);
    }
    if (m_showsSuppressionButton) {
        auto *checkBox = new QCheckBox(Bundle::mainBundle()->localizedStringForKey(
            QStringLiteral("Do not show this message again"), QString()));
        checkBox->setChecked(m_suppressionButtonTicked);
        box->setCheckBox(checkBox);
    }
    if (!m_choices.isEmpty()) {
        auto *popUp = new QComboBox;
        popUp->addItems(m_choices);
        popUp->setCurrentText(selectedChoice());
        // Printer names run long; none is cut, and the chosen one is also the tip.
        popUp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        popUp->setMinimumWidth(popUp->sizeHint().width());
        popUp->setToolTip(popUp->currentText());
        QObject::connect(popUp, &QComboBox::currentTextChanged, popUp, &QComboBox::setToolTip);
        addAccessory(*box, popUp);
    }

    // The responder answers on a copy of the alert, as the user would on the box.
    std::shared_ptr<Alert> answered;
    DialogPresenter::Responder answer;
    if (const Responder &stand = responder()) {
        answered = std::make_shared<Alert>(*this);
        answer = [stand, answered](QDialog &) { return stand(*answered); };
    }
    DialogPresenter::present(box, window, answer, [completion, answered](QDialog *dialog, int result) {
        if (!completion)
            return;
        Answer given;
        if (answered) {
            given = {result, answered->suppressionButtonTicked(), answered->selectedChoice()};
        } else if (auto *shown = qobject_cast<QMessageBox *>(dialog)) {
            given.returnCode = shown->property(ReturnCodeProperty).toInt();
            given.suppressionButtonTicked = shown->checkBox() && shown->checkBox()->isChecked();
            if (auto *popUp = shown->findChild<QComboBox *>())
                given.selectedChoice = popUp->currentText();
        }
        completion(given);
    });
}

void Alert::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
