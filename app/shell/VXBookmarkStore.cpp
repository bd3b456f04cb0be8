#include "app/shell/VXBookmarkStore.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString VXBookmarkStore::defaultFilePath()
{
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
    const QString folder = folders.isEmpty() ? QDir::homePath() : folders.last();
    return QDir(folder).filePath(QStringLiteral("Boomarks.plist"));
}

VXBookmarkStore::VXBookmarkStore(const QString &filePath)
    : m_filePath(filePath)
{
    load();
}

void VXBookmarkStore::load()
{
    if (!QFileInfo::exists(m_filePath))
        return;
    QString error;
    const QVariant content = platform::PropertyList::read(m_filePath, &error);
    if (content.typeId() != QMetaType::QVariantMap) {
        keepDamagedFileAside(error.isEmpty() ? QStringLiteral("it holds no dictionary") : error);
        return;
    }
    m_bookmarks = content.toMap();
}

void VXBookmarkStore::keepDamagedFileAside(const QString &reason)
{
    const QFileInfo file(m_filePath);
    QString aside;
    for (int number = 1; aside.isEmpty() || QFileInfo::exists(aside); ++number)
        aside = file.dir().filePath(QStringLiteral("%1 (damaged %2).%3").arg(file.completeBaseName()).arg(number).arg(file.suffix()));
    if (QFile::rename(m_filePath, aside)) {
        platform::logError(QStringLiteral("Could not read the bookmarks in %1, because %2; kept it as %3").arg(m_filePath, reason, aside));
        return;
    }
    platform::logError(QStringLiteral("Could not read the bookmarks in %1, because %2; it cannot be moved aside, so no bookmark is written")
                           .arg(m_filePath, reason));
    // Writing is what would lose it.
    m_filePath.clear();
}

void VXBookmarkStore::activateBookmarks(bool start)
{
    // Linux grants access through the file's permissions: there is nothing to start or end, only
    // the bookmarks to bring up to date.
    bool changed = false;
    const QStringList keys = m_bookmarks.keys();
    for (const QString &key : keys) {
        const QVariant data = m_bookmarks.value(key);
        const QString stored = data.typeId() == QMetaType::QByteArray ? QString::fromUtf8(data.toByteArray()) : QString();
        const QString resolved = stored.isEmpty() ? QString() : QFileInfo(stored).canonicalFilePath();
        if (resolved.isEmpty()) {
            if (start)
                platform::logInfo(QStringLiteral("The bookmarked file %1 is not there; its bookmark is kept").arg(key));
            continue;
        }
        if (resolved == stored && resolved == key)
            continue;
        m_bookmarks.remove(key);
        m_bookmarks.insert(resolved, resolved.toUtf8());
        changed = true;
    }
    if (changed)
        write();
}

bool VXBookmarkStore::saveBookmarkForURL(const QUrl &url)
{
    const QString path = url.isLocalFile() ? QFileInfo(url.toLocalFile()).canonicalFilePath() : QString();
    if (path.isEmpty())
        platform::logWarning(QStringLiteral("Cannot create Bookmark, because %1 is no file that exists").arg(url.toDisplayString()));
    else
        m_bookmarks.insert(path, path.toUtf8());
    return write() && !path.isEmpty();
}

QVariantMap VXBookmarkStore::bookmarks() const { return m_bookmarks; }

bool VXBookmarkStore::write()
{
    if (m_filePath.isEmpty())
        return false;
    QString error;
    if (QDir().mkpath(QFileInfo(m_filePath).path()) && platform::PropertyList::write(m_bookmarks, m_filePath, &error))
        return true;
    platform::logError(QStringLiteral("Could not write the bookmarks to %1, because %2").arg(m_filePath, error.isEmpty() ? QStringLiteral("its folder cannot be made") : error));
    return false;
}
