#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class QWidget;

namespace kitdrive {

// Named readings that are no property of a class ("--print fittedFontSize"), registered by class
// name; a probe of a class answers for its subclasses too. Each step adds its own from a file of
// its own, through a static Probes::Registration, so that no central list grows.
class Probes
{
public:
    using Probe = std::function<QVariant(QWidget *)>;

    struct Registration
    {
        Registration(const char *className, const char *key, Probe probe);
    };

    // None when no class of the widget has a probe of that key.
    static std::optional<QVariant> read(QWidget *widget, const QString &key);
};

} // namespace kitdrive
