#include "RQS-Kit/Foundation/QSCachedImage.h"

#include "RQS-Kit/Foundation/FileManagerExtension.h"
#include "RQS-Kit/Foundation/QSBundleManager.h"
#include "RQS-Kit/Foundation/QSImageMetadata.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/PictureFileReader.h"
#include "platform/foundation/TempFolder.h"
#include "platform/graphics/ImageAllocationLimit.h"
#include "platform/pdf/PdfDocument.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>

namespace {

constexpr double VectorSide = 1536.0;

std::atomic<double> releaseTimeScale{1.0};

bool onMainThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

bool isPdf(const QString &path) { return QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0; }

// Whether a reader knows the file, without decoding the picture.
bool isPicture(const QString &path)
{
    if (isPdf(path)) {
        const std::optional<platform::PdfDocument> document = platform::PdfDocument::open(path);
        return document && document->pageCount() > 0;
    }
    return platform::PictureFileReader(path).reader().canRead();
}

// Callers draw and filter in sRGB, whatever profile the picture came with.
QImage inSRGB(QImage image)
{
    const QColorSpace sRGB(QColorSpace::SRgb);
    if (image.isNull() || image.colorSpace() == sRGB)
        return image;
    if (image.colorSpace().isValid())
        image.convertToColorSpace(sRGB);
    else
        image.setColorSpace(sRGB);
    return image;
}

// The image reader's allocation limit, so that a drawing is held to what a decoded file may take.
bool fitsInMemory(const QSize &pixels)
{
    if (pixels.width() <= 0 || pixels.height() <= 0)
        return false;
    return qint64(pixels.width()) * pixels.height() * 4 <= platform::imageAllocationLimitBytes();
}

// At least one pixel each way; a NaN side counts as one.
QSize pixelSize(const QSizeF &points, double scale)
{
    const auto side = [](double value) { return std::isnan(value) ? 1.0 : std::max(1.0, value); };
    const double width = side(std::round(points.width() * scale));
    const double height = side(std::ceil(points.height() * scale));
    if (width > INT_MAX || height > INT_MAX)
        return {};
    return {int(width), int(height)};
}

} // namespace

std::shared_ptr<QSCachedImage> QSCachedImage::cachedNSImage(const QImage &image, int strategy)
{
    std::shared_ptr<QSCachedImage> cached(new QSCachedImage);
    if (!cached->initWithNSImage(image))
        return nullptr;
    cached->setCacheStrategy(strategy);
    return cached;
}

std::shared_ptr<QSCachedImage> QSCachedImage::cachedImageURL(const QUrl &url, int strategy)
{
    std::shared_ptr<QSCachedImage> cached(new QSCachedImage);
    return cached->initWithImageAtURL(url, strategy) ? cached : nullptr;
}

std::shared_ptr<QSCachedImage> QSCachedImage::cachedImageFile(const QString &path, int strategy)
{
    return path.isEmpty() ? nullptr : cachedImageURL(QUrl::fromLocalFile(path), strategy);
}

QSCachedImage::~QSCachedImage()
{
    if (m_cacheTimer)
        m_cacheTimer->deleteLater();
    deleteTemporaryFileLocked();
}

bool QSCachedImage::initWithNSImage(const QImage &image)
{
    if (image.isNull())
        return false;
    QMutexLocker locker(&m_mutex);
    m_storedImage = inSRGB(image);
    getImagePropertiesLocked();
    writeToDiskLocked();
    return true;
}

bool QSCachedImage::initWithImageAtURL(const QUrl &url, int strategy)
{
    QMutexLocker locker(&m_mutex);
    m_cacheStrategy = strategy;
    const QString source = url.toLocalFile();
    const QString root = platform::TempFolder::path();
    QFile copy;
    QString copyError = QStringLiteral("there is no temporary folder");
    const bool opened = !root.isEmpty() && rqs::openUniqueFile(copy, root, QFileInfo(source).suffix(), &copyError);
    const bool copied = opened && rqs::copyContents(source, copy, &copyError);
    copy.close();
    if (copied) {
        m_imageURL = QUrl::fromLocalFile(copy.fileName());
        if (strategy == 1) {
            if (isPicture(copy.fileName()))
                return true;
            platform::logWarning(QStringLiteral("Could not load image %1 (Original:%2)").arg(m_imageURL.toString(), url.toString()));
            deleteTemporaryFileLocked();
            return false;
        }
        loadLocked(copy.fileName());
    } else {
        if (opened)
            copy.remove();
        if (loadLocked(source))
            writeToDiskLocked();
    }
    getImagePropertiesLocked();
    if (m_storedImage.isNull()) {
        if (!copied)
            platform::logWarning(QStringLiteral("Could not copy: %1 to %2 because of %3")
                                     .arg(url.toString(), copy.fileName(), copyError));
        else
            platform::logWarning(QStringLiteral("Could not load image %1 (Original:%2)").arg(m_imageURL.toString(), url.toString()));
        deleteTemporaryFileLocked();
        return false;
    }
    restartTimerLocked();
    return true;
}

QImage QSCachedImage::nsImage()
{
    QMutexLocker locker(&m_mutex);
    const QImage image = nsImageLocked();
    restartTimerLocked();
    return image;
}

QImage QSCachedImage::cgImage()
{
    QMutexLocker locker(&m_mutex);
    const QImage image = cgImageLocked();
    restartTimerLocked();
    return image;
}

platform::fx::Image QSCachedImage::cachedCIImage()
{
    QMutexLocker locker(&m_mutex);
    return cachedCIImageLocked();
}

platform::fx::Image QSCachedImage::ciImage()
{
    QMutexLocker locker(&m_mutex);
    const platform::fx::Image image = cachedCIImageLocked();
    restartTimerLocked();
    return image;
}

platform::fx::Image QSCachedImage::ciImageForSize(const QSizeF &size)
{
    QMutexLocker locker(&m_mutex);
    getImagePropertiesLocked();
    if (!m_isVectorial.value_or(false))
        return cachedCIImageLocked();
    const QSizeF kept = m_cachedCIImage.extent().size();
    if (size.width() <= kept.width() && size.height() <= kept.height())
        return cachedCIImageLocked();
    const QImage image = nsImageLocked();
    if (image.isNull() || !m_vectorPage)
        return {};
    const QSizeF points = m_vectorPage->visibleSize();
    return platform::fx::Image::fromQImage(
        drawVectorLocked(std::max(size.width() / points.width(), size.height() / points.height())));
}

QVariant QSCachedImage::metaDataForKey(const QString &key)
{
    QMutexLocker locker(&m_mutex);
    return metaDataLocked(key);
}

QVariant QSCachedImage::exifdataForKey(const QString &key)
{
    QMutexLocker locker(&m_mutex);
    return dictionaryValueLocked(m_exifData, QSImageMetadata::ExifDictionary, key);
}

QVariant QSCachedImage::tiffdataForKey(const QString &key)
{
    QMutexLocker locker(&m_mutex);
    return dictionaryValueLocked(m_tiffData, QSImageMetadata::TIFFDictionary, key);
}

bool QSCachedImage::isVectorial()
{
    QMutexLocker locker(&m_mutex);
    getImagePropertiesLocked();
    return m_isVectorial.value_or(false);
}

bool QSCachedImage::hasTransparency()
{
    QMutexLocker locker(&m_mutex);
    getImagePropertiesLocked();
    return m_hasTransparency.value_or(false);
}

bool QSCachedImage::isCached() const
{
    QMutexLocker locker(&m_mutex);
    return !m_storedImage.isNull();
}

QUrl QSCachedImage::imageURL() const
{
    QMutexLocker locker(&m_mutex);
    return m_imageURL;
}

bool QSCachedImage::writeToURL(const QUrl &url, QString *error)
{
    QMutexLocker locker(&m_mutex);
    if (m_imageURL.isEmpty() && !writeToDiskLocked()) {
        if (error)
            *error = QStringLiteral("the picture has no temporary file");
        return false;
    }
    const QFileInfo target(url.toLocalFile());
    const QString stem = target.suffix().isEmpty() ? target.fileName() : target.completeBaseName();
    const QString extension = QFileInfo(m_imageURL.toLocalFile()).suffix();
    const QString destination = target.path() + QLatin1Char('/') + stem + (extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
    return rqs::copyFileExclusively(m_imageURL.toLocalFile(), destination, error);
}

bool QSCachedImage::writeToDisk()
{
    QMutexLocker locker(&m_mutex);
    return writeToDiskLocked();
}

QUrl QSCachedImage::saveURLWithExtension(const QString &extension)
{
    const QString root = platform::TempFolder::path();
    QString error = QStringLiteral("there is no temporary folder");
    const QString path = root.isEmpty() ? QString() : rqs::createUniqueFile(root, extension, &error);
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("Could not create a temporary image file, because %1").arg(error));
        return {};
    }
    return QUrl::fromLocalFile(path);
}

int QSCachedImage::cacheStrategy() const
{
    QMutexLocker locker(&m_mutex);
    return m_cacheStrategy;
}

void QSCachedImage::setCacheStrategy(int strategy)
{
    QMutexLocker locker(&m_mutex);
    m_cacheStrategy = strategy;
    restartTimerLocked();
}

void QSCachedImage::updateCacheStrategy()
{
    QMutexLocker locker(&m_mutex);
    restartTimerLocked();
}

void QSCachedImage::cacheTimed()
{
    QMutexLocker locker(&m_mutex);
    // Without a file to come back from, dropping the pixels would lose the picture.
    if (m_imageURL.isEmpty() || !QFileInfo::exists(m_imageURL.toLocalFile()))
        return;
    m_storedImage = QImage();
    m_cachedCIImage = {};
    m_vectorPage.reset();
}

std::optional<std::chrono::milliseconds> QSCachedImage::releaseDelay(int strategy)
{
    using std::chrono::seconds;
    switch (strategy) {
    case 1:
        return seconds(0);
    case 2:
        return seconds(60);
    case 4:
        return std::nullopt;
    default:
        return seconds(300);
    }
}

void QSCachedImage::setReleaseTimeScale(double scale) { releaseTimeScale = scale; }

bool QSCachedImage::preventColorCorrection() const
{
    QMutexLocker locker(&m_mutex);
    return m_preventColorCorrection;
}

void QSCachedImage::setPreventColorCorrection(bool prevent)
{
    QMutexLocker locker(&m_mutex);
    m_preventColorCorrection = prevent;
}

QImage QSCachedImage::storedImage() const
{
    QMutexLocker locker(&m_mutex);
    return m_storedImage;
}

void QSCachedImage::setStoredImage(const QImage &image)
{
    QMutexLocker locker(&m_mutex);
    m_storedImage = inSRGB(image);
}

void QSCachedImage::setCachedCIImage(const platform::fx::Image &image)
{
    QMutexLocker locker(&m_mutex);
    m_cachedCIImage = image;
}

bool QSCachedImage::hasVectorialRepresentation()
{
    QMutexLocker locker(&m_mutex);
    return hasVectorialRepresentationLocked();
}

void QSCachedImage::getImageProperties()
{
    if (m_gettingProperties)
        return;
    QMutexLocker locker(&m_mutex);
    getImagePropertiesLocked();
}

bool QSCachedImage::gettingProperties() const { return m_gettingProperties; }

void QSCachedImage::setGettingProperties(bool getting) { m_gettingProperties = getting; }

QImage QSCachedImage::nsImageLocked()
{
    if (m_storedImage.isNull() && !m_imageURL.isEmpty())
        loadLocked(m_imageURL.toLocalFile());
    return m_storedImage;
}

QImage QSCachedImage::cgImageLocked()
{
    const QImage image = nsImageLocked();
    getImagePropertiesLocked();
    if (!m_isVectorial.value_or(false) || !m_vectorPage)
        return image;
    const QSizeF points = m_vectorPage->visibleSize();
    const double longer = std::max(points.width(), points.height());
    return longer >= VectorSide ? image : drawVectorLocked(VectorSide / longer);
}

platform::fx::Image QSCachedImage::cachedCIImageLocked()
{
    if (m_cachedCIImage.isNull()) {
        m_cachedCIImage = platform::fx::Image::fromQImage(cgImageLocked());
        if (m_cachedCIImage.isNull())
            platform::logWarning(QStringLiteral("No cached CIImage"));
    }
    return m_cachedCIImage;
}

bool QSCachedImage::loadLocked(const QString &path)
{
    if (isPdf(path)) {
        const std::optional<platform::PdfDocument> document = platform::PdfDocument::open(path);
        m_vectorPage = document && document->pageCount() > 0 ? document->page(0) : std::nullopt;
        m_storedImage = m_vectorPage ? drawVectorLocked(1.0) : QImage();
        return !m_storedImage.isNull();
    }
    platform::PictureFileReader picture(path);
    picture.reader().setAutoTransform(true);
    m_storedImage = inSRGB(picture.reader().read());
    if (m_storedImage.isNull())
        platform::logWarning(QStringLiteral("Could not read the image %1, because %2").arg(path, picture.errorString()));
    return !m_storedImage.isNull();
}

QVariant QSCachedImage::metaDataLocked(const QString &key)
{
    if (!m_metadata && !m_imageURL.isEmpty()) {
        QVariantMap properties = QSImageMetadata::read(m_imageURL.toLocalFile());
        if (!properties.isEmpty())
            m_metadata = std::move(properties);
    }
    return m_metadata ? m_metadata->value(key) : QVariant();
}

QVariant QSCachedImage::dictionaryValueLocked(std::optional<QVariantMap> &dictionary, const QString &name, const QString &key)
{
    if (!dictionary) {
        const QVariant value = metaDataLocked(name);
        if (value.isValid())
            dictionary = value.toMap();
    }
    return dictionary ? dictionary->value(key) : QVariant();
}

QImage QSCachedImage::drawVectorLocked(double scale)
{
    const QSizeF points = m_vectorPage->visibleSize();
    const QSize pixels = pixelSize(points, scale);
    if (!std::isfinite(scale) || scale <= 0 || !fitsInMemory(pixels)) {
        platform::logWarning(QStringLiteral("Cannot draw %1 at %2 x %3 pixels: it would not fit in memory")
                                 .arg(m_imageURL.toLocalFile())
                                 .arg(points.width() * scale)
                                 .arg(points.height() * scale));
        return {};
    }
    const QImage image = inSRGB(m_vectorPage->render(pixels.width() / points.width(), pixels.height() / points.height(),
                                                     QRect(QPoint(0, 0), pixels)));
    if (image.isNull())
        platform::logWarning(QStringLiteral("No Cached CGImage!"));
    return image;
}

void QSCachedImage::getImagePropertiesLocked()
{
    if (m_gettingProperties || (m_isVectorial && m_hasTransparency))
        return;
    m_gettingProperties = true;
    const QImage image = nsImageLocked();
    if (!m_isVectorial)
        m_isVectorial = hasVectorialRepresentationLocked();
    if (!m_hasTransparency && !image.isNull())
        m_hasTransparency = image.hasAlphaChannel();
    m_gettingProperties = false;
}

bool QSCachedImage::hasVectorialRepresentationLocked()
{
    nsImageLocked();
    return m_vectorPage.has_value();
}

bool QSCachedImage::writeToDiskLocked()
{
    if (!m_imageURL.isEmpty())
        return true;
    getImagePropertiesLocked();
    const QUrl url = saveURLWithExtension(m_hasTransparency.value_or(false) ? QStringLiteral("png") : QStringLiteral("jpg"));
    if (url.isEmpty())
        return false;
    if (!QSBundleManager::saveImage(nsImageLocked(), url)) {
        QFile::remove(url.toLocalFile());
        return false;
    }
    m_imageURL = url;
    return true;
}

void QSCachedImage::restartTimerLocked()
{
    if (!onMainThread()) {
        if (QCoreApplication::instance()) {
            platform::MainQueue::post([weak = weak_from_this()] {
                if (const std::shared_ptr<QSCachedImage> self = weak.lock())
                    self->updateCacheStrategy();
            });
        }
        return;
    }
    if (m_cacheTimer)
        m_cacheTimer->stop();
    const std::optional<std::chrono::milliseconds> delay = releaseDelay(m_cacheStrategy);
    if (!delay || m_imageURL.isEmpty())
        return;
    if (!m_cacheTimer) {
        m_cacheTimer = new QTimer;
        m_cacheTimer->setSingleShot(true);
        QObject::connect(m_cacheTimer, &QTimer::timeout, m_cacheTimer, [weak = weak_from_this()] {
            if (const std::shared_ptr<QSCachedImage> self = weak.lock())
                self->cacheTimed();
        });
    }
    const double scaled = double(delay->count()) * releaseTimeScale;
    m_cacheTimer->start(delay->count() == 0 ? 0 : std::max(1, int(std::min(scaled, double(INT_MAX)))));
}

void QSCachedImage::deleteTemporaryFileLocked()
{
    if (m_imageURL.isEmpty())
        return;
    QFile file(m_imageURL.toLocalFile());
    if (file.exists() && !file.remove())
        platform::logLine(QStringLiteral("Warning, problem deleting: %1 Error: %2)").arg(m_imageURL.toString(), file.errorString()));
    m_imageURL.clear();
}
