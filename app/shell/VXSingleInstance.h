#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

// One running Foldwise per user. The first process listens on a local socket; a later launch hands
// its files over the socket and ends, and they open in the running one. The socket lives in the
// user's runtime folder, which only the user can enter. GUI thread.
class VXSingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Request {
        OpenFiles, // gathered like every file opened from outside
        Service,   // handed over by another program, opened at once
    };

    // The user's runtime folder joined with "foldwise-" and the user's id.
    static QString defaultServerName();

    explicit VXSingleInstance(const QString &serverName, QObject *parent = nullptr);
    ~VXSingleInstance() override;

    // Sends the files, as absolute paths, to the running instance; false when none listens or
    // it did not take them.
    bool forward(Request request, const QStringList &paths);
    // Becomes the running instance. A socket left behind by an instance that ended is removed
    // first; false (logged) while another instance listens or when the socket cannot be made.
    bool listen();

signals:
    void filesReceived(VXSingleInstance::Request request, const QStringList &paths);

private:
    void acceptConnections();
    void readRequest(const QByteArray &request);

    QString m_serverName;
    QLocalServer m_server;
};
