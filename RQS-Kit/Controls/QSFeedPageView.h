#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include <functional>

class QNetworkReply;

// Shows web pages as far as a text browser can: HTML without scripts or pictures, fetched over
// http(s), or read from a local file. Every navigation, the owner's own loads and clicked links
// alike, is first put to the navigation policy, which alone decides whether the view loads it;
// without a policy nothing loads. Main thread only.
class QSFeedPageView : public QTextBrowser
{
    Q_OBJECT
public:
    // True: show the address in this view.
    using NavigationPolicy = std::function<bool(const QUrl &url)>;

    explicit QSFeedPageView(QWidget *parent = nullptr);

    void setNavigationPolicy(NavigationPolicy policy);
    // False when the policy refused or the scheme is neither http(s) nor file; a failed fetch
    // is logged when it ends and leaves the shown page.
    bool navigate(const QUrl &url);
    QUrl pageUrl() const;

    // A page from the network must not pull local files or anything else into the view.
    QVariant loadResource(int type, const QUrl &name) override;

private:
    void fetch(const QUrl &url);
    void received();
    void finished();
    void show(const QUrl &url, const QByteArray &html);

    NavigationPolicy m_policy;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_received;
    QUrl m_pageUrl;
};
