#pragma once

#include "RQS-Kit/Controls/QSWebEngine.h"

#include <QUrl>
#include <QWidget>

#include <functional>

class QSFeedSchemeHandler;

// Shows web pages in a web engine, private to the view (nothing kept on disk). Every main-frame
// navigation, the owner's own loads and clicked links alike (also those meant for a new window),
// is first put to the navigation policy, which alone decides whether the view loads it; without a
// policy nothing loads. A page from the network and everything it asks for come through the
// view's own fetch (QSFeedSchemeHandler): only what the resource policy allows, with limits of
// size and number. A local page (file:) shows with nothing else fetched. The engine is loaded
// (QSWebEngineLoader) when the first page is to be shown; until then the view is empty. Main
// thread only.
class QSFeedPageView : public QWidget, private QSWebPageClient
{
    Q_OBJECT
public:
    // True: show the address in this view, or use the resource in the page.
    using Policy = std::function<bool(const QUrl &url)>;

    explicit QSFeedPageView(QWidget *parent = nullptr);
    ~QSFeedPageView() override;

    void setNavigationPolicy(Policy policy);
    void setResourcePolicy(Policy policy);
    // False when the policy refused, the scheme is neither http(s) nor file or the engine could
    // not be loaded; a failed fetch is logged and the engine shows its error page.
    bool navigate(const QUrl &url);
    QUrl pageUrl() const;
    // The text of the page shown, once it has loaded; empty before.
    QString plainText() const;
    // The engine's own view (a QWebEngineView); null until a page was to be shown.
    QWidget *engineView() const;

private:
    bool acceptsNavigation(const QUrl &url, bool mainFrame) override;
    bool acceptsRequest(const QUrl &url) override;
    void serve(const QUrl &url, QObject *request, std::function<void(const QByteArray &type, const QByteArray &body)> reply,
               std::function<void(bool refused)> fail) override;
    void pageLoaded(const QString &plainText) override;

    Policy m_policy;
    Policy m_resourcePolicy;
    QSFeedSchemeHandler *m_schemes;
    // Lives as long as its widget, a child of this view.
    QSWebPage *m_page = nullptr;
    QUrl m_pageUrl;
    QString m_plainText;
};
