#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// One GET of an http(s) address into memory, given up when the answer grows beyond a limit.
// Redirects are followed only within the same origin, as any other address is a navigation the
// caller never checked. Starts at once; ending the object ends the fetch. Main thread only.
class QSLimitedFetch : public QObject
{
    Q_OBJECT
public:
    QSLimitedFetch(QNetworkAccessManager &network, const QUrl &url, qsizetype limit, QObject *parent = nullptr);
    ~QSLimitedFetch() override;

    // The answer's media type without parameters ("text/html"), once fetched.
    QByteArray contentType() const;

signals:
    // The address answered after redirects, and the whole answer.
    void fetched(const QUrl &answered, const QByteArray &data);
    // Logged already, as a warning that names the address.
    void failed();

private:
    void received();
    void finished();
    void fail(const QString &reason);

    QUrl m_url;
    qsizetype m_limit;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_received;
    QByteArray m_contentType;
};
