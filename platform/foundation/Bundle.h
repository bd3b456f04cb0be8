#pragma once

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace platform {

class Bundle;
using BundlePtr = std::shared_ptr<Bundle>;

// A folder of resources read by name. The main bundle is the application's resources folder:
// $FOLDWISE_RESOURCES, else "resources" next to the executable, else the installed
// "../share/foldwise/resources" from it. Its "Info.plist" gives the info keys; strings tables are
// "<language>.lproj/<Table>.strings" property-list dictionaries.
class Bundle
{
public:
    static BundlePtr mainBundle();
    // Points the main bundle at another folder (tools and tests use it).
    static void setMainBundlePath(const QString &path);
    // One shared object per folder; null when the folder does not exist.
    static BundlePtr bundleWithPath(const QString &path);

    explicit Bundle(const QString &path);

    QString bundlePath() const;

    QVariantMap infoDictionary() const;
    QVariant objectForInfoDictionaryKey(const QString &key) const;

    // The file "name.type" in the subfolder, then in the preferred language's folder; empty when missing.
    QString pathForResource(const QString &name, const QString &type, const QString &subfolder = {}) const;
    // Full paths of the subfolder's files with that extension, sorted by name.
    QStringList pathsForResourcesOfType(const QString &type, const QString &subfolder = {}) const;

    // The bundle's image of that name: the name as given, else with one of the image extensions.
    QString pathForImageResource(const QString &name) const;
    QImage imageNamed(const QString &name) const;

    // Languages with a ".lproj" folder; the first of the user's languages that the bundle has, else "en".
    QStringList localizations() const;
    QString preferredLocalization() const;

    // The translation of key in the table ("Localizable" when empty) for the preferred language;
    // value when the key is missing, the key itself when value is empty too.
    QString localizedStringForKey(const QString &key, const QString &value, const QString &table = {}) const;

private:
    QVariantMap stringsTable(const QString &table) const;

    QString m_path;
    mutable QMutex m_mutex;
    mutable QHash<QString, QVariantMap> m_tables;
    mutable std::optional<QStringList> m_localizations;
    mutable QVariantMap m_info;
    mutable bool m_infoLoaded = false;
};

} // namespace platform
