#pragma once

#include "RQS-Kit/Helper/QSFileLoaderDelegate.h"
#include "platform/foundation/WeakDelegate.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <memory>

class QNetworkReply;

// Downloads one address into a file and reports to its delegate on the GUI thread. The file is
// replaced only by a complete download: an HTTP error, a broken connection or a failed write
// leaves it as it was and is reported as a failure. Destroying the loader stops the download.
class QSFileLoader : public QObject
{
    Q_OBJECT
public:
    // Made and started at once.
    static std::unique_ptr<QSFileLoader> download(const QString &address, const QString &path, const QVariant &context,
                                                  platform::Delegate<QSFileLoaderDelegate> delegate);
    // Made, not started.
    static std::unique_ptr<QSFileLoader> fileDownloaderFor(const QString &address, const QString &path,
                                                           const QVariant &context);
    ~QSFileLoader() override;

    QString fileUrl() const;
    void setFileUrl(const QString &fileUrl);
    QString fileName() const;
    void setFileName(const QString &fileName);
    // The caller's value, carried unchanged.
    QVariant context() const;
    void setContext(const QVariant &context);
    // A QObject (nothing else compiles), held weakly: from its end on the loader tells nobody.
    QSFileLoaderDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSFileLoaderDelegate> delegate);
    // The length the server announced; -1 when it announced none.
    qint64 expectedLength() const;

    // Starts anew, dropping a download under way.
    void startDownload();
    void cancel();

private:
    QSFileLoader(const QString &address, const QString &path, const QVariant &context);
    void received();
    void finished();
    void stop();
    void fail(const QString &error);

    QString m_fileUrl;
    QString m_fileName;
    QVariant m_context;
    platform::WeakDelegate<QSFileLoaderDelegate, QSFileLoader> m_delegate;
    qint64 m_expectedLength = -1;
    QByteArray m_activeDownload;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_activeConnection;
};
