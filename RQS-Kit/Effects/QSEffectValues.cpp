#include "RQS-Kit/Effects/QSEffectValues.h"

#include "RQS-Kit/Foundation/GradientExtension.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Numbers.h"

#include <QTransform>

namespace rqs::effectValues {

using platform::fx::Color;
using platform::fx::InputAttribute;
using platform::fx::Vector;

namespace {

std::optional<QVariant> converted(InputAttribute::Kind kind, const QVariant &value)
{
    const QMetaType type = value.metaType();
    switch (kind) {
    case InputAttribute::Kind::Number:
    case InputAttribute::Kind::Boolean:
        if (const auto n = number(value))
            return kind == InputAttribute::Kind::Boolean ? QVariant(*n != 0) : QVariant(*n);
        return std::nullopt;
    case InputAttribute::Kind::Rectangle:
        if (type == QMetaType::fromType<QRectF>())
            return value;
        if (const auto n = number(value))
            return QVariant(*n);
        return std::nullopt;
    case InputAttribute::Kind::Color:
        if (type == QMetaType::fromType<Color>())
            return value;
        if (type == QMetaType::fromType<QString>()) {
            if (const auto color = Color::fromText(value.toString()))
                return QVariant::fromValue(*color);
        }
        return std::nullopt;
    case InputAttribute::Kind::Gradient:
        if (type == QMetaType::fromType<platform::Gradient>())
            return value;
        if (type == QMetaType::fromType<QString>()) {
            const platform::Gradient gradient = gradientWithString(value.toString());
            if (gradient.numberOfColorStops() > 0)
                return QVariant::fromValue(gradient);
        }
        return std::nullopt;
    case InputAttribute::Kind::String:
        if (type == QMetaType::fromType<QString>())
            return value;
        return std::nullopt;
    case InputAttribute::Kind::Vector: {
        if (type == QMetaType::fromType<Vector>())
            return value;
        const QVariantList list = type == QMetaType::fromType<QVariantList>() ? value.toList() : QVariantList();
        if (list.size() < 2 || list.size() > 4)
            return std::nullopt;
        Vector vector;
        vector.count = int(list.size());
        for (int i = 0; i < vector.count; ++i) {
            const auto n = number(list[i]);
            if (!n)
                return std::nullopt;
            vector.values[std::size_t(i)] = *n;
        }
        return QVariant::fromValue(vector);
    }
    case InputAttribute::Kind::Transform:
        if (type == QMetaType::fromType<QTransform>())
            return value;
        return std::nullopt;
    case InputAttribute::Kind::Image:
        // Pictures reach an effect through its chain, never through stored settings.
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<double> number(const QVariant &value)
{
    return platform::fx::isNumeric(value) ? std::optional<double>(value.toDouble()) : std::nullopt;
}

Range controlRange(const QVariantMap &entry, const QVariantMap &inputAttributes)
{
    const auto first = [&](const std::initializer_list<const char *> keys) -> std::optional<double> {
        for (const QVariantMap *dictionary : {&entry, &inputAttributes}) {
            for (const char *key : keys) {
                if (const auto end = number(dictionary->value(QLatin1String(key))))
                    return end;
            }
        }
        return std::nullopt;
    };
    return {first({"minValue", "CIAttributeSliderMin", "CIAttributeMin"}),
            first({"maxValue", "CIAttributeSliderMax", "CIAttributeMax"})};
}

std::optional<QVariant> forInput(const InputAttribute &input, const QVariant &value)
{
    const auto what = [&] { return QStringLiteral("The setting %1").arg(input.key); };
    // A number is checked as it is read, before it becomes a boolean; the numbers of vectors and
    // colours, which come as lists and texts, once they are read.
    const std::optional<QVariant> given = platform::fx::Numbers::checked(value, what);
    if (!given)
        return given;
    const std::optional<QVariant> result = converted(input.kind, *given);
    if (!result) {
        platform::logWarning(QStringLiteral("The setting %1 cannot take a value of type %2; it is ignored")
                                 .arg(input.key, QString::fromLatin1(value.typeName())));
        return result;
    }
    return platform::fx::Numbers::checked(*result, what);
}

QVariant storable(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<Color>())
        return value.value<Color>().text();
    if (value.metaType() == QMetaType::fromType<platform::Gradient>())
        return stringRepresentation(value.value<platform::Gradient>());
    return value;
}

} // namespace rqs::effectValues
