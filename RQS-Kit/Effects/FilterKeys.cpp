#include "RQS-Kit/Effects/FilterKeys.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

#include <QMetaProperty>
#include <QTransform>

namespace rqs::filterKeys {

using platform::fx::Filter;
using platform::fx::InputAttribute;

namespace {

// Only what the filter's own classes declare: QObject's "objectName" is no setting.
QMetaProperty declaredProperty(const Filter &filter, const QString &key)
{
    const QMetaObject *meta = filter.metaObject();
    const int index = meta->indexOfProperty(key.toLatin1().constData());
    if (index < Filter::staticMetaObject.propertyCount())
        return {};
    const QMetaProperty property = meta->property(index);
    return property.isWritable() ? property : QMetaProperty();
}

std::optional<InputAttribute::Kind> kindOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Bool: return InputAttribute::Kind::Boolean;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double: return InputAttribute::Kind::Number;
    case QMetaType::QString: return InputAttribute::Kind::String;
    case QMetaType::QRectF: return InputAttribute::Kind::Rectangle;
    default: break;
    }
    if (type == QMetaType::fromType<platform::fx::Color>())
        return InputAttribute::Kind::Color;
    if (type == QMetaType::fromType<platform::fx::Vector>())
        return InputAttribute::Kind::Vector;
    if (type == QMetaType::fromType<platform::Gradient>())
        return InputAttribute::Kind::Gradient;
    if (type == QMetaType::fromType<QTransform>())
        return InputAttribute::Kind::Transform;
    return std::nullopt;
}

} // namespace

std::optional<InputAttribute> attribute(const Filter &filter, const QString &key)
{
    if (const InputAttribute *input = filter.input(key))
        return *input;
    const QMetaProperty property = declaredProperty(filter, key);
    if (!property.isValid())
        return std::nullopt;
    const std::optional<InputAttribute::Kind> kind = kindOf(property.metaType());
    if (!kind)
        return std::nullopt;
    InputAttribute described;
    described.key = key;
    described.kind = *kind;
    return described;
}

bool setValue(Filter &filter, const QString &key, const QVariant &value)
{
    if (filter.input(key))
        return filter.setValueForKey(key, value);
    if (!attribute(filter, key)) {
        platform::logWarning(QStringLiteral("The filter %1 has no input or property %2").arg(filter.name(), key));
        return false;
    }
    // Through the filter's own setter, which checks the numbers it is given.
    return platform::KeyValue::setValue(&filter, key, value);
}

QVariant value(const Filter &filter, const QString &key)
{
    if (filter.input(key) || !declaredProperty(filter, key).isValid())
        return filter.value(key);
    return declaredProperty(filter, key).read(&filter);
}

} // namespace rqs::filterKeys
