#pragma once

#include <QObject>

class QAbstractSpinBox;

namespace platform {

// Steps the number a field (spin box) is bound to ("bind:value") with the arrow keys: Up and Down
// by the field's single step, with Shift by ten steps, with Alt by a tenth of a step. The result is
// kept in the field's range and rounded to its decimals before it goes to the model. A field
// without a binding is left to its own key handling. GUI thread.
class NumberFieldStepper : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Writes the bound value plus step to the model; false, the key passed on, without a binding.
    static bool stepField(QAbstractSpinBox *field, double step);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace platform
