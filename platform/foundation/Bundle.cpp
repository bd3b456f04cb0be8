#include "platform/foundation/Bundle.h"

#include "platform/foundation/PictureFileReader.h"
#include "platform/foundation/PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMutexLocker>

namespace platform {

namespace {

QMutex &registryMutex()
{
    static QMutex mutex;
    return mutex;
}

// The bundles by their folders' canonical paths, and by the paths they were asked for with:
// resolving links takes a system call per folder of the path, and a window's strings are looked
// up in the English folder by path again and again while it loads. No path that is not canonical
// is another folder's canonical path.
QHash<QString, BundlePtr> &registry()
{
    static QHash<QString, BundlePtr> bundles;
    return bundles;
}

BundlePtr &mainBundleSlot()
{
    static BundlePtr bundle;
    return bundle;
}

QString defaultResourcesPath()
{
    const QString overridden = qEnvironmentVariable("FOLDWISE_RESOURCES");
    if (!overridden.isEmpty())
        return overridden;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/resources");
    if (QFileInfo(beside).isDir())
        return beside;
    // Installed: the executable in bin/, its resources in share/foldwise/.
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/foldwise/resources"));
}

const QStringList &imageExtensions()
{
    static const QStringList extensions{QStringLiteral("tiff"), QStringLiteral("tif"), QStringLiteral("png"),
                                        QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("gif"),
                                        QStringLiteral("bmp"),  QStringLiteral("pdf")};
    return extensions;
}

} // namespace

BundlePtr Bundle::mainBundle()
{
    QMutexLocker locker(&registryMutex());
    BundlePtr &slot = mainBundleSlot();
    if (!slot)
        slot = std::make_shared<Bundle>(QDir::cleanPath(QFileInfo(defaultResourcesPath()).absoluteFilePath()));
    return slot;
}

void Bundle::setMainBundlePath(const QString &path)
{
    QMutexLocker locker(&registryMutex());
    mainBundleSlot() = std::make_shared<Bundle>(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

BundlePtr Bundle::bundleWithPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return nullptr;
    QMutexLocker locker(&registryMutex());
    if (const BundlePtr known = registry().value(path))
        return known;
    const QString key = info.canonicalFilePath();
    BundlePtr bundle = registry().value(key);
    if (!bundle) {
        bundle = std::make_shared<Bundle>(key);
        registry().insert(key, bundle);
    }
    registry().insert(path, bundle);
    return bundle;
}

Bundle::Bundle(const QString &path)
    : m_path(path)
{
}

QString Bundle::bundlePath() const { return m_path; }


QVariantMap Bundle::infoDictionary() const
{
    QMutexLocker locker(&m_mutex);
    if (!m_infoLoaded) {
        m_info = PropertyList::read(m_path + QStringLiteral("/Info.plist")).toMap();
        m_infoLoaded = true;
    }
    return m_info;
}

QVariant Bundle::objectForInfoDictionaryKey(const QString &key) const { return infoDictionary().value(key); }

QString Bundle::pathForResource(const QString &name, const QString &type, const QString &subfolder) const
{
    if (name.isEmpty())
        return {};
    const QString file = type.isEmpty() ? name : name + QLatin1Char('.') + type;
    QStringList folders{subfolder.isEmpty() ? m_path : m_path + QLatin1Char('/') + subfolder};
    const QString language = preferredLocalization();
    if (!language.isEmpty())
        folders.append(folders.first() + QLatin1Char('/') + language + QStringLiteral(".lproj"));
    for (const QString &folder : folders) {
        const QString candidate = folder + QLatin1Char('/') + file;
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

QStringList Bundle::pathsForResourcesOfType(const QString &type, const QString &subfolder) const
{
    const QDir folder(subfolder.isEmpty() ? m_path : m_path + QLatin1Char('/') + subfolder);
    QStringList paths;
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (type.isEmpty() || QFileInfo(name).suffix() == type)
            paths.append(folder.filePath(name));
    }
    return paths;
}

QString Bundle::pathForImageResource(const QString &name) const
{
    if (name.isEmpty())
        return {};
    if (imageExtensions().contains(QFileInfo(name).suffix().toLower())) {
        const QString path = pathForResource(name, {});
        if (!path.isEmpty())
            return path;
    }
    for (const QString &extension : imageExtensions()) {
        const QString path = pathForResource(name, extension);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QImage Bundle::imageNamed(const QString &name) const
{
    const QString path = pathForImageResource(name);
    return path.isEmpty() ? QImage() : PictureFileReader::read(path);
}

QStringList Bundle::localizations() const
{
    // Read once, like the strings tables: every localized text asks for them.
    QMutexLocker locker(&m_mutex);
    if (!m_localizations) {
        m_localizations.emplace();
        const QStringList folders = QDir(m_path).entryList({QStringLiteral("*.lproj")}, QDir::Dirs, QDir::Name);
        for (const QString &folder : folders)
            m_localizations->append(folder.chopped(6));
    }
    return *m_localizations;
}

QString Bundle::preferredLocalization() const
{
    const QStringList available = localizations();
    for (const QString &language : QLocale().uiLanguages()) {
        QString name = language;
        name.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (available.contains(name))
            return name;
        const QString base = name.section(QLatin1Char('_'), 0, 0);
        if (available.contains(base))
            return base;
    }
    if (available.contains(QStringLiteral("en")))
        return QStringLiteral("en");
    return available.value(0);
}

QVariantMap Bundle::stringsTable(const QString &table) const
{
    const QString name = table.isEmpty() ? QStringLiteral("Localizable") : table;
    const QString language = preferredLocalization();
    const QString cacheKey = language + QLatin1Char('/') + name;
    QMutexLocker locker(&m_mutex);
    auto cached = m_tables.constFind(cacheKey);
    if (cached != m_tables.cend())
        return cached.value();
    QString path = m_path + QLatin1Char('/') + name + QStringLiteral(".strings");
    if (!language.isEmpty()) {
        const QString localized = m_path + QLatin1Char('/') + language + QStringLiteral(".lproj/") + name
            + QStringLiteral(".strings");
        if (QFileInfo(localized).isFile())
            path = localized;
    }
    const QVariantMap strings = PropertyList::read(path).toMap();
    m_tables.insert(cacheKey, strings);
    return strings;
}

QString Bundle::localizedStringForKey(const QString &key, const QString &value, const QString &table) const
{
    const QVariant found = stringsTable(table).value(key);
    if (found.isValid())
        return found.toString();
    return value.isEmpty() ? key : value;
}

} // namespace platform
