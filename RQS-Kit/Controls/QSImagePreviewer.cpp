#include "RQS-Kit/Controls/QSImagePreviewer.h"

#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"

#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "RQS-Kit/Foundation/QSBundleManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/fx/Extent.h"
#include "platform/ui/SavePanel.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace {

const QString HistorySizeKey = QStringLiteral("PreviewerHistorySize");

bool onMainThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

void onMainQueue(std::function<void()> work)
{
    if (onMainThread())
        work();
    else
        platform::MainQueue::post(std::move(work));
}

QString sizeText(QSizeF size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

QString withoutExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

} // namespace

QSImagePreviewer::QSImagePreviewer()
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->registerDefaults({{HistorySizeKey, 10}});
    // A hand-edited negative size must not keep an empty history.
    m_historySize = std::max<qint64>(defaults->integerForKey(HistorySizeKey), 1);
}

QSImagePreviewer *QSImagePreviewer::sharedImagePreviewer()
{
    static QSImagePreviewer *shared = new QSImagePreviewer;
    return shared;
}

QString QSImagePreviewer::nameFor(const QString &name)
{
    static std::atomic<quint64> counter{0};
    return name.isEmpty() ? QString() : QStringLiteral("%1.Previewer%2").arg(name).arg(++counter);
}

QString QSImagePreviewer::showNSImage(const QImage &image, const QString &name)
{
    if (image.width() <= 0 || image.height() <= 0) {
        platform::logWarning(QStringLiteral("Previewing %1 image with name %2").arg(sizeText(image.size()), name));
        return {};
    }
    const QString given = nameFor(name);
    onMainQueue([image, given] { sharedImagePreviewer()->addImage({image, given}); });
    return given;
}

QString QSImagePreviewer::showCIImage(const platform::fx::Image &image, const QString &name)
{
    const QRectF extent = image.extent();
    if (extent.width() <= 0 || extent.height() <= 0 || platform::fx::Extent::isInfinite(extent)) {
        platform::logWarning(QStringLiteral("Previewing %1 image with name %2").arg(sizeText(extent.size()), name));
        return {};
    }
    const QImage bitmap = rqs::newCGImage(image);
    if (bitmap.isNull())
        return {};
    // The engine works in sRGB throughout.
    return showNSImage(bitmap, name.isEmpty() ? name : QStringLiteral("%1 (sRGB)").arg(name));
}

QString QSImagePreviewer::showLayer(platform::Layer *layer, const QString &name)
{
    if (!layer) {
        platform::logWarning(QStringLiteral("Previewing nil layer with name %1").arg(name));
        return {};
    }
    const QSizeF size = layer->bounds().size();
    if (size.width() <= 0 || size.height() <= 0) {
        platform::logWarning(QStringLiteral("Previewing %1 layer with name %2").arg(sizeText(size), name));
        return {};
    }
    const QString given = nameFor(name);
    // Layers are drawn on the main thread, where they live.
    const QPointer<platform::Layer> drawn(layer);
    onMainQueue([drawn, given] {
        if (drawn)
            sharedImagePreviewer()->addImage({platform::LayerRenderer::picture(*drawn), given});
    });
    return given;
}

QString QSImagePreviewer::showView(QWidget *view, const QString &name)
{
    if (!view) {
        platform::logWarning(QStringLiteral("Previewing nil view with name %1").arg(name));
        return {};
    }
    const QString given = nameFor(name);
    const QPointer<QWidget> captured(view);
    onMainQueue([captured, given] {
        if (!captured)
            return;
        QImage picture(captured->size().expandedTo({1, 1}), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        captured->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
        sharedImagePreviewer()->addImage({picture, given});
    });
    return given;
}

void QSImagePreviewer::addImage(const Entry &entry)
{
    if (platform::Window *shown = window(); shown && !shown->isVisible()) {
        shown->show();
        shown->raise();
    }
    m_history.append(entry);
    setIndex(m_history.size() - 1);
    checkHistorySize();
}

void QSImagePreviewer::checkHistorySize()
{
    const qsizetype surplus = m_history.size() - m_historySize;
    if (surplus <= 0) {
        emit indexChanged();
        return;
    }
    m_history.remove(0, surplus);
    setIndex(m_index - surplus);
}

void QSImagePreviewer::setIndex(qint64 index)
{
    m_index = std::max<qint64>(std::min<qint64>(index, m_history.size() - 1), 0);
    platform::Window *shown = window();
    if (m_history.isEmpty()) {
        if (m_imageView)
            m_imageView->setImage(QImage());
        if (shown)
            shown->setWindowTitle(QStringLiteral("Image Previewer"));
    } else {
        const Entry &entry = m_history.at(m_index);
        if (m_imageView)
            m_imageView->setImage(entry.image);
        const QString size = QStringLiteral("%1 x %2").arg(entry.image.width()).arg(entry.image.height());
        if (shown)
            shown->setWindowTitle(entry.name.isEmpty()
                                      ? QStringLiteral("Image Previewer: %1").arg(size)
                                      : QStringLiteral("Image Previewer (%1): %2").arg(withoutExtension(entry.name), size));
    }
    emit indexChanged();
}

void QSImagePreviewer::nextImage(QObject *)
{
    setIndex(m_index + 1);
}

void QSImagePreviewer::previousImage(QObject *)
{
    setIndex(m_index - 1);
}

void QSImagePreviewer::clearHistory(QObject *)
{
    m_history.clear();
    setIndex(0);
}

void QSImagePreviewer::setHistorySize(qint64 size)
{
    m_historySize = std::max<qint64>(size, 1);
    platform::UserDefaults::standardUserDefaults()->setInteger(m_historySize, HistorySizeKey);
    checkHistorySize();
}

void QSImagePreviewer::save(QObject *)
{
    if (m_history.isEmpty()) {
        platform::logWarning(QStringLiteral("The image previewer has no image to save"));
        return;
    }
    const Entry entry = m_history.at(m_index);
    platform::SavePanel panel;
    panel.setAllowedFileTypes({QStringLiteral("png")});
    panel.setNameFieldStringValue(withoutExtension(entry.name));
    panel.beginSheetModalForWindow(window(), [entry](int result, const QUrl &url) {
        if (result == platform::SavePanel::OKButton)
            QSBundleManager::saveImage(entry.image, url);
    });
}
