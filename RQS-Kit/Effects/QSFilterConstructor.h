#pragma once

#include "platform/fx/Filter.h"

#include <QMutex>
#include <QVariantMap>

#include <memory>

// Makes the filters that a plug-in description lists ("CIPlugInFilterList": filter name → a
// description naming its "CIFilterClass"), asked for by filter name or by class name through the
// engine's filter registry. Safe from any thread.
class QSFilterConstructor
{
public:
    static QSFilterConstructor &sharedFilterConstructor();

    // Entries that are not descriptions with a class name are skipped with a "Warning: " line.
    void registerFilterInDescription(const QVariantMap &description);
    // Empty when no registered description names the class.
    QVariantMap descriptionForClassName(const QString &className) const;
    // Null, with a "Warning: " line, for a name nothing describes or a class that is not registered.
    std::unique_ptr<platform::fx::Filter> filterWithName(const QString &name) const;

private:
    mutable QMutex m_lock;
    QVariantMap m_filterDescriptions;
};
