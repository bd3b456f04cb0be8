#include "app/shell/VXSingleInstance.h"

#include "platform/foundation/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

// A request is its verb and the paths, UTF-8, each ended by a NUL, which no path contains; the
// sender's disconnection ends it.
namespace {

constexpr int ConnectTimeout = 2000; // milliseconds
constexpr qint64 MaxRequestSize = 4 * 1024 * 1024;
const QByteArray OpenFilesVerb = QByteArrayLiteral("open");
const QByteArray ServiceVerb = QByteArrayLiteral("service");

} // namespace

QString VXSingleInstance::defaultServerName()
{
    const QString name = QStringLiteral("foldwise-%1").arg(::getuid());
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

VXSingleInstance::VXSingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_serverName(serverName)
{
    connect(&m_server, &QLocalServer::newConnection, this, &VXSingleInstance::acceptConnections);
}

VXSingleInstance::~VXSingleInstance() = default;

bool VXSingleInstance::forward(Request request, const QStringList &paths)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(ConnectTimeout))
        return false;
    QByteArray bytes = request == Request::Service ? ServiceVerb : OpenFilesVerb;
    bytes += '\0';
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
    if (m_server.listen(m_serverName))
        return true;
    if (m_server.serverError() == QAbstractSocket::AddressInUseError) {
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        if (probe.waitForConnected(ConnectTimeout)) {
            platform::logWarning(QStringLiteral("Another Foldwise already listens on %1").arg(m_serverName));
            return false;
        }
        QLocalServer::removeServer(m_serverName);
        if (m_server.listen(m_serverName)) {
            platform::logInfo(QStringLiteral("Replaced the socket %1 left by a Foldwise that ended").arg(m_serverName));
            return true;
        }
    }
    platform::logError(QStringLiteral("Could not listen on %1, because %2").arg(m_serverName, m_server.errorString()));
    return false;
}

void VXSingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
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
    if (verb != OpenFilesVerb && verb != ServiceVerb) {
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
    emit filesReceived(verb == ServiceVerb ? Request::Service : Request::OpenFiles, paths);
}
