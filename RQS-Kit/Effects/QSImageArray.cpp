#include "RQS-Kit/Effects/QSImageArray.h"

#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Foundation/QSCachedImage.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QTimer>

#include <algorithm>

namespace {
constexpr int ReleaseAtOnce = 1;
constexpr int ReleaseAfterFiveMinutes = 3;
constexpr int KeepInMemory = 4;
} // namespace

QSImageArray &QSImageArray::sharedImageArray()
{
    static QSImageArray *shared = new QSImageArray;
    return *shared;
}

bool QSImageArray::addImageAtPath(const QString &path)
{
    std::shared_ptr<QSCachedImage> image = QSCachedImage::cachedImageFile(path, ReleaseAtOnce);
    if (!image)
        return false;
    m_images.push_back(std::move(image));
    if (m_images.size() == 1)
        currentChanged();
    emit navigationChanged();
    return true;
}

void QSImageArray::setCurrentIndex(qsizetype index)
{
    const qsizetype clamped = m_images.empty() ? 0 : std::clamp<qsizetype>(index, 0, qsizetype(m_images.size()) - 1);
    if (clamped == m_currentIndex)
        return;
    m_currentIndex = clamped;
    currentChanged();
    emit navigationChanged();
}

void QSImageArray::selectLast()
{
    setCurrentIndex(qsizetype(m_images.size()) - 1);
}

void QSImageArray::next(QObject *)
{
    setCurrentIndex(m_currentIndex + 1);
}

void QSImageArray::previous(QObject *)
{
    if (m_currentIndex > 0)
        setCurrentIndex(m_currentIndex - 1);
}

bool QSImageArray::hasNext() const
{
    return qsizetype(m_images.size()) > m_currentIndex + 1;
}

bool QSImageArray::hasPrevious() const
{
    return m_currentIndex != 0;
}

std::shared_ptr<QSCachedImage> QSImageArray::currentImage()
{
    if (m_images.empty())
        return placeholder();
    std::shared_ptr<QSCachedImage> image = m_images.at(std::size_t(m_currentIndex));
    image->setCacheStrategy(ReleaseAfterFiveMinutes);
    return image;
}

std::shared_ptr<QSCachedImage> QSImageArray::placeholder()
{
    if (m_placeholder)
        return m_placeholder;
    const QString path = platform::Bundle::mainBundle()->pathForImageResource(QStringLiteral("ImageSample"));
    if (!path.isEmpty())
        m_placeholder = QSCachedImage::cachedImageFile(path, KeepInMemory);
    if (!m_placeholder) {
        QImage grey(1024, 768, QImage::Format_ARGB32);
        grey.fill(QGuiApplication::palette().color(QPalette::Light));
        m_placeholder = QSCachedImage::cachedNSImage(grey, ReleaseAfterFiveMinutes);
    }
    return m_placeholder;
}

void QSImageArray::setPlaceholder(std::shared_ptr<QSCachedImage> placeholder)
{
    m_placeholder = std::move(placeholder);
}

void QSImageArray::setPlaceholderName(const QString &name)
{
    const QString path = platform::Bundle::mainBundle()->pathForImageResource(name);
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("No picture %1 among the resources for the sample placeholder").arg(name));
        return;
    }
    m_placeholder = QSCachedImage::cachedImageFile(path, ReleaseAfterFiveMinutes);
}

void QSImageArray::setDropView(QSDropView *view)
{
    m_dropView = view;
    if (view) {
        view->setSupportedTypes({QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("tif"),
                                 QStringLiteral("gif"), QStringLiteral("tiff")});
        view->setDelegate(this);
    }
}

std::optional<bool> QSImageArray::dropViewDroppedFiles(QSDropView *, const QStringList &paths)
{
    const std::size_t before = m_images.size();
    for (const QString &path : paths)
        addImageAtPath(path);
    if (m_images.size() == before) {
        platform::logWarning(QStringLiteral("None of the %1 dropped files holds a readable picture").arg(paths.size()));
        return false;
    }
    selectLast();
    return true;
}

// Several changes within one turn of the event loop make one report.
void QSImageArray::currentChanged()
{
    if (m_reportPending)
        return;
    m_reportPending = true;
    QTimer::singleShot(0, this, [this] {
        m_reportPending = false;
        platform::NotificationCenter::defaultCenter()->post(QStringLiteral("QSIACurrentChangedNotification"), this);
    });
}
