#include "RQS-Kit/Controls/QSWebEngineLoader.h"

#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include <unistd.h>

namespace {

const QString PluginName = QStringLiteral("foldwise-webview.so");

// Before the engine starts. Its sandbox refuses to run as root, and the engine then ends the
// whole process; a root process (a test run, a container) runs the pages without it.
void prepareSandbox()
{
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        platform::logInfo(QStringLiteral("Running as root: web pages are shown without the web engine's sandbox"));
    }
}

} // namespace

QStringList QSWebEngineLoader::searchFolders()
{
    const QString overridden = qEnvironmentVariable("FOLDWISE_PLUGINS");
    if (!overridden.isEmpty())
        return {overridden};
    const QString here = QCoreApplication::applicationDirPath();
    return {here, QDir::cleanPath(here + QStringLiteral("/" FOLDWISE_PLUGINS_FROM_BINARIES))};
}

QSWebEngine *QSWebEngineLoader::engine()
{
    static QSWebEngine *loaded = nullptr;
    if (!loaded)
        loaded = loadFrom(searchFolders());
    return loaded;
}

QSWebEngine *QSWebEngineLoader::loadFrom(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(PluginName);
        if (!QFileInfo(path).isFile())
            continue;
        prepareSandbox();
        QPluginLoader loader(path);
        if (auto *engine = qobject_cast<QSWebEngine *>(loader.instance()))
            return engine;
        const QString reason = loader.isLoaded() ? QStringLiteral("%1 is no web engine plugin").arg(path) : loader.errorString();
        loader.unload();
        platform::logError(QStringLiteral("The web engine could not be loaded: %1").arg(reason));
        return nullptr;
    }
    platform::logError(QStringLiteral("The web engine could not be loaded: no %1 in %2").arg(PluginName, folders.join(QStringLiteral(", "))));
    return nullptr;
}
