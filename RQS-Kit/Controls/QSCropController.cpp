#include "RQS-Kit/Controls/QSCropController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RegularFile.h"

QSCropController::QSCropController(QObject *parent)
    : QSWindowController(parent)
{
}

bool QSCropController::setImage(const QImage &image)
{
    if (!window() || !m_imageView || !m_cropView) {
        platform::logError(QStringLiteral("The crop window did not load"));
        return false;
    }
    m_imageView->setImage(image);
    m_cropView->setActiveAreaRatio(image.height() > 0 ? double(image.width()) / image.height() : 0.0);
    return true;
}

QImage QSCropController::image() const { return m_imageView ? m_imageView->image() : QImage(); }

void QSCropController::setCropRatio(double ratio)
{
    if (window() && m_cropView)
        m_cropView->setCropRatio(ratio);
}

double QSCropController::cropRatio() const { return m_cropView ? m_cropView->cropRatio() : 0.0; }

bool QSCropController::setDescriptionFile(const QString &path)
{
    if (!window() || !m_descriptionView) {
        platform::logWarning(QStringLiteral("No crop description from %1: there is no window to show it").arg(path));
        return false;
    }
    QString reason;
    const std::optional<QByteArray> text = platform::RegularFile::read(path, platform::RegularFile::MaxWholeBytes, &reason);
    if (!text) {
        platform::logWarning(QStringLiteral("No crop description from %1: %2").arg(path, reason));
        return false;
    }
    m_descriptionView->setHtml(QString::fromUtf8(*text));
    return true;
}

QTextBrowser *QSCropController::descriptionView() const { return m_descriptionView; }
void QSCropController::setDescriptionView(QTextBrowser *view) { m_descriptionView = view; }
QSImageView *QSCropController::imageView() const { return m_imageView; }
void QSCropController::setImageView(QSImageView *view) { m_imageView = view; }
QSCropView *QSCropController::cropView() const { return m_cropView; }
void QSCropController::setCropView(QSCropView *view) { m_cropView = view; }
QRectF QSCropController::cropRect() const { return m_cropRect; }
void QSCropController::setCropRect(const QRectF &rect) { m_cropRect = rect; }
bool QSCropController::flexibleSize() const { return m_flexibleSize; }
void QSCropController::setFlexibleSize(bool flexible) { m_flexibleSize = flexible; }
