#pragma once

#include <QMetaMethod>
#include <QObject>
#include <QVariant>

#include <memory>
#include <optional>

namespace platform {

// A method found by name, bound to the object it will run on. The target is shared so that an
// invocation may own an object made for it (a class's stand-in instance).
class Invocation
{
public:
    // Invalid: invoke() refuses.
    Invocation() = default;
    Invocation(std::shared_ptr<QObject> target, const QMetaMethod &method);

    bool isValid() const;
    QObject *target() const;
    QMetaMethod method() const;

    // Runs the method with the arguments converted to its parameter types. The result is the
    // method's return value (an invalid QVariant for none); nothing, with a warning, when the
    // invocation is invalid, the arguments do not fit, or the call fails.
    std::optional<QVariant> invoke(const QVariantList &arguments = {}) const;

private:
    std::shared_ptr<QObject> m_target;
    QMetaMethod m_method;
};

} // namespace platform
