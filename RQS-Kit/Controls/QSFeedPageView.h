#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

class QSFeedSchemeHandler;
class QWebEngineProfile;
class QWebEngineView;

// Shows web pages in a web engine, private to the view (nothing kept on disk). Every main-frame
// navigation, the owner's own loads and clicked links alike (also those meant for a new window),
// is first put to the navigation policy, which alone decides whether the view loads it; without a
// policy nothing loads. A page from the network and everything it asks for come through the
// view's own fetch (QSFeedSchemeHandler): only what the resource policy allows, with limits of
// size and number. A local page (file:) shows with nothing else fetched. Main thread only.
class QSFeedPageView : public QWidget
{
    Q_OBJECT
public:
    // True: show the address in this view, or use the resource in the page.
    using Policy = std::function<bool(const QUrl &url)>;

    explicit QSFeedPageView(QWidget *parent = nullptr);
    ~QSFeedPageView() override;

    void setNavigationPolicy(Policy policy);
    void setResourcePolicy(Policy policy);
    // False when the policy refused or the scheme is neither http(s) nor file; a failed fetch
    // is logged and the engine shows its error page.
    bool navigate(const QUrl &url);
    QUrl pageUrl() const;
    // The text of the page shown, once it has loaded; empty before.
    QString plainText() const;
    QWebEngineView *engineView() const;

signals:
    // The page has loaded and its text is known.
    void pageShown();

private:
    bool allowsNavigation(const QUrl &url, bool mainFrame);
    void pageLoaded();

    Policy m_policy;
    Policy m_resourcePolicy;
    QWebEngineProfile *m_profile;
    QSFeedSchemeHandler *m_schemes;
    QWebEngineView *m_view;
    QUrl m_pageUrl;
    QString m_plainText;
};
