#pragma once

#include "platform/printing/PrintInfo.h"

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
    // The printer and settings the user chose for the whole batch being printed, if chosen yet;
    // the document then prints with them and asks no more.
    virtual std::optional<platform::PrintInfo> batchPrintChoice() const { return std::nullopt; }
    // What the user chose in the print dialog while this task printed.
    virtual void printChoiceMade(const platform::PrintInfo &) {}
};
