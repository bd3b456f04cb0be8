#include "RQS-Kit/Effects/QSCombinedShadeDescription.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/QSCombineFilter.h"
#include "RQS-Kit/Foundation/FileManagerExtension.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "RQS-Kit/Foundation/QSBundleManager.h"
#include "RQS-Kit/Foundation/QSTempCleaner.h"
#include "platform/foundation/Log.h"

#include <QFile>

#include <algorithm>

QSCombinedShadeDescription::QSCombinedShadeDescription(const QString &shadePath, const QString &blendMode, double intensity)
    : QSShadeDescription(shadePath, blendMode, intensity)
{
    const QString target = QSTempCleaner::tempURLWithExtension(QStringLiteral("png")).toLocalFile();
    QString reason = QStringLiteral("no temporary file");
    // The new name is taken by an empty file: the copy replaces it.
    if (!target.isEmpty() && QFile::remove(target) && rqs::copyFileExclusively(shadePath, target, &reason)) {
        m_copyPath = target;
        moveImageTo(target);
        return;
    }
    if (!target.isEmpty())
        QFile::remove(target);
    platform::logWarning(QStringLiteral("Could not copy file '%1' to '%2 because of '%3'")
                             .arg(shadePath, target, reason));
}

QSCombinedShadeDescription::~QSCombinedShadeDescription()
{
    if (!m_copyPath.isEmpty())
        QFile::remove(m_copyPath);
}

bool QSCombinedShadeDescription::drawAlike(const QSShadeDescription &a, const QSShadeDescription &b)
{
    const auto fits = [](double x, double y) { return x == y || x == 0 || y == 0; };
    return a.blendMode() == b.blendMode() && a.width() == b.width() && fits(a.corner(), b.corner())
           && fits(a.repeatX(), b.repeatX()) && fits(a.repeatY(), b.repeatY());
}

bool QSCombinedShadeDescription::canJoin(const QSShadeDescription &a, const QSShadeDescription &b)
{
    return QSCombineFilter::isCombinableBlendMode(a.blendMode()) && drawAlike(a, b);
}

bool QSCombinedShadeDescription::canAdd(const QSShadeDescription &shade) const { return drawAlike(*this, shade); }

void QSCombinedShadeDescription::add(const QSShadeDescription &shade)
{
    double m = std::max(intensity(), shade.intensity());
    if (!(m > 0))
        m = 1.0;
    // A filter per join: combined shades may be joined on several workers at once.
    const auto combine = QSFilter::filterOfClass(QStringLiteral("QSCombineFilter"));
    if (!combine)
        return;
    combine->setValueForKey(QStringLiteral("blendMode"), blendMode());
    combine->setValueForKey(QStringLiteral("inputBackgroundImage"), rqs::imageValue(image()));
    combine->setValueForKey(QStringLiteral("inputBackgroundIntensity"), intensity() / m);
    combine->setValueForKey(QStringLiteral("inputImage"), rqs::imageValue(shade.image()));
    combine->setValueForKey(QStringLiteral("inputIntensity"), shade.intensity() / m);
    m_image = combine->outputImage();
    setIntensity(m);
    m_options.repeatX = std::max(m_options.repeatX, shade.repeatX());
    m_options.repeatY = std::max(m_options.repeatY, shade.repeatY());
    m_options.corner = std::max(m_options.corner, shade.corner());
    m_hasChanges = m_needsFixing = true;
}

void QSCombinedShadeDescription::fixImages()
{
    if (!m_needsFixing)
        return;
    m_image = rqs::fixedImage(m_image);
    m_needsFixing = false;
}

void QSCombinedShadeDescription::clearCachedImage()
{
    if (!m_hasChanges || m_copyPath.isEmpty() || m_image.isNull())
        return;
    if (QSBundleManager::saveCIImage(m_image, QUrl::fromLocalFile(m_copyPath)))
        m_hasChanges = false;
}
