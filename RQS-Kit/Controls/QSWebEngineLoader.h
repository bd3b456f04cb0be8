#pragma once

#include "RQS-Kit/Controls/QSWebEngine.h"

#include <QStringList>

// Loads the web engine plugin ("foldwise-webview.so") the first time a page is to be shown, so
// that Qt WebEngine stays out of every process that shows none. It is looked for in
// $FOLDWISE_PLUGINS when set, else beside the executable (the build tree), else in the installed
// plugin folder relative to it ("<libdir>/foldwise" beside its "bin"). Main thread only.
class QSWebEngineLoader
{
public:
    // The engine, loaded once from the first of searchFolders() that holds the plugin; null, with
    // an error logged, when it cannot be loaded (asked again, it tries again).
    static QSWebEngine *engine();
    static QStringList searchFolders();
    // The plugin of the first of folders that holds one, loaded; null, with an error logged, when
    // there is none or it is no web engine plugin of this build.
    static QSWebEngine *loadFrom(const QStringList &folders);

    QSWebEngineLoader() = delete;
};
