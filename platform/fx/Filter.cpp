#include "platform/fx/Filter.h"

#include "platform/foundation/Log.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/Numbers.h"

#include <functional>

namespace platform::fx {

namespace {

QString className(InputAttribute::Kind kind)
{
    switch (kind) {
    case InputAttribute::Kind::Image: return QStringLiteral("CIImage");
    case InputAttribute::Kind::Number: return QStringLiteral("NSNumber");
    case InputAttribute::Kind::Boolean: return QStringLiteral("NSNumber");
    case InputAttribute::Kind::Vector: return QStringLiteral("CIVector");
    case InputAttribute::Kind::Color: return QStringLiteral("CIColor");
    case InputAttribute::Kind::Transform: return QStringLiteral("NSAffineTransform");
    case InputAttribute::Kind::String: return QStringLiteral("NSString");
    case InputAttribute::Kind::Rectangle: return QStringLiteral("NSValue");
    case InputAttribute::Kind::Gradient: return QStringLiteral("NSGradient");
    }
    return {};
}

bool fits(InputAttribute::Kind kind, const QVariant &value)
{
    switch (kind) {
    case InputAttribute::Kind::Image: return value.metaType() == QMetaType::fromType<Image>();
    case InputAttribute::Kind::Number:
    case InputAttribute::Kind::Boolean: return isNumeric(value);
    case InputAttribute::Kind::Vector: return value.metaType() == QMetaType::fromType<Vector>();
    case InputAttribute::Kind::Color: return value.metaType() == QMetaType::fromType<Color>();
    case InputAttribute::Kind::Transform: return value.metaType() == QMetaType::fromType<QTransform>();
    case InputAttribute::Kind::String: return value.metaType() == QMetaType::fromType<QString>();
    case InputAttribute::Kind::Rectangle: return value.metaType() == QMetaType::fromType<QRectF>() || isNumeric(value);
    case InputAttribute::Kind::Gradient: return value.metaType() == QMetaType::fromType<Gradient>();
    }
    return false;
}

} // namespace

bool isNumeric(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

Filter::Filter(QString name, QList<InputAttribute> inputs)
    : m_name(std::move(name))
    , m_inputs(std::move(inputs))
{
}

QStringList Filter::inputKeys() const
{
    QStringList keys;
    for (const InputAttribute &input : m_inputs)
        keys << input.key;
    return keys;
}

QVariantMap Filter::attributes() const
{
    QVariantMap attributes{{QStringLiteral("CIAttributeFilterName"), m_name}};
    for (const InputAttribute &input : m_inputs) {
        QVariantMap entry{{QStringLiteral("CIAttributeClass"), className(input.kind)}};
        if (input.defaultValue.isValid())
            entry.insert(QStringLiteral("CIAttributeDefault"), input.defaultValue);
        const std::pair<const char *, std::optional<double>> limits[] = {{"CIAttributeMin", input.minimum},
                                                                         {"CIAttributeMax", input.maximum},
                                                                         {"CIAttributeSliderMin", input.sliderMinimum},
                                                                         {"CIAttributeSliderMax", input.sliderMaximum}};
        for (const auto &[name, limit] : limits) {
            if (limit)
                entry.insert(QString::fromLatin1(name), *limit);
        }
        if (!input.choices.isEmpty())
            entry.insert(QStringLiteral("choices"), input.choices);
        attributes.insert(input.key, entry);
    }
    return attributes;
}

void Filter::setDefaults()
{
    for (const InputAttribute &input : m_inputs) {
        if (input.defaultValue.isValid())
            setValueForKey(input.key, input.defaultValue);
    }
}

std::unique_ptr<Filter> Filter::copy() const
{
    std::unique_ptr<Filter> copy = FilterRegistry::create(m_name);
    if (!copy)
        return copy;
    for (const QString &key : applyingOrder(m_values.keys()))
        copy->setValueForKey(key, m_values.value(key));
    return copy;
}

QStringList Filter::applyingOrder(const QStringList &given) const
{
    // Inputs as declared, then the keys that are no inputs as given.
    QStringList keys;
    for (const InputAttribute &input : m_inputs) {
        if (given.contains(input.key))
            keys << input.key;
    }
    for (const QString &key : given) {
        if (!keys.contains(key))
            keys << key;
    }
    QStringList ordered;
    QStringList visiting;
    // Depth first over "is overridden by": a key is placed after every given key that overrides it.
    const std::function<void(const QString &)> place = [&](const QString &key) {
        if (ordered.contains(key) || visiting.contains(key))
            return;
        visiting << key;
        for (const InputAttribute &other : m_inputs) {
            if (other.overrides.contains(key) && keys.contains(other.key))
                place(other.key);
        }
        visiting.removeOne(key);
        ordered << key;
    };
    for (const QString &key : keys)
        place(key);
    return ordered;
}

QString Filter::description() const
{
    QStringList inputs;
    for (const InputAttribute &input : m_inputs)
        inputs << QStringLiteral("%1=%2").arg(input.key, describe(value(input.key)));
    return QStringLiteral("<%1: %2>").arg(m_name, inputs.join(QLatin1Char(' ')));
}

QString Filter::describe(const QVariant &value)
{
    const auto numbers = [](std::initializer_list<double> list) {
        QStringList texts;
        for (const double n : list)
            texts << QString::number(n);
        return texts.join(QLatin1Char(' '));
    };
    if (!value.isValid())
        return QStringLiteral("(null)");
    if (value.metaType() == QMetaType::fromType<Image>()) {
        const QRectF e = value.value<Image>().extent();
        return QStringLiteral("Image [%1]").arg(numbers({e.x(), e.y(), e.width(), e.height()}));
    }
    if (value.metaType() == QMetaType::fromType<Color>())
        return value.value<Color>().text();
    if (value.metaType() == QMetaType::fromType<Vector>()) {
        const Vector v = value.value<Vector>();
        QStringList texts;
        for (int i = 0; i < v.count; ++i)
            texts << QString::number(v.values[std::size_t(i)]);
        return QLatin1Char('[') + texts.join(QLatin1Char(' ')) + QLatin1Char(']');
    }
    if (value.metaType() == QMetaType::fromType<QTransform>()) {
        const QTransform t = value.value<QTransform>();
        return QLatin1Char('[') + numbers({t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) + QLatin1Char(']');
    }
    if (value.metaType() == QMetaType::fromType<QRectF>()) {
        const QRectF r = value.toRectF();
        return QLatin1Char('[') + numbers({r.x(), r.y(), r.width(), r.height()}) + QLatin1Char(']');
    }
    if (value.metaType() == QMetaType::fromType<Gradient>())
        return QStringLiteral("Gradient of %1 stops").arg(value.value<Gradient>().numberOfColorStops());
    return value.toString();
}

const InputAttribute *Filter::input(const QString &key) const
{
    for (const InputAttribute &input : m_inputs) {
        if (input.key == key)
            return &input;
    }
    return nullptr;
}

QVariant Filter::valueForKey(const QString &key)
{
    if (key == QLatin1String("outputImage")) {
        const Image output = outputImage();
        return output.isNull() ? QVariant() : QVariant::fromValue(output);
    }
    if (!input(key)) {
        logWarning(QStringLiteral("The filter %1 has no key %2").arg(m_name, key));
        return {};
    }
    return value(key);
}

bool Filter::setValueForKey(const QString &key, const QVariant &value)
{
    const InputAttribute *attribute = input(key);
    if (!attribute) {
        logWarning(QStringLiteral("The filter %1 has no input %2").arg(m_name, key));
        return false;
    }
    if (!value.isValid()) {
        m_values.remove(key);
    } else if (!fits(attribute->kind, value)) {
        logWarning(QStringLiteral("The filter %1 cannot take a value of type %2 for %3")
                       .arg(m_name, QString::fromLatin1(value.typeName()), key));
        return false;
    } else {
        const std::optional<QVariant> checked =
            Numbers::checked(value, [&] { return QStringLiteral("The input %1 of the filter %2").arg(key, m_name); });
        if (!checked)
            return false;
        m_values.insert(key, *checked);
    }
    emit keyValueChanged(key);
    return true;
}

QVariant Filter::value(const QString &key) const
{
    const auto set = m_values.constFind(key);
    if (set != m_values.constEnd())
        return *set;
    const InputAttribute *attribute = input(key);
    return attribute ? attribute->defaultValue : QVariant();
}

Image Filter::imageValue(const QString &key) const
{
    return value(key).value<Image>();
}

double Filter::numberValue(const QString &key) const
{
    return value(key).toDouble();
}

Vector Filter::vectorValue(const QString &key) const
{
    return value(key).value<Vector>();
}

Color Filter::colorValue(const QString &key) const
{
    return value(key).value<Color>();
}

QTransform Filter::transformValue(const QString &key) const
{
    return value(key).value<QTransform>();
}

std::optional<QRectF> Filter::rectValue(const QString &key) const
{
    const QVariant held = value(key);
    if (held.metaType() != QMetaType::fromType<QRectF>())
        return std::nullopt;
    return held.toRectF();
}

Gradient Filter::gradientValue(const QString &key) const
{
    return value(key).value<Gradient>();
}

} // namespace platform::fx
