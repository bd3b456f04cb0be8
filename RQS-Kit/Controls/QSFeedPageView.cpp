#include "RQS-Kit/Controls/QSFeedPageView.h"

#include "platform/foundation/Log.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextDocument>

namespace {

// Far above any newsletter; a larger answer is no page for this view.
constexpr qsizetype maximumPageSize = 4 * 1024 * 1024;
// Per page: a newsletter has a handful of pictures and one or two style sheets.
constexpr int maximumResources = 48;
constexpr qsizetype maximumResourceSize = 4 * 1024 * 1024;
// A picture of more pixels than this is no newsletter's (and would take much memory decoded).
constexpr qint64 maximumPicturePixels = 4096LL * 4096;

bool isWebAddress(const QUrl &url) { return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"); }

// The text browser imports only style sheets whose link says type="text/css", which pages may
// leave out.
QString withStyleSheetTypes(const QString &html)
{
    static const QRegularExpression link(QStringLiteral(R"(<link\b(?![^>]*\btype\s*=)(?=[^>]*\brel\s*=\s*["']?stylesheet\b))"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString typed = html;
    return typed.replace(link, QStringLiteral(R"(<link type="text/css")"));
}

QVariant picture(const QUrl &url, const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > maximumPicturePixels) {
        platform::logWarning(QStringLiteral("The picture %1 is no picture of at most %2 pixels").arg(url.toString()).arg(maximumPicturePixels));
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull())
        platform::logWarning(QStringLiteral("The picture %1 could not be read: %2").arg(url.toString(), reader.errorString()));
    return image.isNull() ? QVariant() : QVariant(image);
}

} // namespace

QSFeedPageView::QSFeedPageView(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) { navigate(m_pageUrl.resolved(link)); });
}

void QSFeedPageView::setNavigationPolicy(Policy policy) { m_policy = std::move(policy); }

void QSFeedPageView::setResourcePolicy(Policy policy) { m_resourcePolicy = std::move(policy); }

QUrl QSFeedPageView::pageUrl() const { return m_pageUrl; }

QVariant QSFeedPageView::loadResource(int type, const QUrl &name)
{
    const QUrl url = m_pageUrl.resolved(name);
    if (m_resources.contains(url))
        return m_resources.value(url);
    if ((type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource) || !isWebAddress(m_pageUrl)
        || !isWebAddress(url) || !m_resourcePolicy || !m_resourcePolicy(url))
        return {};
    if (m_resources.size() >= maximumResources) {
        platform::logWarning(QStringLiteral("The page %1 asks for more than %2 pictures and style sheets; %3 is left out")
                                 .arg(m_pageUrl.toString()).arg(maximumResources).arg(url.toString()));
        return {};
    }
    m_resources.insert(url, QVariant());
    auto *fetch = new QSLimitedFetch(m_network, url, maximumResourceSize, this);
    m_resourceFetches.append(fetch);
    ++m_pendingResources;
    connect(fetch, &QSLimitedFetch::fetched, this, [this, fetch, type](const QUrl &, const QByteArray &data) {
        resourceFetched(type, fetch->url(), data);
        fetch->deleteLater();
    });
    connect(fetch, &QSLimitedFetch::failed, this, [this, fetch] {
        resourceEnded();
        fetch->deleteLater();
    });
    return {};
}

void QSFeedPageView::resourceFetched(int type, const QUrl &url, const QByteArray &data)
{
    m_resources.insert(url, type == QTextDocument::ImageResource ? picture(url, data) : QVariant(QString::fromUtf8(data)));
    resourceEnded();
}

// Showing the page again lets the document ask for what has arrived; the reader keeps his place.
void QSFeedPageView::resourceEnded()
{
    if (--m_pendingResources > 0)
        return;
    const int position = verticalScrollBar()->value();
    setHtml(m_html);
    verticalScrollBar()->setValue(position);
}

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
    if (!isWebAddress(url)) {
        platform::logWarning(QStringLiteral("Refused to load %1: only http, https and local pages load").arg(url.toString()));
        return false;
    }
    delete m_pageFetch;
    m_pageFetch = new QSLimitedFetch(m_network, url, maximumPageSize, this);
    connect(m_pageFetch, &QSLimitedFetch::fetched, this, &QSFeedPageView::pageFetched);
    connect(m_pageFetch, &QSLimitedFetch::failed, m_pageFetch, &QObject::deleteLater);
    return true;
}

void QSFeedPageView::pageFetched(const QUrl &url, const QByteArray &html)
{
    m_pageFetch->deleteLater();
    show(url, html);
}

void QSFeedPageView::show(const QUrl &url, const QByteArray &html)
{
    for (const QPointer<QSLimitedFetch> &fetch : std::as_const(m_resourceFetches))
        delete fetch;
    m_resourceFetches.clear();
    m_resources.clear();
    m_pendingResources = 0;
    m_pageUrl = url;
    m_html = withStyleSheetTypes(QString::fromUtf8(html));
    document()->setBaseUrl(url);
    setHtml(m_html);
}
