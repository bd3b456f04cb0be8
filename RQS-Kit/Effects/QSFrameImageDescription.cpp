#include "RQS-Kit/Effects/QSFrameImageDescription.h"

#include "RQS-Kit/Foundation/StringExtension.h"

#include <algorithm>

QSFrameImageDescription::QSFrameImageDescription(const QString &imagePath) { setImagePath(imagePath); }

QSFrameImageDescription::Options QSFrameImageDescription::optionsFromString(const QString &options)
{
    Options o;
    if (options.isNull())
        return o;
    const QStringList parts = options.split(QLatin1Char('-'));
    const double width = parts.value(0).toDouble();
    o.width = width > 0 ? width : 1.0;
    o.corner = std::max(parts.value(1).toDouble(), 0.0);
    o.repeatX = unsigned(std::max(parts.value(2).toLongLong(), 0LL));
    o.repeatY = unsigned(std::max(parts.value(3).toLongLong(), 0LL));
    return o;
}

void QSFrameImageDescription::setImagePath(const QString &path)
{
    m_path = path;
    const QSResourceInfo info = rqs::resourceInfo(path);
    m_options = optionsFromString(info.options());
    m_name = rqs::resourceIDNameFor(info);
    m_image = {};
}

QSizeF QSFrameImageDescription::cornerSize() const
{
    const double side = std::max(m_options.corner, m_options.width);
    return {side, side};
}

platform::fx::Image QSFrameImageDescription::image() const
{
    if (m_image.isNull() && !m_path.isEmpty())
        m_image = platform::fx::Image::fromFile(m_path);
    return m_image;
}
