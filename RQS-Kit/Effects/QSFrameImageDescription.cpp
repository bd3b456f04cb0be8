#include "RQS-Kit/Effects/QSFrameImageDescription.h"

#include "RQS-Kit/Foundation/StringExtension.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>

QSFrameImageDescription::QSFrameImageDescription(const QString &imagePath) { setImagePath(imagePath); }

QSFrameImageDescription::QSFrameImageDescription(const QSFrameImageDescription &other)
    : m_options(other.m_options)
    , m_image(other.m_image)
    , m_path(other.m_path)
    , m_name(other.m_name)
    , m_cacheTime(other.m_cacheTime)
    , m_maxCorner(other.m_maxCorner)
{
}

QSFrameImageDescription::~QSFrameImageDescription() = default;

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
    restartCacheTimer();
    return m_image;
}

void QSFrameImageDescription::setCacheTime(double seconds)
{
    m_cacheTime = seconds;
    restartCacheTimer();
}

void QSFrameImageDescription::restartCacheTimer() const
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread())
        return;
    if (m_image.isNull() || !(m_cacheTime > 0)) {
        if (m_cacheTimer)
            m_cacheTimer->stop();
        return;
    }
    if (!m_cacheTimer) {
        m_cacheTimer = std::make_unique<QTimer>();
        m_cacheTimer->setSingleShot(true);
        QObject::connect(m_cacheTimer.get(), &QTimer::timeout, [this] {
            const_cast<QSFrameImageDescription *>(this)->clearCachedImage();
        });
    }
    m_cacheTimer->start(int(std::min(m_cacheTime * 1000, 2.0e9)));
}

void QSFrameImageDescription::clearCachedImage() { m_image = {}; }
