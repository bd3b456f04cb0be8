#include "platform/ui/NumberFieldStepper.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

#include <QDoubleSpinBox>
#include <QHash>
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
};

std::optional<Range> rangeOf(const QWidget *field)
{
    if (const auto *real = qobject_cast<const QDoubleSpinBox *>(field))
        return Range{real->minimum(), real->maximum(), real->decimals()};
    if (const auto *whole = qobject_cast<const QSpinBox *>(field))
        return Range{double(whole->minimum()), double(whole->maximum()), 0};
    return std::nullopt;
}

double unitOf(const QWidget *field)
{
    const double multiplier = field->property("multiplier").toDouble();
    if (multiplier != 0)
        return 1 / multiplier;
    if (const auto *real = qobject_cast<const QDoubleSpinBox *>(field))
        return real->singleStep();
    if (const auto *whole = qobject_cast<const QSpinBox *>(field))
        return whole->singleStep();
    return 1;
}

// In units; none for a command that is not about stepping.
std::optional<double> unitsFor(const QString &command)
{
    static const QHash<QString, double> steps = {
        {QStringLiteral("moveUp:"), 1},
        {QStringLiteral("moveDown:"), -1},
        {QStringLiteral("moveUpAndModifySelection:"), 10},
        {QStringLiteral("moveDownAndModifySelection:"), -10},
        {QStringLiteral("moveBackward:"), 0.1},
        {QStringLiteral("moveToBeginningOfParagraph:"), 0.1},
        {QStringLiteral("moveForward:"), -0.1},
        {QStringLiteral("moveToEndOfParagraph:"), -0.1},
    };
    const auto step = steps.constFind(command);
    return step == steps.cend() ? std::nullopt : std::optional<double>(*step);
}

} // namespace

QString NumberFieldStepper::commandForKey(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool up = key.key() == Qt::Key_Up;
    if (!up && key.key() != Qt::Key_Down)
        return {};
    if (modifiers == Qt::NoModifier)
        return up ? QStringLiteral("moveUp:") : QStringLiteral("moveDown:");
    if (modifiers == Qt::ShiftModifier)
        return up ? QStringLiteral("moveUpAndModifySelection:") : QStringLiteral("moveDownAndModifySelection:");
    if (modifiers == Qt::AltModifier)
        return up ? QStringLiteral("moveToBeginningOfParagraph:") : QStringLiteral("moveToEndOfParagraph:");
    return {};
}

bool NumberFieldStepper::doCommandBySelector(QWidget *field, const QString &command)
{
    const std::optional<double> units = unitsFor(command);
    const KeyValueBinding *binding = field ? KeyValue::binding(field, QStringLiteral("value")) : nullptr;
    if (!units || !binding || !binding->source())
        return false;
    QObject *model = binding->source();
    double next = KeyValue::valueForKey(model, binding->sourceKey()).toDouble() + *units * unitOf(field);
    if (const std::optional<Range> range = rangeOf(field)) {
        const double scale = std::pow(10.0, range->decimals);
        // Rounded to what the field shows, so that repeated tenth steps do not drift.
        next = std::clamp(std::round(next * scale) / scale, range->minimum, range->maximum);
    }
    if (!KeyValue::setValue(model, binding->sourceKey(), next))
        logWarning(QStringLiteral("Could not step \"%1\" of field \"%2\"").arg(binding->sourceKey(), field->objectName()));
    return true;
}

bool NumberFieldStepper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const QString command = commandForKey(*static_cast<QKeyEvent *>(event));
    return !command.isEmpty() && doCommandBySelector(static_cast<QWidget *>(watched), command);
}

} // namespace platform
