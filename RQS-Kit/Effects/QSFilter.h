#pragma once

#include "platform/fx/Filter.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/Kernel.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The base of the kit's filters. A kit class is registered once by its class name (its Q_OBJECT
// name): the engine then makes it by name like a built-in. Its kernels are the ones the kernel
// library holds under that class name; its registered input keys and copy key paths are kept
// under the same name. Registrations may come from any thread.
class QSFilter : public platform::fx::Filter
{
    Q_OBJECT

public:
    using Filter::Filter;

    template <class T>
    static void registerFilterClass(const QVariantMap &classAttributes = {})
    {
        registerClass(T::staticMetaObject.className(), [] { return std::make_unique<T>(); }, classAttributes);
    }
    template <class T>
    static void registerInputKeys(const QStringList &keys)
    {
        registerKeys(T::staticMetaObject, Registered::InputKeys, keys);
    }
    // Key paths (through inner objects) whose values a copy takes over.
    template <class T>
    static void registerForCopying(const QStringList &keyPaths)
    {
        registerKeys(T::staticMetaObject, Registered::CopyKeyPaths, keyPaths);
    }
    // Null, with a "Warning: " line, when no kit class of that name is registered.
    static std::unique_ptr<QSFilter> filterOfClass(const QString &className);

    QString className() const { return QString::fromLatin1(metaObject()->className()); }
    // The registered keys, else the declared inputs.
    QStringList inputKeys() const override;
    std::unique_ptr<Filter> copy() const override;
    // The class's only kernel; with several, one of them after a warning.
    std::optional<platform::fx::Kernel> kernel() const;
    std::optional<platform::fx::Kernel> kernelWithName(const QString &name) const;
    // Origin cut to whole numbers towards zero, size in single precision: the extent kernels get.
    static QRectF arrayForRect(const QRectF &rect);
    static platform::fx::Vector vectorForRect(const QRectF &rect);
    // The attributes of the key (a map); invalid for a key without any. Choices that come from
    // files are read again, so pictures added since the filter was made are offered.
    QVariant settingsForKey(const QString &key) const;

    platform::fx::Image outputImage() const override { return {}; }

    // Inputs as the base answers them; other key paths through the filter's properties, their
    // numbers checked as the inputs' are.
    Q_INVOKABLE QVariant valueForKey(const QString &key);
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value);

protected:
    void setChoicesSource(const QString &key, std::function<QStringList()> source);

private:
    enum class Registered { InputKeys, CopyKeyPaths };
    static void registerClass(const QString &className, std::function<std::unique_ptr<QSFilter>()> factory,
                              const QVariantMap &classAttributes);
    static void registerKeys(const QMetaObject &meta, Registered kind, const QStringList &keys);
    static QStringList registered(Registered kind, const QString &className);

    QHash<QString, std::function<QStringList()>> m_choiceSources;
};
