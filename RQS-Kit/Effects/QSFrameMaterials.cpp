#include "RQS-Kit/Effects/QSFrameMaterials.h"

#include "RQS-Kit/Effects/QSFrameImageDescription.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include <QDir>

#include <algorithm>

namespace {

QStringList identifiers(const QString &bundlePath, const QString &type)
{
    const QString directory = rqs::directoryForResourceType(type);
    if (directory.isEmpty())
        return {};
    const QDir folder(bundlePath + QLatin1Char('/') + directory);
    QStringList names;
    for (const QString &file : folder.entryList({QStringLiteral("*.png"), QStringLiteral("*.tiff")}, QDir::Files))
        names.append(QSFrameImageDescription(folder.filePath(file)).name());
    names.removeDuplicates();
    return names;
}

QVariantMap shadeSettingsFor(const QString &path)
{
    const QString options = rqs::resourceInfo(path).options();
    const QStringList parts = options.isEmpty() ? QStringList() : options.split(QLatin1Char('-'));
    QVariantMap settings{{"url", path},
                         {"width", parts.isEmpty() ? 256.0 : parts.value(0).toDouble()},
                         {"corner", parts.value(1).toDouble()},
                         {"repeat.x", parts.value(2).toLongLong()},
                         {"repeat.y", parts.value(3).toLongLong()}};
    for (const QString &part : parts.mid(4)) {
        if (part.startsWith(QLatin1Char('I')))
            settings.insert("internal", QStringLiteral("FRM-%1#").arg(part));
        else if (part.startsWith(QLatin1Char('E')))
            settings.insert("external", QStringLiteral("FRM-%1#").arg(part));
    }
    return settings;
}

void sortByDisplayName(QStringList &names)
{
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return rqs::localized(a) < rqs::localized(b); });
}

} // namespace

QSFrameMaterials::QSFrameMaterials(const QString &bundlePath)
    : m_bundlePath(bundlePath)
{
    m_shadeNames = identifiers(bundlePath, QStringLiteral("FRM-S"));
    const QDir shades(bundlePath + QLatin1Char('/') + rqs::directoryForResourceType(QStringLiteral("FRM-S")));
    for (const QString &file : shades.entryList({QStringLiteral("*.png")}, QDir::Files))
        m_shadeSettings.insert(QSFrameImageDescription(shades.filePath(file)).name(), shadeSettingsFor(shades.filePath(file)));
    m_shadeNames << QStringLiteral("External -") << QStringLiteral("Internal -") << QStringLiteral("Overlay -")
                 << QStringLiteral("Join -");
    sortByDisplayName(m_shadeNames);
    m_externalMasks = listForItemsOfType(QStringLiteral("FRM-E"));
    m_internalMasks = listForItemsOfType(QStringLiteral("FRM-I"));
    const QString automatic = QStringLiteral("FRM-I#000#Internal-Auto");
    m_internalMasks.removeAll(automatic);
    m_internalMasks.prepend(automatic);
}

QStringList QSFrameMaterials::listForItemsOfType(const QString &type) const
{
    QStringList names = identifiers(m_bundlePath, type);
    sortByDisplayName(names);
    return names;
}
