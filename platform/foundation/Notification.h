#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace platform {

// What a notification centre hands its observers: the name, the posting object (may be null) and
// free-form details.
struct Notification
{
    QString name;
    QObject *object = nullptr;
    QVariantMap userInfo;
};

} // namespace platform
