#include "platform/foundation/Invocation.h"

#include "platform/foundation/Log.h"

#include <array>

namespace platform {

namespace {

constexpr int MaxArguments = 10;

QString nameOf(const QMetaMethod &method)
{
    return QString::fromLatin1(method.enclosingMetaObject()->className()) + QStringLiteral("::")
        + QString::fromLatin1(method.methodSignature());
}

} // namespace

Invocation::Invocation(std::shared_ptr<QObject> target, const QMetaMethod &method)
    : m_target(std::move(target))
    , m_method(method)
{
}

bool Invocation::isValid() const { return m_target && m_method.isValid(); }

QObject *Invocation::target() const { return m_target.get(); }

QMetaMethod Invocation::method() const { return m_method; }

std::optional<QVariant> Invocation::invoke(const QVariantList &arguments) const
{
    if (!isValid()) {
        logWarning(QStringLiteral("An invocation without target or method cannot run"));
        return std::nullopt;
    }
    if (arguments.size() != m_method.parameterCount() || arguments.size() > MaxArguments) {
        logWarning(QStringLiteral("%1 takes %2 arguments, not %3")
                       .arg(nameOf(m_method))
                       .arg(m_method.parameterCount())
                       .arg(arguments.size()));
        return std::nullopt;
    }
    QVariantList converted = arguments;
    std::array<QGenericArgument, MaxArguments> generic;
    for (int index = 0; index < converted.size(); ++index) {
        const QMetaType type = m_method.parameterMetaType(index);
        QVariant &argument = converted[index];
        if (argument.metaType() != type && !argument.convert(type)) {
            logWarning(QStringLiteral("Argument %1 of %2 cannot be a %3")
                           .arg(index + 1)
                           .arg(nameOf(m_method), QString::fromLatin1(type.name())));
            return std::nullopt;
        }
        generic[index] = QGenericArgument(type.name(), argument.constData());
    }
    const QMetaType returnType = m_method.returnMetaType();
    const bool returnsValue = returnType.isValid() && returnType.id() != QMetaType::Void;
    // A method that answers a QVariant writes into the result itself rather than into one inside it.
    const bool returnsVariant = returnType.id() == QMetaType::QVariant;
    QVariant result = returnsValue && !returnsVariant ? QVariant(returnType) : QVariant();
    const QGenericReturnArgument returned = !returnsValue ? QGenericReturnArgument()
        : returnsVariant                                  ? QGenericReturnArgument(returnType.name(), &result)
                                                          : QGenericReturnArgument(returnType.name(), result.data());
    if (!m_method.invoke(m_target.get(), Qt::DirectConnection, returned, generic[0], generic[1], generic[2], generic[3],
                         generic[4], generic[5], generic[6], generic[7], generic[8], generic[9])) {
        logWarning(QStringLiteral("%1 could not be called").arg(nameOf(m_method)));
        return std::nullopt;
    }
    return result;
}

} // namespace platform
