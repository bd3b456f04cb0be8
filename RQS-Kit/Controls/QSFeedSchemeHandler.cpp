#include "RQS-Kit/Controls/QSFeedSchemeHandler.h"

#include "RQS-Kit/Controls/QSLimitedFetch.h"
#include "platform/foundation/Log.h"

#include <QMimeDatabase>
#include <QPointer>

namespace {

// Far above any newsletter's page, picture or style sheet.
constexpr qsizetype maximumSize = 4 * 1024 * 1024;
// A page with its handful of pictures, one or two style sheets and scripts.
constexpr int maximumRequests = 48;

QByteArray servedScheme(const QString &scheme) { return "qsfeed-" + scheme.toLatin1(); }

} // namespace

const QList<QByteArray> &QSFeedSchemeHandler::schemes()
{
    static const QList<QByteArray> names{servedScheme(QStringLiteral("http")), servedScheme(QStringLiteral("https"))};
    return names;
}

QUrl QSFeedSchemeHandler::realUrl(const QUrl &url)
{
    const QByteArray scheme = url.scheme().toLatin1();
    if (!schemes().contains(scheme))
        return url;
    QUrl real = url;
    real.setScheme(QString::fromLatin1(scheme.mid(int(qstrlen("qsfeed-")))));
    return real;
}

QUrl QSFeedSchemeHandler::servedUrl(const QUrl &url)
{
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
        return url;
    QUrl served = url;
    served.setScheme(QString::fromLatin1(servedScheme(url.scheme())));
    return served;
}

QSFeedSchemeHandler::QSFeedSchemeHandler(QObject *parent)
    : QObject(parent)
{
}

void QSFeedSchemeHandler::setResourcePolicy(Policy policy) { m_policy = std::move(policy); }

void QSFeedSchemeHandler::startPage() { m_requests = 0; }

void QSFeedSchemeHandler::serve(const QUrl &served, QObject *request, Reply reply, std::function<void(bool refused)> fail)
{
    const QUrl url = realUrl(served);
    if (!m_policy || !m_policy(url)) {
        platform::logWarning(QStringLiteral("Refused to load %1 into a newsletter: it is not on the newsletter server").arg(url.toString()));
        fail(true);
        return;
    }
    if (++m_requests > maximumRequests) {
        platform::logWarning(QStringLiteral("A newsletter page asks for more than %1 addresses; %2 is left out")
                                 .arg(maximumRequests).arg(url.toString()));
        fail(true);
        return;
    }
    auto *fetch = new QSLimitedFetch(m_network, url, maximumSize, this);
    const QPointer<QObject> alive = request;
    // A request the engine gives up ends its fetch.
    connect(request, &QObject::destroyed, fetch, &QObject::deleteLater);
    connect(fetch, &QSLimitedFetch::fetched, this, [alive, fetch, reply](const QUrl &answered, const QByteArray &data) {
        fetch->deleteLater();
        if (!alive)
            return;
        // A server that names no type leaves it to the name and the bytes.
        QByteArray type = fetch->contentType();
        if (type.isEmpty())
            type = QMimeDatabase().mimeTypeForFileNameAndData(answered.path(), data).name().toLatin1();
        reply(type, data);
    });
    connect(fetch, &QSLimitedFetch::failed, this, [alive, fetch, fail] {
        fetch->deleteLater();
        if (alive)
            fail(false);
    });
}
