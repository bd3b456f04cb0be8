#include "platform/foundation/TempFolder.h"

#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

struct PrivateFolder
{
    QString path;

    PrivateFolder()
    {
        const QString name = QCoreApplication::applicationName().isEmpty()
            ? QStringLiteral("foldwise")
            : QCoreApplication::applicationName().toLower();
        QByteArray pattern = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral("-XXXXXX"));
        // mkdtemp creates the folder exclusively with mode 0700 under an unpredictable name.
        if (::mkdtemp(pattern.data()))
            path = QFile::decodeName(pattern);
        else
            logError(QStringLiteral("Could not create the temporary folder in %1, because %2")
                         .arg(QDir::tempPath(), QString::fromLocal8Bit(std::strerror(errno))));
    }

    ~PrivateFolder()
    {
        if (!path.isEmpty())
            QDir(path).removeRecursively();
    }
};

} // namespace

QString TempFolder::path()
{
    static PrivateFolder folder;
    return folder.path;
}

} // namespace platform
