#include "RQS-Kit/Effects/QSFrameMaterials.h"

#include "RQS-Kit/Effects/QSFrameImageDescription.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include <QDir>

#include <algorithm>

namespace {

QStringList identifiers(const QString &bundlePath, const QString &type)
{
    const QDir folder(bundlePath + QLatin1Char('/') + rqs::directoryForResourceType(type));
    QStringList names;
    for (const QString &file : folder.entryList({QStringLiteral("*.png"), QStringLiteral("*.tiff")}, QDir::Files))
        names.append(QSFrameImageDescription(folder.filePath(file)).name());
    names.removeDuplicates();
    return names;
}

void sortByDisplayName(QStringList &names)
{
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return rqs::localized(a) < rqs::localized(b); });
}

} // namespace

QSFrameMaterials::QSFrameMaterials(const QString &bundlePath)
{
    m_shadeNames = identifiers(bundlePath, QStringLiteral("FRM-S"));
    m_shadeNames << QStringLiteral("External -") << QStringLiteral("Internal -") << QStringLiteral("Overlay -")
                 << QStringLiteral("Join -");
    sortByDisplayName(m_shadeNames);
    m_externalMasks = identifiers(bundlePath, QStringLiteral("FRM-E"));
    sortByDisplayName(m_externalMasks);
    m_internalMasks = identifiers(bundlePath, QStringLiteral("FRM-I"));
    sortByDisplayName(m_internalMasks);
    const QString automatic = QStringLiteral("FRM-I#000#Internal-Auto");
    m_internalMasks.removeAll(automatic);
    m_internalMasks.prepend(automatic);
}
