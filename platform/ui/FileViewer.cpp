#include "platform/ui/FileViewer.h"

#include "platform/foundation/Log.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");

bool showItemOverBus(const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(FileManagerService))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(FileManagerService, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       FileManagerService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    // Not waited for: a slow file manager must not hold the window.
    return bus.send(call);
}

} // namespace

bool FileViewer::selectFile(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists()) {
        logWarning(QStringLiteral("Could not show \"%1\" in the file manager, because it is not there").arg(path));
        return false;
    }
    if (showItemOverBus(file.absoluteFilePath()) || QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath())))
        return true;
    logWarning(QStringLiteral("Could not show \"%1\" in the file manager, because none answered").arg(path));
    return false;
}

} // namespace platform
