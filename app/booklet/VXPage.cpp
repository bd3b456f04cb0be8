#include "app/booklet/VXPage.h"

#include "app/booklet/VXPageImageCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QPainter>
#include <QVariantMap>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>

namespace {

constexpr double previewLongSide = 300.0;
// The sheet on screen waits for its sharp images; the page list's previews can come after them.
constexpr int sharpImagePriority = 1;

// How long the application's end waits for the pages being drawn to stop.
constexpr std::chrono::milliseconds exitWait{1500};

platform::OperationQueue &renderQueue();

std::atomic_int droppedRenders = 0;

// Renders still queued when the application goes are dropped, and running ones stop at poppler's
// next check; one held by a drawing operation poppler cannot stop is not waited for beyond a
// moment (the application then ends without tearing down what it uses).
void drainRenderQueue()
{
    platform::PdfDrawingLimit::setStoppingAll(true);
    renderQueue().cancelAllOperations();
    if (!renderQueue().waitUntilAllOperationsAreFinished(exitWait))
        platform::logWarning(QStringLiteral("A page was still being drawn %1 seconds after Foldwise was asked to quit; "
                                            "Foldwise ends without waiting for it")
                                 .arg(double(exitWait.count()) / 1000));
}

// Every page's previews and high-resolution images are drawn here. Never destroyed: a drawing
// that outlasts the exit's wait must not hold the exit up.
platform::OperationQueue &renderQueue()
{
    static auto *queue = new platform::OperationQueue;
    [[maybe_unused]] static const bool drainedAtExit = (qAddPostRoutine(drainRenderQueue), true);
    return *queue;
}

// A drawing of a page that only the drawing itself still holds is wanted by nobody.
bool heldByDrawingAlone(const VXPagePtr &page) { return page.use_count() <= 1; }

QSize pixelSize(double width, double height)
{
    return QSize(std::max(1, int(std::lround(width))), std::max(1, int(std::lround(height))));
}

} // namespace

VXPage::VXPage() = default;

VXPage::~VXPage() { VXPageImageCache::shared().remove(this); }

VXPagePtr VXPage::pageForPDFPage(const platform::PdfPage &pdfPage)
{
    auto page = std::make_shared<VXPage>();
    page->setPdfPage(pdfPage);
    return page;
}

VXPagePtr VXPage::pageWithImage(const QImage &image)
{
    const std::optional<platform::PdfPage> pdfPage = platform::PdfPage::fromImage(image);
    return pdfPage ? pageForPDFPage(*pdfPage) : nullptr;
}

VXPagePtr VXPage::pageWithImage(const QByteArray &encodedImage)
{
    const std::optional<platform::PdfPage> pdfPage = platform::PdfPage::fromEncodedImage(encodedImage);
    return pdfPage ? pageForPDFPage(*pdfPage) : nullptr;
}

VXPagePtr VXPage::pageWithSize(const QSizeF &size)
{
    QImage blank(pixelSize(std::ceil(size.width()), std::ceil(size.height())), QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    const std::optional<platform::PdfPage> pdfPage = platform::PdfPage::fromImage(blank, size);
    if (!pdfPage)
        return nullptr;
    VXPagePtr page = pageForPDFPage(*pdfPage);
    page->setIsEmpty(true);
    return page;
}

VXPagePtr VXPage::emptyPage()
{
    static const VXPagePtr page = [] {
        VXPagePtr blank = pageWithSize(QSizeF(100, 100));
        if (!blank) {
            // Filters pad with this page, so there must be one even when no PDF can be made.
            blank = std::make_shared<VXPage>();
            blank->setIsEmpty(true);
        }
        return blank;
    }();
    return page;
}

QImage VXPage::placeholderImage()
{
    static const QImage placeholder = [] {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(QColor(230, 230, 230));
        return image;
    }();
    return placeholder;
}

std::optional<platform::PdfPage> VXPage::pdfPage() const
{
    QMutexLocker locker(&m_mutex);
    return m_pdfPage;
}

void VXPage::setPdfPage(const platform::PdfPage &pdfPage)
{
    {
        QMutexLocker locker(&m_mutex);
        m_pdfPage = pdfPage;
        m_ratio = 0;
        ++m_contentGeneration;
        m_preview = QImage();
        m_isCalculatingPreview = false;
    }
    // No image of the former content may stand in for the new one, the preview neither. The
    // ratio is read when it is first asked for: a file shown before all its pages are read reads
    // none here.
    VXPageImageCache::shared().remove(this);
}

QRectF VXPage::cropBox() const
{
    const std::optional<platform::PdfPage> page = pdfPage();
    if (!page)
        return {};
    const QRectF box = page->cropBox();
    if ((page->rotation() / 90) % 2 == 1)
        return QRectF(box.y(), box.x(), box.height(), box.width());
    return box;
}

QSizeF VXPage::size() const { return cropBox().size(); }

double VXPage::ratio() const
{
    QMutexLocker locker(&m_mutex);
    if (m_ratio == 0)
        m_ratio = ratioLocked();
    return m_ratio;
}

bool VXPage::isLandscape() const { return ratio() > 1.02; }

void VXPage::setRatio(double ratio)
{
    QMutexLocker locker(&m_mutex);
    m_ratio = ratio;
}

void VXPage::updateRatio()
{
    QMutexLocker locker(&m_mutex);
    m_ratio = ratioLocked();
}

double VXPage::ratioLocked() const
{
    if (!m_pdfPage)
        return 1.0;
    const QSizeF shown = m_pdfPage->visibleSize();
    if (shown.width() <= 0 || shown.height() <= 0) {
        platform::logWarning(QStringLiteral("A page of %1 x %2 points has no area; its ratio is taken as 1.0")
                                 .arg(shown.width())
                                 .arg(shown.height()));
        return 1.0;
    }
    return shown.width() / shown.height();
}

bool VXPage::isEmpty() const { return m_isEmpty; }

void VXPage::setIsEmpty(bool isEmpty) { m_isEmpty = isEmpty; }

bool VXPage::isCalculatingPreview() const
{
    QMutexLocker locker(&m_mutex);
    return m_isCalculatingPreview;
}

void VXPage::setIsCalculatingPreview(bool isCalculatingPreview)
{
    QMutexLocker locker(&m_mutex);
    m_isCalculatingPreview = isCalculatingPreview;
}

QImage VXPage::preview() const
{
    QMutexLocker locker(&m_mutex);
    return m_preview;
}

void VXPage::setPreview(const QImage &preview)
{
    QMutexLocker locker(&m_mutex);
    m_preview = preview;
}

void VXPage::renderInRect(const QRectF &rect, int orientation) const
{
    const std::optional<platform::PdfPage> page = pdfPage();
    const QSizeF box = cropBox().size();
    if (!page || box.width() <= 0 || box.height() <= 0)
        return;
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context) {
        platform::logWarning(QStringLiteral("No graphics context to draw a page into"));
        return;
    }
    const double w = box.width();
    const double h = box.height();
    const bool odd = orientation % 2 != 0;
    context->saveGState();
    context->translate(rect.x(), rect.y());
    context->scale(rect.width() / (odd ? h : w), rect.height() / (odd ? w : h));
    context->translate(odd ? h / 2 : w / 2, odd ? w / 2 : h / 2);
    context->rotate(orientation * M_PI / 2);
    context->translate(-w / 2, -h / 2);
    context->drawPdfPage(*page);
    context->restoreGState();
}

std::optional<QImage> VXPage::renderedImage(const QSize &size, int orientation, const platform::PdfDrawingLimit &limit) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    platform::PdfDrawingEnd end = platform::PdfDrawingEnd::Whole;
    {
        QPainter painter(&image);
        platform::PainterGraphicsContext context(&painter, size.height());
        context.setPdfDrawingLimit(&limit);
        platform::GraphicsContextScope scope(&context);
        renderInRect(QRectF(QPointF(0, 0), QSizeF(size)), orientation);
        end = context.pdfDrawingOutcome().end;
    }
    if (end == platform::PdfDrawingEnd::Cancelled)
        return std::nullopt;
    // A page whose drawing would run away stands as a plain placeholder.
    if (end == platform::PdfDrawingEnd::Refused)
        image.fill(placeholderImage().pixel(0, 0));
    return image;
}

bool VXPage::calcPreview(const platform::PdfDrawingLimit &limit)
{
    quint64 content = 0;
    {
        QMutexLocker locker(&m_mutex);
        if (m_isCalculatingPreview || !m_preview.isNull() || !m_pdfPage)
            return false;
        m_isCalculatingPreview = true;
        content = m_contentGeneration;
    }
    const double r = ratio();
    const std::optional<QImage> drawn = renderedImage(pixelSize(std::min(r * previewLongSide, previewLongSide),
                                                                std::min(previewLongSide / r, previewLongSide)),
                                                      0, limit);
    QMutexLocker locker(&m_mutex);
    // The page was given another content meanwhile: its preview is drawn anew.
    if (content != m_contentGeneration)
        return false;
    if (!drawn) {
        // Asked again, it is drawn again.
        m_isCalculatingPreview = false;
        return false;
    }
    m_preview = *drawn;
    return true;
}

void VXPage::calcPreviewInBackground(std::function<void()> whenDrawn)
{
    const VXPagePtr self = weak_from_this().lock();
    if (!self) {
        platform::logWarning(QStringLiteral("Only pages held by a VXPagePtr draw in the background"));
        return;
    }
    renderQueue().addOperation([self, whenDrawn = std::move(whenDrawn)] {
        const platform::PdfDrawingLimit limit(platform::PdfDrawingLimit::DefaultBudget, [&self] { return heldByDrawingAlone(self); });
        self->calcPreview(limit);
        if (whenDrawn)
            platform::MainQueue::post(whenDrawn);
    });
}

int VXPage::droppedRenderCount() { return droppedRenders; }

void VXPage::prepareDrawingInBackground()
{
    const VXPagePtr self = weak_from_this().lock();
    if (!self)
        return;
    renderQueue().addOperation([self] {
        if (const std::optional<platform::PdfPage> page = self->pdfPage())
            page->prepareDrawing();
    }, sharpImagePriority);
}

QImage VXPage::imageForResolution(double resolution, int orientation,
                                  std::function<void(const QImage &)> highresBlock,
                                  std::weak_ptr<const void> wanted, bool *cached)
{
    const std::optional<QImage> sharp = cachedImage(resolution, orientation);
    if (cached)
        *cached = bool(sharp);
    if (sharp)
        return *sharp;
    renderInBackground(resolution, orientation, std::move(highresBlock), std::move(wanted));
    const QImage current = preview();
    return current.isNull() ? placeholderImage() : current;
}

std::optional<QImage> VXPage::cachedImage(double resolution, int orientation) const
{
    const std::optional<VXPageImageCache::Entry> entry = VXPageImageCache::shared().find(this);
    if (entry && entry->orientation == orientation && entry->resolution >= resolution)
        return entry->image;
    return std::nullopt;
}

void VXPage::renderInBackground(double resolution, int orientation, std::function<void(const QImage &)> highresBlock,
                                std::weak_ptr<const void> wanted)
{
    const VXPagePtr self = weak_from_this().lock();
    if (!self) {
        platform::logWarning(QStringLiteral("Only pages held by a VXPagePtr draw in the background"));
        return;
    }
    renderQueue().addOperation([self, resolution, orientation, highresBlock = std::move(highresBlock), wanted] {
        if (wanted.expired()) {
            ++droppedRenders;
            return;
        }
        const quint64 content = self->contentGeneration();
        const double r = self->ratio();
        const bool odd = orientation % 2 != 0;
        const double width = std::min(odd ? resolution / r : resolution * r, resolution);
        const double height = std::min(odd ? resolution * r : resolution / r, resolution);
        const platform::PdfDrawingLimit limit(platform::PdfDrawingLimit::DefaultBudget,
                                              [&] { return wanted.expired() || heldByDrawingAlone(self); });
        const std::optional<QImage> drawn = self->renderedImage(pixelSize(width, height), orientation, limit);
        if (!drawn) {
            ++droppedRenders;
            return;
        }
        platform::MainQueue::post([self, image = *drawn, resolution, orientation, highresBlock, wanted, content] {
            if (content != self->contentGeneration()) {
                // Drawn from what the page showed before: the asker gets what it shows now.
                if (const std::optional<QImage> sharp = self->cachedImage(resolution, orientation)) {
                    if (highresBlock)
                        highresBlock(*sharp);
                } else {
                    self->renderInBackground(resolution, orientation, highresBlock, wanted);
                }
                return;
            }
            VXPageImageCache::shared().insert(self.get(), {image, orientation, resolution});
            if (highresBlock)
                highresBlock(image);
        });
    }, sharpImagePriority);
}

void VXPage::waitForRenders() { renderQueue().waitUntilAllOperationsAreFinished(); }

quint64 VXPage::contentGeneration() const
{
    QMutexLocker locker(&m_mutex);
    return m_contentGeneration;
}

VXPagePtr VXPage::copy() const
{
    auto page = std::make_shared<VXPage>();
    if (const std::optional<platform::PdfPage> content = pdfPage())
        page->setPdfPage(*content);
    page->setPreview(preview());
    return page;
}

bool VXPage::encodeWithCoder(QDataStream &stream) const
{
    QByteArray pdf;
    if (const std::optional<platform::PdfPage> content = pdfPage()) {
        platform::PdfDocument single;
        single.insertPage(*content, 0);
        const std::optional<QByteArray> bytes = single.data();
        if (!bytes)
            return false;
        pdf = *bytes;
    }
    stream << QVariantMap{{QStringLiteral("pdfPage"), pdf}, {QStringLiteral("isEmpty"), isEmpty()}};
    if (stream.status() != QDataStream::Ok) {
        platform::logError(QStringLiteral("Could not archive a page"));
        return false;
    }
    return true;
}

VXPagePtr VXPage::pageWithCoder(QDataStream &stream)
{
    QVariantMap archive;
    stream >> archive;
    if (stream.status() != QDataStream::Ok || !archive.contains(QStringLiteral("isEmpty"))) {
        platform::logError(QStringLiteral("Could not read an archived page"));
        return nullptr;
    }
    auto page = std::make_shared<VXPage>();
    const QByteArray pdf = archive.value(QStringLiteral("pdfPage")).toByteArray();
    if (!pdf.isEmpty()) {
        const std::optional<platform::PdfDocument> single =
            platform::PdfDocument::fromData(pdf, QStringLiteral("an archived page"));
        if (!single)
            return nullptr;
        if (single->pageCount() != 1) {
            platform::logError(QStringLiteral("An archived page holds %1 PDF pages").arg(single->pageCount()));
            return nullptr;
        }
        page->setPdfPage(*single->page(0));
    }
    page->setIsEmpty(archive.value(QStringLiteral("isEmpty")).toBool());
    return page;
}
