#include "RQS-Kit/Controls/QSFeedPageView.h"

#include "platform/foundation/Log.h"

#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// Far above any newsletter; a larger answer is no page for this view.
constexpr qsizetype maximumPageSize = 4 * 1024 * 1024;

} // namespace

QSFeedPageView::QSFeedPageView(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) { navigate(m_pageUrl.resolved(link)); });
}

void QSFeedPageView::setNavigationPolicy(NavigationPolicy policy) { m_policy = std::move(policy); }

QUrl QSFeedPageView::pageUrl() const { return m_pageUrl; }

QVariant QSFeedPageView::loadResource(int, const QUrl &) { return {}; }

bool QSFeedPageView::navigate(const QUrl &url)
{
    if (!m_policy || !m_policy(url))
        return false;
    if (url.isLocalFile()) {
        QFile page(url.toLocalFile());
        if (!page.open(QIODevice::ReadOnly)) {
            platform::logWarning(QStringLiteral("Could not read the page %1, because %2").arg(url.toString(), page.errorString()));
            return false;
        }
        show(url, page.read(maximumPageSize));
        return true;
    }
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        platform::logWarning(QStringLiteral("Refused to load %1: only http, https and local pages load").arg(url.toString()));
        return false;
    }
    fetch(url);
    return true;
}

void QSFeedPageView::fetch(const QUrl &url)
{
    if (m_reply) {
        QObject::disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
        m_reply->deleteLater();
    }
    m_received.clear();
    QNetworkRequest request(url);
    // A redirect is a navigation the policy never saw; only the same origin is followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &QSFeedPageView::received);
    connect(m_reply, &QNetworkReply::finished, this, &QSFeedPageView::finished);
}

void QSFeedPageView::received()
{
    m_received += m_reply->readAll();
    if (m_received.size() > maximumPageSize) {
        platform::logWarning(QStringLiteral("The page %1 is larger than %2 bytes and was not shown").arg(m_reply->url().toString()).arg(maximumPageSize));
        QObject::disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
        m_reply->deleteLater();
        m_received.clear();
    }
}

void QSFeedPageView::finished()
{
    QNetworkReply *reply = m_reply;
    m_reply.clear();
    reply->deleteLater();
    m_received += reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status >= 400) {
        platform::logWarning(QStringLiteral("Could not load the page %1, because %2").arg(reply->request().url().toString(), reply->errorString()));
        m_received.clear();
        return;
    }
    show(reply->url(), m_received);
    m_received.clear();
}

void QSFeedPageView::show(const QUrl &url, const QByteArray &html)
{
    m_pageUrl = url;
    document()->setBaseUrl(url);
    setHtml(QString::fromUtf8(html));
}
