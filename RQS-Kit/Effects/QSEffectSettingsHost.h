#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform::fx {
class Filter;
}

// What a settings panel needs of the effect whose settings it edits.
class QSEffectSettingsHost
{
public:
    virtual ~QSEffectSettingsHost() = default;

    virtual QString effectName() const = 0;
    // Entry name → settings entry, and the entries' order in the panel.
    virtual QVariantMap settingsUI() const = 0;
    virtual QStringList settingsUIOrder() const = 0;
    virtual platform::fx::Filter *filter() const = 0;
    // The stored setting, else the filter's current value.
    virtual QVariant settingsValueForKey(const QString &key) const = 0;
    // A user's edit: goes through the effect's undo; false when the effect refused it.
    virtual bool setValueForKey(const QString &key, const QVariant &value) = 0;
    // A refresh copying the filter's value back: no undo. An invalid value (the filter holds none)
    // leaves the key out.
    virtual void storeSetting(const QString &key, const QVariant &value) = 0;
    // The picture resource chosen for the key; an empty name removes it.
    virtual void setImageResource(const QString &key, const QString &name) = 0;
    virtual bool isRelative(const QString &key) const = 0;
    // The last global "portion"; 0 when none was given.
    virtual double effectProportion() const = 0;
};
