#include "RQS-Kit/Controls/QSFeedPageView.h"

#include "RQS-Kit/Controls/QSFeedSchemeHandler.h"
#include "RQS-Kit/Controls/QSWebEngineLoader.h"
#include "platform/foundation/Log.h"

#include <QVBoxLayout>

namespace {

bool isWebAddress(const QUrl &url) { return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"); }

} // namespace

QSFeedPageView::QSFeedPageView(QWidget *parent)
    : QWidget(parent)
    , m_schemes(new QSFeedSchemeHandler(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

// The page, with the engine's requests still open, goes before the fetches that answer them.
QSFeedPageView::~QSFeedPageView()
{
    if (m_page)
        delete m_page->widget();
}

void QSFeedPageView::setNavigationPolicy(Policy policy) { m_policy = std::move(policy); }

void QSFeedPageView::setResourcePolicy(Policy policy)
{
    m_resourcePolicy = policy;
    m_schemes->setResourcePolicy(std::move(policy));
}

QUrl QSFeedPageView::pageUrl() const { return m_pageUrl; }

QString QSFeedPageView::plainText() const { return m_plainText; }

QWidget *QSFeedPageView::engineView() const { return m_page ? m_page->engineView() : nullptr; }

bool QSFeedPageView::navigate(const QUrl &url)
{
    if (!url.isLocalFile() && !isWebAddress(url)) {
        platform::logWarning(QStringLiteral("Refused to load %1: only http, https and local pages load").arg(url.toString()));
        return false;
    }
    if (!m_policy || !m_policy(url))
        return false;
    if (!m_page) {
        QSWebEngine *engine = QSWebEngineLoader::engine();
        if (!engine)
            return false;
        m_page = engine->createPage(*this, QSFeedSchemeHandler::schemes(), this);
        layout()->addWidget(m_page->widget());
    }
    m_page->load(QSFeedSchemeHandler::servedUrl(url));
    return true;
}

bool QSFeedPageView::acceptsNavigation(const QUrl &url, bool mainFrame)
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

// Nothing reaches the network or the disk past the view's own fetch: what a page asks for from
// elsewhere (another server's picture, a local file) is blocked.
bool QSFeedPageView::acceptsRequest(const QUrl &url)
{
    const bool served = QSFeedSchemeHandler::schemes().contains(url.scheme().toLatin1());
    if (served || url.scheme() == QLatin1String("data") || (url.isLocalFile() && url == m_pageUrl))
        return true;
    platform::logWarning(QStringLiteral("Refused to load %1 into a page").arg(url.toString()));
    return false;
}

void QSFeedPageView::serve(const QUrl &url, QObject *request,
                           std::function<void(const QByteArray &type, const QByteArray &body)> reply,
                           std::function<void(bool refused)> fail)
{
    m_schemes->serve(url, request, std::move(reply), std::move(fail));
}

// A navigation refused is reported as a load that failed; the page shown stays, with its text.
void QSFeedPageView::pageLoaded(const QString &plainText)
{
    m_plainText = plainText;
}
