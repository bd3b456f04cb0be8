#include "RQS-Kit/Controls/QSNewsletterController.h"

#include "RQS-Kit/Foundation/QSTempCleaner.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <QDesktopServices>

namespace {

const QString autoShowKey = QStringLiteral("NewsletterAutoShow");
const QString seenIdsKey = QStringLiteral("NewsLetterSeenIDs");
const QString serverKey = QStringLiteral("QSNewsletterBaseURL");

platform::UserDefaults *defaults() { return platform::UserDefaults::standardUserDefaults(); }

bool isWebAddress(const QUrl &url)
{
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        && !url.host().isEmpty();
}

// Whatever a newsletter links to, only the browser and the mail program get it.
bool openOutside(const QUrl &url)
{
    if (!isWebAddress(url) && url.scheme() != QLatin1String("mailto")) {
        platform::logWarning(QStringLiteral("Refused to open %1: only http, https and mailto links leave the application")
                                 .arg(url.toString()));
        return false;
    }
    if (QDesktopServices::openUrl(url))
        return true;
    platform::logWarning(QStringLiteral("Could not open %1").arg(url.toString()));
    return false;
}

QUrl netErrorPage()
{
    const QString path = platform::Bundle::mainBundle()->pathForResource(QStringLiteral("NetError"), QStringLiteral("html"));
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

QUrl addressFor(const QUrl &server, const QString &path)
{
    const QString name = platform::Bundle::mainBundle()->objectForInfoDictionaryKey(QStringLiteral("CFBundleName")).toString();
    QUrl url = server;
    QString basePath = url.path();
    if (basePath.endsWith(QLatin1Char('/')))
        basePath.chop(1);
    url.setPath(basePath + path);
    url.setQuery(QStringLiteral("utm_source=%1&utm_medium=app&utm_campaign=RQS-Feed").arg(QString::fromLatin1(QUrl::toPercentEncoding(name))),
                 QUrl::StrictMode);
    return url;
}

} // namespace

QSNewsletterController::QSNewsletterController(QObject *parent)
    : QSWindowController(parent)
{
    static const bool registered = [] {
        defaults()->registerDefaults({{autoShowKey, true}});
        return true;
    }();
    (void)registered;
    for (const QVariant &seen : defaults()->arrayForKey(seenIdsKey)) {
        bool ok = false;
        const quint64 identifier = seen.toULongLong(&ok);
        if (ok)
            m_seenIds.append(identifier);
        else
            platform::logWarning(QStringLiteral("Ignored the seen newsletter \"%1\", which is no number").arg(seen.toString()));
    }
}

QUrl QSNewsletterController::serverAddress()
{
    const QString address = platform::Bundle::mainBundle()->objectForInfoDictionaryKey(serverKey).toString();
    const QUrl url(address, QUrl::StrictMode);
    if (isWebAddress(url))
        return url;
    platform::logError(QStringLiteral("No newsletter server: the information key %1 holds \"%2\", no http(s) address")
                           .arg(serverKey, address));
    return {};
}

bool QSNewsletterController::awakeFromNib()
{
    if (m_feedLoader)
        return true;
    m_server = serverAddress();
    m_feedFilePath = QSTempCleaner::tempURLWithExtension(QStringLiteral("plist")).toLocalFile();
    if (!m_server.isValid() || m_feedFilePath.isEmpty()) {
        m_downloadFailed = true;
        return false;
    }
    QSTempCleaner::sharedTempCleaner().addFile(m_feedFilePath);
    m_feedLoader = QSFileLoader::download(addressFor(m_server, QStringLiteral("/Newsletters/feed.php")).toString(), m_feedFilePath, {}, this);
    return true;
}

void QSNewsletterController::backForward(int segment)
{
    if (m_visibleIndex < 0)
        return;
    if (segment == 0) {
        if (m_visibleIndex > 0)
            --m_visibleIndex;
    } else if (m_visibleIndex + 1 < m_feed.size()) {
        ++m_visibleIndex;
    }
    updateWebpage();
}

void QSNewsletterController::openSubscribe(QObject *)
{
    const QUrl server = m_server.isValid() ? m_server : serverAddress();
    if (server.isValid())
        openOutside(addressFor(server, QStringLiteral("/Newsletters/subscribe.html")));
}

bool QSNewsletterController::loadUrl(const QString &address)
{
    if (address.isEmpty())
        return false;
    const QUrl url(address, QUrl::StrictMode);
    const bool errorPage = url.isLocalFile() && url == netErrorPage();
    if (!errorPage && !QSNewsletterFeed::isFeedPage(url, m_server)) {
        platform::logWarning(QStringLiteral("Refused to show %1: only pages of the newsletter server show").arg(address));
        return false;
    }
    m_currentURL = url.toString();
    if (!m_webView) {
        platform::logWarning(QStringLiteral("The newsletter window has no page view for %1").arg(address));
        return false;
    }
    return m_webView->navigate(url);
}

bool QSNewsletterController::decidePolicy(const QUrl &url)
{
    if (url.toString() == m_currentURL)
        return true;
    openOutside(url);
    return false;
}

void QSNewsletterController::windowDidLoad() { updateWebpage(); }

void QSNewsletterController::updateNavButton()
{
    if (!m_navButtons)
        return;
    m_navButtons->setTabEnabled(0, m_visibleIndex > 0);
    m_navButtons->setTabEnabled(1, m_visibleIndex >= 0 && m_visibleIndex + 1 < m_feed.size());
}

void QSNewsletterController::updateWebpage()
{
    updateNavButton();
    if (m_downloadFailed) {
        const QUrl page = netErrorPage();
        if (page.isEmpty())
            platform::logWarning(QStringLiteral("No NetError page in %1 to show").arg(platform::Bundle::mainBundle()->bundlePath()));
        loadUrl(page.toString());
        return;
    }
    if (m_visibleIndex < 0 || m_visibleIndex >= m_feed.size())
        return;
    const QSNewsletterEntry &entry = m_feed.at(m_visibleIndex);
    if (!m_seenIds.contains(entry.identifier)) {
        m_seenIds.append(entry.identifier);
        QVariantList seen;
        for (quint64 identifier : std::as_const(m_seenIds))
            seen.append(qulonglong(identifier));
        defaults()->setObject(seen, seenIdsKey);
    }
    loadUrl(entry.url.toString());
}

void QSNewsletterController::fileLoaderDidFinish(QSFileLoader *)
{
    m_downloadFailed = false;
    m_feed = QSNewsletterFeed::read(m_feedFilePath, m_server);
    const qsizetype chosen = QSNewsletterFeed::chosenIndex(m_feed, m_seenIds, QDateTime::currentDateTimeUtc());
    // Without a new entry the latest one is visible; an empty feed has none.
    m_visibleIndex = chosen >= 0 ? chosen : m_feed.size() - 1;
    platform::logInfo(QStringLiteral("Newsletter feed read with %1 entries, %2 of them new")
                          .arg(m_feed.size()).arg(chosen >= 0 ? QStringLiteral("one") : QStringLiteral("none")));
    const bool wasLoaded = isLoaded();
    if (chosen >= 0 && defaults()->boolForKey(autoShowKey))
        showWindow(this);
    if (wasLoaded)
        updateWebpage();
}

void QSNewsletterController::fileLoaderDidFail(QSFileLoader *, const QString &)
{
    m_downloadFailed = true;
    if (isLoaded())
        updateWebpage();
}

const QList<QSNewsletterEntry> &QSNewsletterController::feed() const { return m_feed; }
QList<quint64> QSNewsletterController::seenIds() const { return m_seenIds; }
QString QSNewsletterController::currentURL() const { return m_currentURL; }
qsizetype QSNewsletterController::visibleIndex() const { return m_visibleIndex; }

void QSNewsletterController::setVisibleIndex(qsizetype index)
{
    m_visibleIndex = index >= 0 && index < m_feed.size() ? index : -1;
    if (isLoaded())
        updateWebpage();
}

QSFeedPageView *QSNewsletterController::webView() const { return m_webView; }

void QSNewsletterController::setWebView(QSFeedPageView *view)
{
    m_webView = view;
    if (!view)
        return;
    const QPointer<QSNewsletterController> self(this);
    view->setNavigationPolicy([self](const QUrl &url) { return self && self->decidePolicy(url); });
    // A newsletter's pictures and style sheets come from the feed's own server.
    view->setResourcePolicy([self](const QUrl &url) { return self && QSNewsletterFeed::isFeedPage(url, self->m_server); });
}

QTabBar *QSNewsletterController::navButtons() const { return m_navButtons; }

void QSNewsletterController::setNavButtons(QTabBar *buttons)
{
    m_navButtons = buttons;
    if (!buttons)
        return;
    QSTranslatingSegmentedControl::addSegmentsIfNone(buttons, {QStringLiteral("Back"), QStringLiteral("Forward")});
    connect(buttons, &QTabBar::tabBarClicked, this, [this](int segment) {
        if (segment >= 0)
            backForward(segment);
    });
    updateNavButton();
}

bool QSNewsletterController::canBeHidden() const { return m_canBeHidden; }
void QSNewsletterController::setCanBeHidden(bool canBeHidden) { m_canBeHidden = canBeHidden; }
