#pragma once

#include "RQS-Kit/Controls/QSWebEngine.h"

#include <QObject>

// Qt WebEngine behind the kit's web page view, built as the plugin "foldwise-webview" and loaded
// by QSWebEngineLoader. It links nothing of Foldwise: every decision is the page client's.
class QSWebEnginePlugin : public QObject, public QSWebEngine
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QSWebEngine_iid)
    Q_INTERFACES(QSWebEngine)
public:
    QSWebPage *createPage(QSWebPageClient &client, const QList<QByteArray> &servedSchemes, QWidget *parent) override;
};
