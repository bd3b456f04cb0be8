#include "platform/ui/NumberFieldStepper.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <optional>

namespace platform {

namespace {

struct Range
{
    double minimum;
    double maximum;
    int decimals;
    double unit;
};

std::optional<Range> rangeOf(const QAbstractSpinBox *field)
{
    if (const auto *real = qobject_cast<const QDoubleSpinBox *>(field))
        return Range{real->minimum(), real->maximum(), real->decimals(), real->singleStep()};
    if (const auto *whole = qobject_cast<const QSpinBox *>(field))
        return Range{double(whole->minimum()), double(whole->maximum()), 0, double(whole->singleStep())};
    return std::nullopt;
}

// In units of the field's single step; none for keys that belong to the field.
std::optional<double> stepsFor(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    double direction = 0;
    if (key.key() == Qt::Key_Up)
        direction = 1;
    else if (key.key() == Qt::Key_Down)
        direction = -1;
    else
        return std::nullopt;
    if (modifiers == Qt::NoModifier)
        return direction;
    if (modifiers == Qt::ShiftModifier)
        return direction * 10;
    if (modifiers == Qt::AltModifier)
        return direction * 0.1;
    return std::nullopt;
}

} // namespace

bool NumberFieldStepper::stepField(QAbstractSpinBox *field, double step)
{
    const KeyValueBinding *binding = KeyValue::binding(field, QStringLiteral("value"));
    const std::optional<Range> range = rangeOf(field);
    if (!binding || !binding->source() || !range)
        return false;
    QObject *model = binding->source();
    const double current = KeyValue::valueForKey(model, binding->sourceKey()).toDouble();
    const double scale = std::pow(10.0, range->decimals);
    // Rounded to what the field shows, so that repeated tenth steps do not drift.
    const double next = std::clamp(std::round((current + step) * scale) / scale, range->minimum, range->maximum);
    if (!KeyValue::setValue(model, binding->sourceKey(), next)) {
        logWarning(QStringLiteral("Could not step \"%1\" of field \"%2\"").arg(binding->sourceKey(), field->objectName()));
        return false;
    }
    return true;
}

bool NumberFieldStepper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *field = qobject_cast<QAbstractSpinBox *>(watched);
    const std::optional<double> steps = stepsFor(*static_cast<QKeyEvent *>(event));
    const std::optional<Range> range = field ? rangeOf(field) : std::nullopt;
    return steps && range && stepField(field, *steps * range->unit);
}

} // namespace platform
