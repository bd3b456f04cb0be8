#pragma once

#include <QNetworkAccessManager>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <functional>

// Serves a web page view's http(s) requests under stand-in schemes ("qsfeed-http",
// "qsfeed-https"), so that every page, picture, style sheet and script comes through one fetch
// with limits: only addresses the resource policy allows, at most a few dozen per page, each of
// limited size, redirects only within the same origin. Main thread only.
class QSFeedSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    using Policy = std::function<bool(const QUrl &url)>;

    // Registers the stand-in schemes with the web engine; before the engine's first profile.
    static void registerSchemes();
    static const QList<QByteArray> &schemes();
    // The real address of a stand-in one and the other way round; other addresses stay as they are.
    static QUrl realUrl(const QUrl &url);
    static QUrl servedUrl(const QUrl &url);

    explicit QSFeedSchemeHandler(QObject *parent = nullptr);

    void setResourcePolicy(Policy policy);
    // A new page starts its own count of requests.
    void startPage();
    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    QNetworkAccessManager m_network;
    Policy m_policy;
    int m_requests = 0;
};
