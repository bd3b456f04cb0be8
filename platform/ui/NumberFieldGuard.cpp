#include "platform/ui/NumberFieldGuard.h"

#include "platform/foundation/KeyValue.h"
#include "platform/ui/NumberFieldStepper.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QWheelEvent>

namespace platform {

namespace {

bool isEditingKey(const QKeyEvent &key)
{
    for (const auto editing : {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Copy,
                               QKeySequence::Paste, QKeySequence::SelectAll}) {
        if (key.matches(editing))
            return true;
    }
    return false;
}

} // namespace

void NumberFieldGuard::guardFields(QWidget *root)
{
    auto *guard = new NumberFieldGuard(root);
    auto *stepper = new NumberFieldStepper(root);
    QList<QWidget *> fields;
    for (QAbstractSpinBox *field : root->findChildren<QAbstractSpinBox *>()) {
        fields << field;
        field->installEventFilter(stepper);
    }
    // A number field of another kind steps as well when it is bound to a number.
    for (QWidget *field : root->findChildren<QWidget *>()) {
        if (!qobject_cast<QAbstractSpinBox *>(field) && KeyValue::binding(field, QStringLiteral("value")))
            field->installEventFilter(stepper);
    }
    for (QComboBox *field : root->findChildren<QComboBox *>())
        fields << field;
    for (QWidget *field : fields) {
        // Not Qt::WheelFocus: a wheel passing over the field must not give it the keyboard.
        field->setFocusPolicy(Qt::StrongFocus);
        field->installEventFilter(guard);
    }
}

bool NumberFieldGuard::eventFilter(QObject *watched, QEvent *event)
{
    const auto *field = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::Wheel && !field->hasFocus()) {
        // Ignored, it goes on to the widgets that hold the field, the scroll area among them.
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // The field's line claims some Ctrl keys for moving its cursor (Ctrl+E goes to the end).
        if ((key->modifiers() & Qt::ControlModifier) && !isEditingKey(*key)) {
            event->ignore();
            return true;
        }
    }
    return false;
}

} // namespace platform
