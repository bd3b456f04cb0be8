#include "RQS-Kit/Effects/QSMaskDescription.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include <algorithm>

QSMaskDescription::QSMaskDescription(const QString &externalPath, const QString &internalPath)
    : QSFrameImageDescription(internalPath), m_externalPath(externalPath)
{
    if (externalPath.isEmpty())
        return;
    const Options external = optionsFromString(rqs::resourceInfo(externalPath).options());
    m_scale = external.width / m_options.width;
    m_innerCornerWidth = std::max(m_options.width, m_options.corner);
    m_options.corner = std::max(m_options.corner, external.corner);
    m_options.repeatX = std::max(m_options.repeatX, external.repeatX);
    m_options.repeatY = std::max(m_options.repeatY, external.repeatY);
    m_options.width = external.width;
}

platform::fx::Image QSMaskDescription::image() const
{
    if (!m_image.isNull() || m_externalPath.isEmpty())
        return QSFrameImageDescription::image();
    const platform::fx::Image internal = QSFrameImageDescription::image();
    m_image = rqs::applyFilter(
        QStringLiteral("QSCombineMaskFilter"),
        {{QStringLiteral("inputImage"), rqs::imageValue(internal)},
         {QStringLiteral("inputBackgroundImage"), rqs::imageValue(platform::fx::Image::fromFile(m_externalPath))},
         {QStringLiteral("inputScale"), m_scale},
         {QStringLiteral("inputCornerRadius"),
          QVariant::fromValue(platform::fx::Vector{{m_innerCornerWidth, m_innerCornerWidth}, 2})}});
    return m_image;
}
