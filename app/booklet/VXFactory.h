#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <optional>

// The batch factory as a document sees it: the one process-wide factory, which takes booklet
// settings to share among all its tasks.
class VXFactory : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The factory recorded by setSharedFactory, or null (also once it has gone).
    static VXFactory *sharedFactory();
    static void setSharedFactory(VXFactory *factory);

    // nullopt: every task follows the document defaults.
    virtual void setFactorySettings(const std::optional<QVariantMap> &settings) = 0;
};
