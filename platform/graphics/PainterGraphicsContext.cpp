#include "platform/graphics/PainterGraphicsContext.h"

#include "platform/pdf/PdfPage.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace platform {

namespace {

// A rendering larger than this is made at a lower resolution rather than exhausting memory.
constexpr double maximumPixels = 32.0 * 1024 * 1024;

// Saves the caller's painter state first, so that the context can give it back.
QPainter *prepared(QPainter *painter)
{
    painter->save();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    return painter;
}

} // namespace

PainterGraphicsContext::PainterGraphicsContext(QPainter *painter, double height)
    : m_painter(prepared(painter))
    , m_renderer(painter, baseOf(painter, height), painter->device()->devicePixelRatioF())
{
}

PainterGraphicsContext::~PainterGraphicsContext() { m_painter->restore(); }

QTransform PainterGraphicsContext::baseOf(QPainter *painter, double height)
{
    return QTransform(1, 0, 0, -1, 0, height) * painter->transform();
}

PainterRenderer *PainterGraphicsContext::renderer() { return &m_renderer; }

bool PainterGraphicsContext::drawingFailed() const { return m_drawingFailed; }

void PainterGraphicsContext::setPdfDrawingLimit(const PdfDrawingLimit *limit) { m_pdfDrawingLimit = limit; }

const PdfDrawingOutcome &PainterGraphicsContext::pdfDrawingOutcome() const { return m_pdfDrawingOutcome; }

void PainterGraphicsContext::drawPdfPage(const PdfPage &page)
{
    const QSizeF shown = page.visibleSize();
    if (shown.isEmpty())
        return;
    m_renderer.applyGeometry(state());
    const QTransform toDevice = m_painter->combinedTransform();
    const double pixelRatio = m_painter->device()->devicePixelRatioF();
    double xScale = std::hypot(toDevice.m11(), toDevice.m12()) * pixelRatio;
    double yScale = std::hypot(toDevice.m21(), toDevice.m22()) * pixelRatio;
    if (xScale <= 0 || yScale <= 0)
        return;

    // The part of the page that can reach the device, in user space.
    const QPaintDevice *device = m_painter->device();
    QRectF visible = toDevice.inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
    if (m_painter->hasClipping())
        visible = visible.intersected(m_painter->clipBoundingRect());
    visible = visible.intersected(QRectF(QPointF(0, 0), shown));
    if (visible.isEmpty())
        return;

    const double wanted = visible.width() * xScale * visible.height() * yScale;
    if (wanted > maximumPixels) {
        const double reduction = std::sqrt(maximumPixels / wanted);
        xScale *= reduction;
        yScale *= reduction;
    }

    // Pixels of the whole rendering run y-down from the page's top edge.
    const int left = int(std::floor(visible.left() * xScale));
    const int right = int(std::ceil(visible.right() * xScale));
    const int top = int(std::floor((shown.height() - visible.bottom()) * yScale));
    const int bottom = int(std::ceil((shown.height() - visible.top()) * yScale));
    const QRect pixels(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (pixels.isEmpty())
        return;
    const PdfPage::Rendering rendering = m_pdfDrawingLimit ? page.render(xScale, yScale, pixels, *m_pdfDrawingLimit)
                                                           : page.render(xScale, yScale, pixels, PdfDrawingLimit());
    if (rendering.outcome.end != PdfDrawingEnd::Whole)
        m_pdfDrawingOutcome = rendering.outcome;
    if (rendering.outcome.end == PdfDrawingEnd::Failed)
        m_drawingFailed = true;
    const QImage &image = rendering.image;
    if (image.isNull())
        return;

    const QRectF target(left / xScale, shown.height() - bottom / yScale, pixels.width() / xScale,
                        pixels.height() / yScale);
    m_painter->save();
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform);
    m_painter->translate(target.left(), target.bottom());
    m_painter->scale(1, -1);
    m_painter->drawImage(QRectF(QPointF(0, 0), target.size()), image);
    m_painter->restore();
}

} // namespace platform
