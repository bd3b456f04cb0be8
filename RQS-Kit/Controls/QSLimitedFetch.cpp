#include "RQS-Kit/Controls/QSLimitedFetch.h"

#include "platform/foundation/Log.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

QSLimitedFetch::QSLimitedFetch(QNetworkAccessManager &network, const QUrl &url, qsizetype limit, QObject *parent)
    : QObject(parent)
    , m_url(url)
    , m_limit(limit)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    m_reply = network.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &QSLimitedFetch::received);
    connect(m_reply, &QNetworkReply::finished, this, &QSLimitedFetch::finished);
}

QSLimitedFetch::~QSLimitedFetch()
{
    if (m_reply) {
        QObject::disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
        m_reply->deleteLater();
    }
}


QByteArray QSLimitedFetch::contentType() const { return m_contentType; }

void QSLimitedFetch::received()
{
    m_received += m_reply->readAll();
    if (m_received.size() > m_limit)
        fail(QStringLiteral("it is larger than %1 bytes").arg(m_limit));
}

void QSLimitedFetch::finished()
{
    m_received += m_reply->readAll();
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_received.size() > m_limit) {
        fail(QStringLiteral("it is larger than %1 bytes").arg(m_limit));
    } else if (m_reply->error() != QNetworkReply::NoError || status >= 400) {
        fail(m_reply->errorString());
    } else {
        const QUrl answered = m_reply->url();
        m_contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toByteArray().split(';').value(0).trimmed();
        m_reply->deleteLater();
        m_reply.clear();
        emit fetched(answered, std::exchange(m_received, {}));
    }
}

void QSLimitedFetch::fail(const QString &reason)
{
    platform::logWarning(QStringLiteral("Could not load %1, because %2").arg(m_url.toString(), reason));
    QObject::disconnect(m_reply, nullptr, this, nullptr);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply.clear();
    m_received.clear();
    emit failed();
}
