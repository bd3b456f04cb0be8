#pragma once

#include "RQS-Kit/Controls/QSFeedPageView.h"
#include "RQS-Kit/Controls/QSNewsletterFeed.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "RQS-Kit/Helper/QSFileLoader.h"
#include "RQS-Kit/Helper/QSFileLoaderDelegate.h"

#include <QList>
#include <QPointer>
#include <QTabBar>
#include <QUrl>

#include <memory>

// The maker's newsletters inside the application. Once woken it downloads the feed from the
// server that the main bundle's information key "QSNewsletterBaseURL" names, picks the oldest
// current entry not seen yet and, when the default "NewsletterAutoShow" (YES) allows, opens its
// window on that page. Every page shown is added to "NewsLetterSeenIDs". The window steps through
// all entries with a back/forward control; links open outside the application. Main thread only.
class QSNewsletterController : public QSWindowController, public QSFileLoaderDelegate
{
    Q_OBJECT
    Q_PROPERTY(QSFeedPageView *webView READ webView WRITE setWebView)
    Q_PROPERTY(QTabBar *navButtons READ navButtons WRITE setNavButtons)
    Q_PROPERTY(bool canBeHidden READ canBeHidden WRITE setCanBeHidden)
public:
    explicit QSNewsletterController(QObject *parent = nullptr);

    // Starts the download the first time; false (and an error) when the feed cannot be asked for.
    Q_INVOKABLE bool awakeFromNib();
    // Segment 0 steps back, any other forward; stepping past either end does nothing.
    Q_INVOKABLE void backForward(int segment);
    Q_INVOKABLE void openSubscribe(QObject *sender);
    // Shows a page of the feed's host or the bundled error page; anything else is refused.
    bool loadUrl(const QString &address);
    void windowDidLoad() override;

    void fileLoaderDidFinish(QSFileLoader *loader) override;
    void fileLoaderDidFail(QSFileLoader *loader, const QString &error) override;

    const QList<QSNewsletterEntry> &feed() const;
    QList<quint64> seenIds() const;
    QString currentURL() const;
    // -1 while no entry is visible.
    qsizetype visibleIndex() const;
    // An index outside the feed shows no entry; an open window shows the entry at once.
    void setVisibleIndex(qsizetype index);
    QSFeedPageView *webView() const;
    void setWebView(QSFeedPageView *view);
    QTabBar *navButtons() const;
    void setNavButtons(QTabBar *buttons);
    bool canBeHidden() const;
    void setCanBeHidden(bool canBeHidden);

    // The feed's base address from the main bundle; invalid (and an error) when it is no http(s) address.
    static QUrl serverAddress();

private:
    bool decidePolicy(const QUrl &url);
    void updateNavButton();
    void updateWebpage();

    QList<quint64> m_seenIds;
    QList<QSNewsletterEntry> m_feed;
    QUrl m_server;
    QString m_feedFilePath;
    std::unique_ptr<QSFileLoader> m_feedLoader;
    bool m_downloadFailed = false;
    QString m_currentURL;
    bool m_canBeHidden = false;
    QPointer<QSFeedPageView> m_webView;
    QPointer<QTabBar> m_navButtons;
    qsizetype m_visibleIndex = -1;
};
