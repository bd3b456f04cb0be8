#include "RQS-Kit/Foundation/QSTempCleaner.h"

#include "RQS-Kit/Foundation/FileManagerExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

bool isInsideTempFolder(const QString &path)
{
    const QString root = platform::TempFolder::path();
    return !root.isEmpty() && QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(root + QLatin1Char('/'));
}

QString copyName(quint64 counter, const QString &baseName, const QString &options, const QString &extension)
{
    QString name = QStringLiteral("RQS-X#%1#%2").arg(counter, 3, 10, QLatin1Char('0')).arg(baseName);
    if (!options.isEmpty())
        name += QLatin1Char('#') + options;
    if (!extension.isEmpty())
        name += QLatin1Char('.') + extension;
    return name;
}

} // namespace

QString QSCreateRandomTempFolder()
{
    const QString root = platform::TempFolder::path();
    if (root.isEmpty())
        return {};
    QString error;
    const QString path = rqs::createUniqueFolder(root, &error);
    if (path.isEmpty())
        platform::logWarning(QStringLiteral("Could not create folder %1 because %2").arg(root, error));
    return path;
}

QSTempCleaner::QSTempCleaner()
    : m_resourcePath(QSCreateRandomTempFolder())
{
    if (QCoreApplication *application = QCoreApplication::instance())
        m_quitConnection = QObject::connect(application, &QCoreApplication::aboutToQuit,
                                            [this] { applicationWillQuit(); });
}

QSTempCleaner::~QSTempCleaner()
{
    QObject::disconnect(m_quitConnection);
    flush();
}

QSTempCleaner &QSTempCleaner::sharedTempCleaner()
{
    static QSTempCleaner cleaner;
    return cleaner;
}

bool QSTempCleaner::addURL(const QUrl &url)
{
    if (!url.isLocalFile() || !isInsideTempFolder(url.toLocalFile())) {
        platform::logWarning(QStringLiteral("Not removing %1 at the end: it is no temporary file").arg(url.toString()));
        return false;
    }
    m_tempURLs.append(url);
    return true;
}

bool QSTempCleaner::addFile(const QString &path) { return addURL(QUrl::fromLocalFile(path)); }

QUrl QSTempCleaner::fileURLForName(const QString &name)
{
    if (!rqs::isPlainFileName(name)) {
        platform::logWarning(QStringLiteral("Refusing the temporary file name '%1'").arg(name));
        return {};
    }
    const QString folder = QSCreateRandomTempFolder();
    if (folder.isEmpty())
        return {};
    const QUrl url = QUrl::fromLocalFile(folder + QLatin1Char('/') + name);
    addURL(url);
    return url;
}

QUrl QSTempCleaner::tempCopyURLFor(const QUrl &source, const QString &baseName)
{
    const QString sourcePath = source.toLocalFile();
    const QSResourceInfo info = rqs::resourceInfo(sourcePath);
    const QString name = copyName(m_resourceCounter++, baseName.isEmpty() ? info.name() : baseName, info.options(),
                                  QFileInfo(sourcePath).suffix());
    const QString copy = m_resourcePath + QLatin1Char('/') + name;
    QString error = QStringLiteral("there is no temporary folder");
    if (m_resourcePath.isEmpty() || !rqs::copyFileExclusively(sourcePath, copy, &error)) {
        platform::logWarning(QStringLiteral("Could not copy %1 to %2 for this reason %3").arg(source.toString(), copy, error));
        return {};
    }
    const QUrl url = QUrl::fromLocalFile(copy);
    addURL(url);
    return url;
}

void QSTempCleaner::flush()
{
    const QString root = platform::TempFolder::path();
    for (const QUrl &url : std::as_const(m_tempURLs)) {
        const QFileInfo info(url.toLocalFile());
        if (info.isDir() && !info.isSymLink())
            QDir(info.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(info.absoluteFilePath());
        // rmdir takes a folder only when it is empty; the private folder itself goes at exit.
        if (info.absolutePath() != root)
            QDir().rmdir(info.absolutePath());
    }
    m_tempURLs.clear();
}

void QSTempCleaner::applicationWillQuit() { flush(); }

QList<QUrl> QSTempCleaner::tempURLs() const { return m_tempURLs; }

QString QSTempCleaner::resourcePath() const { return m_resourcePath; }

quint64 QSTempCleaner::resourceCounter() const { return m_resourceCounter; }

QUrl QSTempCleaner::tempURLWithExtension(const QString &extension)
{
    const QString root = platform::TempFolder::path();
    if (root.isEmpty())
        return {};
    QString error;
    const QString path = extension.isEmpty() ? rqs::createUniqueFolder(root, &error)
                                             : rqs::createUniqueFile(root, extension, &error);
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("Could not create a temporary file in %1, because %2").arg(root, error));
        return {};
    }
    return QUrl::fromLocalFile(path);
}

QString QSTempCleaner::tempCopyFor(const QUrl &source, const QString &baseName)
{
    const QUrl copy = sharedTempCleaner().tempCopyURLFor(source, baseName);
    if (copy.isEmpty())
        return {};
    return QDir(platform::TempFolder::path()).relativeFilePath(copy.toLocalFile());
}
