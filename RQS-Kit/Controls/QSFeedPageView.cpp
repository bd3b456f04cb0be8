#include "RQS-Kit/Controls/QSFeedPageView.h"

#include "RQS-Kit/Controls/QSFeedSchemeHandler.h"
#include "platform/foundation/Log.h"

#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <unistd.h>

namespace {

bool isWebAddress(const QUrl &url) { return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"); }

// Before the engine starts. Its sandbox refuses to run as root, and the engine then ends the
// whole process; a root process (a test run, a container) runs the pages without it.
void prepareEngine()
{
    static const bool prepared = [] {
        if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
            platform::logInfo(QStringLiteral("Running as root: web pages are shown without the web engine's sandbox"));
        }
        QSFeedSchemeHandler::registerSchemes();
        return true;
    }();
    (void)prepared;
}

// Nothing reaches the network or the disk past the view's own fetch: what a page asks for from
// elsewhere (another server's picture, a local file) is blocked.
class FetchGate : public QWebEngineUrlRequestInterceptor
{
public:
    FetchGate(std::function<QUrl()> localPage, QObject *parent)
        : QWebEngineUrlRequestInterceptor(parent)
        , m_localPage(std::move(localPage))
    {
    }
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        const bool served = QSFeedSchemeHandler::schemes().contains(url.scheme().toLatin1());
        if (served || url.scheme() == QLatin1String("data") || (url.isLocalFile() && url == m_localPage()))
            return;
        platform::logWarning(QStringLiteral("Refused to load %1 into a page").arg(url.toString()));
        info.block(true);
    }

private:
    std::function<QUrl()> m_localPage;
};

// Puts every navigation to the view's policy, a link meant for a new window as well (which then
// opens no window). A page's script shows no dialogs: nothing in a newsletter may stop the
// application with a modal alert.
class PolicyPage : public QWebEnginePage
{
public:
    using Decide = std::function<bool(const QUrl &url, bool mainFrame)>;
    PolicyPage(QWebEngineProfile *profile, Decide decide, QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_decide(std::move(decide))
    {
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest &request) { m_decide(request.requestedUrl(), true); });
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        return m_decide(url, isMainFrame);
    }
    void javaScriptAlert(const QUrl &, const QString &) override {}
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override { return false; }

private:
    Decide m_decide;
};

} // namespace

QSFeedPageView::QSFeedPageView(QWidget *parent)
    : QWidget(parent)
    , m_profile((prepareEngine(), new QWebEngineProfile(this)))
    , m_schemes(new QSFeedSchemeHandler(this))
    , m_view(new QWebEngineView(this))
{
    for (const QByteArray &scheme : QSFeedSchemeHandler::schemes())
        m_profile->installUrlSchemeHandler(scheme, m_schemes);
    m_profile->setUrlRequestInterceptor(new FetchGate([this] { return m_pageUrl; }, this));
    auto *page = new PolicyPage(
        m_profile, [this](const QUrl &url, bool mainFrame) { return allowsNavigation(url, mainFrame); }, m_view);
    m_view->setPage(page);
    connect(page, &QWebEnginePage::loadFinished, this, &QSFeedPageView::pageLoaded);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

// The page goes before the profile it uses.
QSFeedPageView::~QSFeedPageView() { delete m_view; }

void QSFeedPageView::setNavigationPolicy(Policy policy) { m_policy = std::move(policy); }

void QSFeedPageView::setResourcePolicy(Policy policy)
{
    m_resourcePolicy = policy;
    m_schemes->setResourcePolicy(std::move(policy));
}

QUrl QSFeedPageView::pageUrl() const { return m_pageUrl; }

QString QSFeedPageView::plainText() const { return m_plainText; }

QWebEngineView *QSFeedPageView::engineView() const { return m_view; }

bool QSFeedPageView::navigate(const QUrl &url)
{
    if (!url.isLocalFile() && !isWebAddress(url)) {
        platform::logWarning(QStringLiteral("Refused to load %1: only http, https and local pages load").arg(url.toString()));
        return false;
    }
    if (!m_policy || !m_policy(url))
        return false;
    m_view->load(QSFeedSchemeHandler::servedUrl(url));
    return true;
}

bool QSFeedPageView::allowsNavigation(const QUrl &url, bool mainFrame)
{
    const QUrl real = QSFeedSchemeHandler::realUrl(url);
    if (!mainFrame)
        return isWebAddress(real) && m_resourcePolicy && m_resourcePolicy(real);
    if (!m_policy || !m_policy(real))
        return false;
    m_schemes->startPage();
    m_pageUrl = real;
    m_plainText.clear();
    return true;
}

// A navigation refused is reported as a load that failed; the page shown stays, with its text.
void QSFeedPageView::pageLoaded()
{
    const QPointer<QSFeedPageView> self(this);
    m_view->page()->toPlainText([self](const QString &text) {
        if (!self)
            return;
        self->m_plainText = text;
        emit self->pageShown();
    });
}
