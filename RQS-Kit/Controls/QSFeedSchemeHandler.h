#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

#include <functional>

// Serves a web page view's http(s) requests under stand-in schemes ("qsfeed-http",
// "qsfeed-https"), so that every page, picture, style sheet and script comes through one fetch
// with limits: only addresses the resource policy allows, at most a few dozen per page, each of
// limited size, redirects only within the same origin. Main thread only.
class QSFeedSchemeHandler : public QObject
{
    Q_OBJECT
public:
    using Policy = std::function<bool(const QUrl &url)>;
    using Reply = std::function<void(const QByteArray &type, const QByteArray &body)>;

    static const QList<QByteArray> &schemes();
    // The real address of a stand-in one and the other way round; other addresses stay as they are.
    static QUrl realUrl(const QUrl &url);
    static QUrl servedUrl(const QUrl &url);

    explicit QSFeedSchemeHandler(QObject *parent = nullptr);

    void setResourcePolicy(Policy policy);
    // A new page starts its own count of requests.
    void startPage();
    // A request of the page for a stand-in address, answered through reply or fail (refused by
    // the policy or the limits, or failed) unless request is destroyed first, which ends its fetch.
    void serve(const QUrl &url, QObject *request, Reply reply, std::function<void(bool refused)> fail);

private:
    QNetworkAccessManager m_network;
    Policy m_policy;
    int m_requests = 0;
};
