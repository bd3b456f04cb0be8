#pragma once

#include "platform/foundation/Bundle.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace platform {

// Builds widgets from Qt Designer interface files ("<name>.ui" in a bundle) and connects them to
// an owner through InterfaceConnector. Classes of the kit and of the application are made by the
// name a file gives them once they are registered; "platform::Window", "platform::View",
// "platform::Control", "platform::Popover" and "platform::ScrollView" are known from the start.
// An unknown class is a logged warning and stands in as the base class the file names for it, else
// as a plain QWidget. The conventions are written down in resources/README.md. GUI thread.
class InterfaceLoader
{
public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    template <class T>
    static void registerClass(const QString &className)
    {
        registerFactory(className, [](QWidget *parent) -> QWidget * { return new T(parent); });
    }
    // A later registration of the same name replaces the earlier one.
    static void registerFactory(const QString &className, Factory factory);
    static bool isClassRegistered(const QString &className);
    // Every name registered so far, with the ones known from the start, sorted.
    static QStringList registeredClassNames();
    // A widget of a registered class, which the caller owns; nullptr for an unknown name.
    static QWidget *make(const QString &className, QWidget *parent = nullptr);

    // The file's root widget, which the caller owns; nullptr with a logged warning when the bundle
    // (the main bundle when null) has no such file or it does not load.
    static QWidget *load(const QString &name, QObject *owner, const BundlePtr &bundle = nullptr);
    static QWidget *loadFile(const QString &path, QObject *owner);

    InterfaceLoader() = delete;
};

} // namespace platform
