#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace platform {

class ValueTransformer;
using ValueTransformerPtr = std::shared_ptr<ValueTransformer>;

// Converts values between a model and the control bound to it. Interface files name the
// transformer of a binding by its registered name.
class ValueTransformer
{
public:
    using Factory = std::function<ValueTransformerPtr()>;

    virtual ~ValueTransformer() = default;

    // The QMetaType id of what transformedValue() answers.
    virtual int transformedValueClass() const = 0;
    virtual bool allowsReverseTransformation() const = 0;
    virtual QVariant transformedValue(const QVariant &value) const = 0;
    virtual QVariant reverseTransformedValue(const QVariant &value) const = 0;

    // Registering a name again replaces its factory and the instance made by the old one.
    static void registerTransformer(const QString &name, Factory factory);
    // One instance per name, made by its factory on first request; null (and a warning) for a name
    // nobody registered.
    static ValueTransformerPtr valueTransformerForName(const QString &name);
};

} // namespace platform
