#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace kitdrive {

// Named settings that are no property of a class ("--set imageFile=picture.png"), registered by
// class name like the probes; a setting of a class applies to its subclasses too.
class Settings
{
public:
    // False after an "Error: " line when the value does not do.
    using Setting = std::function<bool(QWidget *, const QString &value)>;

    struct Registration
    {
        Registration(const char *className, const char *key, Setting setting);
    };

    // None when no class of the widget has a setting of that key.
    static std::optional<bool> apply(QWidget *widget, const QString &key, const QString &value);
};

} // namespace kitdrive
