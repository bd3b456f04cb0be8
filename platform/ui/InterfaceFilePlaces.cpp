#include "platform/ui/InterfaceFilePlaces.h"

#include "platform/foundation/Bundle.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

QStringList InterfaceFilePlaces::highResolutionNames(const QString &path)
{
    qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0)
        dot = path.size();
    else if (dot >= 2 && path.at(dot - 1) == u'9' && path.at(dot - 2) == u'.')
        dot -= 2;
    QStringList names;
    for (int n = 2; n <= 9; ++n)
        names.append(QString(path).insert(dot, QStringLiteral("@%1x").arg(n)));
    return names;
}

InterfaceFilePlaces InterfaceFilePlaces::of(const QString &interfaceFile)
{
    return InterfaceFilePlaces({QFileInfo(interfaceFile).absolutePath(), Bundle::mainBundle()->bundlePath()});
}

InterfaceFilePlaces::InterfaceFilePlaces(const QStringList &folders)
    : m_start(folders.value(0))
{
    for (const QString &folder : folders) {
        // A bundle without a folder offers none, not the working folder.
        if (folder.isEmpty())
            continue;
        m_folders.append(QDir::cleanPath(QDir(folder).absolutePath()));
        if (const QString canonical = QDir(folder).canonicalPath(); !canonical.isEmpty())
            m_folders.append(canonical);
    }
    m_folders.removeDuplicates();
}

QString InterfaceFilePlaces::pictureRefusal(const QString &name) const
{
    const QString path = picturePath(name);
    return path.isEmpty() ? QString() : pathRefusal(path);
}

QString InterfaceFilePlaces::picturePath(const QString &name) const
{
    if (name.isEmpty() || name.startsWith(u':'))
        return {};
    // As Qt's loader makes the path.
    return QFileInfo(QDir(m_start), name).absoluteFilePath();
}

QString InterfaceFilePlaces::absoluteRefusal(const QString &name) const
{
    if (name.isEmpty() || name.startsWith(u':'))
        return {};
    if (!QDir::isAbsolutePath(name))
        return QStringLiteral("which is neither an absolute path nor one of Qt's resources");
    // Qt reads the name as a URL, with its escapes undone, and then as it stands.
    QUrl url(name);
    url.setScheme(QStringLiteral("file"));
    if (const QString refused = pathRefusal(url.toLocalFile()); !refused.isEmpty())
        return refused;
    return pathRefusal(name);
}

QString InterfaceFilePlaces::pathRefusal(const QString &path) const
{
    QStringList names{path};
    names += highResolutionNames(path);
    for (const QString &name : std::as_const(names)) {
        const QFileInfo info(name);
        // Nothing there yet is nothing to read, but where it would be must be inside too: where a
        // link that leads nowhere yet points.
        const QString canonical = info.canonicalFilePath();
        const QString where = !canonical.isEmpty() ? canonical
                            : info.isSymLink()     ? QDir::cleanPath(info.symLinkTarget())
                                                   : QDir::cleanPath(info.absoluteFilePath());
        QString refused = placeRefusal(where);
        if (refused.isEmpty() && !canonical.isEmpty() && !QFileInfo(canonical).isFile())
            refused = QStringLiteral("is no regular file");
        if (refused.isEmpty())
            continue;
        if (name == path)
            return QStringLiteral("which %1").arg(refused);
        return QStringLiteral("whose version \"%1\" for screens of a higher resolution %2").arg(QFileInfo(name).fileName(), refused);
    }
    return {};
}

QString InterfaceFilePlaces::placeRefusal(const QString &path) const
{
    for (const QString &folder : m_folders) {
        if (folder == QLatin1String("/") || path.startsWith(folder + u'/'))
            return {};
    }
    return QStringLiteral("lies outside the interface file's folder and the application's resources");
}

} // namespace platform
