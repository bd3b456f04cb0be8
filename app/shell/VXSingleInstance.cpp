#include "app/shell/VXSingleInstance.h"

#include "platform/foundation/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

// A request is its verb and the paths, UTF-8, each ended by a NUL, which no path contains; the
// sender's disconnection ends it.
namespace {

constexpr int ConnectTimeout = 2000; // milliseconds
constexpr qint64 MaxRequestSize = 4 * 1024 * 1024;

// The word each kind of request starts with.
const QList<std::pair<VXSingleInstance::Request, QByteArray>> &verbs()
{
    static const QList<std::pair<VXSingleInstance::Request, QByteArray>> all{
        {VXSingleInstance::Request::OpenFiles, QByteArrayLiteral("open")},
        {VXSingleInstance::Request::Service, QByteArrayLiteral("service")},
        {VXSingleInstance::Request::AddPDFService, QByteArrayLiteral("add-pdf-service")},
    };
    return all;
}

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// The user the process at the other end of a connected local socket runs as; none when the
// system does not tell (logged).
std::optional<uid_t> peerUser(const QLocalSocket &socket)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) {
        platform::logWarning(QStringLiteral("Could not tell who is at the other end of %1, because %2").arg(socket.serverName(), systemError()));
        return std::nullopt;
    }
    return credentials.uid;
}

bool isThisUser(const std::optional<uid_t> &user) { return user && *user == ::geteuid(); }

QString userName(const std::optional<uid_t> &user) { return user ? QStringLiteral("user %1").arg(*user) : QStringLiteral("an unknown user"); }

} // namespace

QString VXSingleInstance::defaultServerName()
{
    const QString name = QStringLiteral("foldwise-%1").arg(::geteuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString reason;
    if (!runtime.isEmpty()) {
        if (isPrivateFolder(runtime, &reason))
            return QDir(runtime).filePath(name);
        platform::logWarning(QStringLiteral("Foldwise's socket is not put into the runtime folder %1, because %2").arg(runtime, reason));
    }
    // Everyone may write in the temporary folder: the socket goes into a folder of the user's own
    // there. One that someone else made first is found out when the socket is used.
    const QString folder = QDir(QDir::tempPath()).filePath(name);
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        platform::logWarning(QStringLiteral("Could not make the folder %1 for Foldwise's socket, because %2").arg(folder, systemError()));
    return QDir(folder).filePath(QStringLiteral("socket"));
}

bool VXSingleInstance::isPrivateFolder(const QString &folder, QString *reason)
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return refuse(systemError());
    if (S_ISLNK(info.st_mode))
        return refuse(QStringLiteral("it is a symbolic link"));
    if (!S_ISDIR(info.st_mode))
        return refuse(QStringLiteral("it is no folder"));
    if (info.st_uid != ::geteuid())
        return refuse(QStringLiteral("it belongs to user %1").arg(info.st_uid));
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return refuse(QStringLiteral("others may write in it (mode %1)").arg(info.st_mode & 07777, 4, 8, QLatin1Char('0')));
    return true;
}

VXSingleInstance::VXSingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_serverName(serverName)
{
    connect(&m_server, &QLocalServer::newConnection, this, &VXSingleInstance::acceptConnections);
}

VXSingleInstance::~VXSingleInstance() = default;

bool VXSingleInstance::socketFolderIsPrivate(const QString &doing) const
{
    // A bare name would be put into the temporary folder, which is everyone's.
    QString reason = QStringLiteral("it names no folder");
    const QString folder = QFileInfo(m_serverName).path();
    if (QDir::isAbsolutePath(m_serverName) && isPrivateFolder(folder, &reason))
        return true;
    platform::logWarning(QStringLiteral("%1 on %2, because its folder is not private: %3").arg(doing, m_serverName, reason));
    return false;
}

bool VXSingleInstance::forward(Request request, const QStringList &paths)
{
    if (!socketFolderIsPrivate(QStringLiteral("Did not hand the files to a running Foldwise")))
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(ConnectTimeout))
        return false;
    // Not a word to a socket that someone else listens on.
    if (const std::optional<uid_t> peer = peerUser(socket); !isThisUser(peer)) {
        platform::logWarning(QStringLiteral("Did not hand the files to the Foldwise on %1, because %2 listens there").arg(m_serverName, userName(peer)));
        socket.abort();
        return false;
    }
    QByteArray bytes;
    for (const auto &[known, verb] : verbs()) {
        if (known == request)
            bytes = verb + '\0';
    }
    for (const QString &path : paths)
        bytes += QFileInfo(path).absoluteFilePath().toUtf8() + '\0';
    socket.write(bytes);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(ConnectTimeout)) {
            platform::logWarning(QStringLiteral("Could not hand the files to the running Foldwise, because %1").arg(socket.errorString()));
            return false;
        }
    }
    socket.disconnectFromServer();
    return true;
}

bool VXSingleInstance::listen()
{
    if (!socketFolderIsPrivate(QStringLiteral("Could not listen")))
        return false;
    if (m_server.listen(m_serverName))
        return true;
    if (m_server.serverError() == QAbstractSocket::AddressInUseError) {
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        QString leftBy = QStringLiteral("a Foldwise that ended");
        if (probe.waitForConnected(ConnectTimeout)) {
            const std::optional<uid_t> peer = peerUser(probe);
            if (isThisUser(peer)) {
                platform::logWarning(QStringLiteral("Another Foldwise already listens on %1").arg(m_serverName));
                return false;
            }
            leftBy = QStringLiteral("%1, who listened on it").arg(userName(peer));
            probe.abort();
        }
        QLocalServer::removeServer(m_serverName);
        if (m_server.listen(m_serverName)) {
            platform::logInfo(QStringLiteral("Replaced the socket %1 left by %2").arg(m_serverName, leftBy));
            return true;
        }
    }
    platform::logError(QStringLiteral("Could not listen on %1, because %2").arg(m_serverName, m_server.errorString()));
    return false;
}

void VXSingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        if (const std::optional<uid_t> peer = peerUser(*socket); !isThisUser(peer)) {
            platform::logWarning(QStringLiteral("Refused a request from %1 on %2").arg(userName(peer), m_serverName));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(MaxRequestSize + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() <= MaxRequestSize)
                return;
            platform::logWarning(QStringLiteral("Dropped a request of more than %1 bytes from another Foldwise").arg(MaxRequestSize));
            socket->disconnect(this);
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            readRequest(socket->readAll());
            socket->deleteLater();
        });
    }
}

void VXSingleInstance::readRequest(const QByteArray &request)
{
    // A connection without a word only asked whether this instance is alive.
    if (request.isEmpty())
        return;
    QList<QByteArray> fields = request.split('\0');
    // The last NUL ends the last field rather than starting another.
    if (!fields.isEmpty() && fields.last().isEmpty())
        fields.removeLast();
    const QByteArray verb = fields.isEmpty() ? QByteArray() : fields.takeFirst();
    const auto known = std::find_if(verbs().begin(), verbs().end(), [&](const auto &entry) { return entry.second == verb; });
    if (known == verbs().end()) {
        platform::logWarning(QStringLiteral("Ignored a request \"%1\" from another Foldwise").arg(QString::fromUtf8(verb.left(40))));
        return;
    }
    QStringList paths;
    for (const QByteArray &field : std::as_const(fields)) {
        const QString path = QString::fromUtf8(field);
        if (QDir::isAbsolutePath(path))
            paths << path;
        else
            platform::logWarning(QStringLiteral("Ignored \"%1\" from another Foldwise, because it is no absolute path").arg(path));
    }
    emit filesReceived(known->first, paths);
}
