#pragma once

#include <QObject>
#include <QVariantMap>

#include <optional>

// A batch factory task as the document it controls sees it: the task's booklet settings, and the
// way to give it new ones.
class VXControllingTask : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // nullopt: the task follows the document defaults.
    virtual std::optional<QVariantMap> settings() const = 0;
    // forAll: the settings are the factory's shared settings.
    virtual void setSettings(const std::optional<QVariantMap> &settings, bool forAll) = 0;
};
