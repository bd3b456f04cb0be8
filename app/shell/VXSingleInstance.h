#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

// One running Foldwise per user. The first process listens on a local socket; a later launch hands
// its files over the socket and ends, and they open in the running one. The socket lives only in
// a folder that the user owns and no one else may enter, and both ends take the other for a
// Foldwise of the user only when the socket's peer is the same user: another user could otherwise
// learn, and swallow, the files the user opens. GUI thread.
class VXSingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Request {
        OpenFiles,     // gathered like every file opened from outside
        Service,       // handed over by another program, opened at once
        AddPDFService, // add the Foldwise printer; no paths
    };

    // "foldwise-" and the user's id, in the user's runtime folder when that is private; otherwise
    // "socket" in a folder of that name made in the temporary folder (mode 0700).
    static QString defaultServerName();
    // The socket's folder is the user's own, a real folder and closed to everyone else; otherwise
    // false, with the reason.
    static bool isPrivateFolder(const QString &folder, QString *reason);

    explicit VXSingleInstance(const QString &serverName, QObject *parent = nullptr);
    ~VXSingleInstance() override;

    // Sends the files, as absolute paths, to the running instance; false when none listens, it did
    // not take them, or the socket or its folder is not the user's own (logged).
    bool forward(Request request, const QStringList &paths);
    // Becomes the running instance. A socket left behind by an instance that ended is removed
    // first; false (logged) while another instance listens, when the socket's folder is not
    // private or when the socket cannot be made.
    bool listen();

signals:
    void filesReceived(VXSingleInstance::Request request, const QStringList &paths);

private:
    bool socketFolderIsPrivate(const QString &doing) const;
    void acceptConnections();
    void readRequest(const QByteArray &request);

    QString m_serverName;
    QLocalServer m_server;
};
