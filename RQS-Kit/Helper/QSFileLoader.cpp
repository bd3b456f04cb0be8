#include "RQS-Kit/Helper/QSFileLoader.h"

#include "RQS-Kit/Helper/QSFileLoaderDelegate.h"
#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"

#include <QNetworkReply>
#include <QNetworkRequest>

std::unique_ptr<QSFileLoader> QSFileLoader::download(const QString &address, const QString &path,
                                                     const QVariant &context,
                                                     platform::Delegate<QSFileLoaderDelegate> delegate)
{
    std::unique_ptr<QSFileLoader> loader = fileDownloaderFor(address, path, context);
    loader->setDelegate(delegate);
    loader->startDownload();
    return loader;
}

std::unique_ptr<QSFileLoader> QSFileLoader::fileDownloaderFor(const QString &address, const QString &path,
                                                              const QVariant &context)
{
    return std::unique_ptr<QSFileLoader>(new QSFileLoader(address, path, context));
}

QSFileLoader::QSFileLoader(const QString &address, const QString &path, const QVariant &context)
    : m_fileUrl(address), m_fileName(path), m_context(context)
{
}

QSFileLoader::~QSFileLoader() { stop(); }

QString QSFileLoader::fileUrl() const { return m_fileUrl; }

void QSFileLoader::setFileUrl(const QString &fileUrl) { m_fileUrl = fileUrl; }

QString QSFileLoader::fileName() const { return m_fileName; }

void QSFileLoader::setFileName(const QString &fileName) { m_fileName = fileName; }

QVariant QSFileLoader::context() const { return m_context; }

void QSFileLoader::setContext(const QVariant &context) { m_context = context; }

QSFileLoaderDelegate *QSFileLoader::delegate() const { return m_delegate.get(); }

void QSFileLoader::setDelegate(platform::Delegate<QSFileLoaderDelegate> delegate) { m_delegate.set(delegate); }

qint64 QSFileLoader::expectedLength() const { return m_expectedLength; }

void QSFileLoader::startDownload()
{
    stop();
    m_activeDownload.clear();
    m_expectedLength = -1;
    QNetworkReply *reply = m_network.get(QNetworkRequest(QUrl(m_fileUrl)));
    m_activeConnection = reply;
    // The reply is the context, so nothing reaches this loader once the reply is let go.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        m_expectedLength = length.isValid() ? length.toLongLong() : -1;
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [this] { received(); });
    QObject::connect(reply, &QNetworkReply::finished, reply, [this] { finished(); });
}

void QSFileLoader::cancel()
{
    stop();
    m_activeDownload.clear();
    if (QSFileLoaderDelegate *delegate = m_delegate.get())
        delegate->fileLoaderDidCancel(this);
}

void QSFileLoader::received()
{
    m_activeDownload += m_activeConnection->readAll();
    // An error page is no progress towards the file.
    const bool errorPage = m_activeConnection->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400;
    QSFileLoaderDelegate *delegate = m_delegate.get();
    if (m_expectedLength > 0 && !errorPage && delegate)
        delegate->fileLoader(this, double(m_activeDownload.size()) / double(m_expectedLength));
}

void QSFileLoader::finished()
{
    QNetworkReply *reply = m_activeConnection;
    m_activeDownload += reply->readAll();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    stop();

    if (error != QNetworkReply::NoError)
        return fail(errorText);
    if (status >= 400)
        return fail(QStringLiteral("the server answered with status %1").arg(status));
    if (m_expectedLength >= 0 && m_activeDownload.size() != m_expectedLength)
        return fail(QStringLiteral("the connection ended after %1 of %2 bytes").arg(m_activeDownload.size()).arg(m_expectedLength));

    QString reason;
    if (!platform::AtomicFileWriter::write(m_fileName, m_activeDownload, &reason))
        return fail(reason);
    m_activeDownload.clear();
    if (QSFileLoaderDelegate *delegate = m_delegate.get())
        delegate->fileLoaderDidFinish(this);
}

void QSFileLoader::stop()
{
    if (!m_activeConnection)
        return;
    QNetworkReply *reply = m_activeConnection;
    m_activeConnection.clear();
    QObject::disconnect(reply, nullptr, reply, nullptr);
    reply->abort();
    reply->deleteLater();
}

void QSFileLoader::fail(const QString &error)
{
    m_activeDownload.clear();
    platform::logWarning(QStringLiteral("Downloading %1 failed (%2), because %3").arg(m_fileUrl, m_fileName, error));
    if (QSFileLoaderDelegate *delegate = m_delegate.get())
        delegate->fileLoaderDidFail(this, error);
}
