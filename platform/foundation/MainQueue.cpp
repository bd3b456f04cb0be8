#include "platform/foundation/MainQueue.h"

#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform {

bool MainQueue::post(std::function<void()> work)
{
    if (!work) {
        logWarning(QStringLiteral("Empty work was not posted to the main queue"));
        return false;
    }
    QCoreApplication *application = QCoreApplication::instance();
    if (!application) {
        logWarning(QStringLiteral("Work posted to the main queue without an application was dropped"));
        return false;
    }
    return QMetaObject::invokeMethod(application, std::move(work), Qt::QueuedConnection);
}

} // namespace platform
