#include "platform/pdf/PdfPage.h"

#include "platform/foundation/Log.h"
#include "platform/pdf/JpegHeader.h"
#include "platform/pdf/JpegIntegrity.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfSource.h"
#include "platform/pdf/PicturePdf.h"

#include <QBuffer>
#include <QImageReader>

#include <poppler-qt6.h>
#include <qpdf/QPDF.hh>

#include <cmath>
#include <exception>

namespace platform {

namespace {

double pointsPerPixel(int dotsPerMeter) { return 72.0 / (dotsPerMeter * 0.0254); }

QSizeF pointSizeOf(const QImage &image)
{
    // Qt stamps its own default resolution on pictures that record none, so that value counts as
    // unrecorded; such pictures are laid out at 72 dpi.
    const QImage unrecorded(1, 1, QImage::Format_RGB32);
    const int x = image.dotsPerMeterX();
    const int y = image.dotsPerMeterY();
    const bool recorded = x > 0 && y > 0
        && (x != unrecorded.dotsPerMeterX() || y != unrecorded.dotsPerMeterY());
    if (!recorded)
        return QSizeF(image.size());
    return QSizeF(image.width() * pointsPerPixel(x), image.height() * pointsPerPixel(y));
}

template <typename Build>
std::optional<PdfPage> pageFromBuilt(const QString &what, Build build)
{
    QByteArray bytes;
    try {
        bytes = build();
    } catch (const std::exception &e) {
        logError(QStringLiteral("Could not make a page of %1: %2").arg(what, QString::fromUtf8(e.what())));
        return std::nullopt;
    }
    const std::optional<PdfDocument> document = PdfDocument::fromData(bytes, what);
    if (!document)
        return std::nullopt;
    return document->page(0);
}

std::optional<PdfPage> pageOfImage(const QImage &image, const QSizeF &pointSize, const QString &what)
{
    if (image.isNull() || pointSize.isEmpty()) {
        logError(QStringLiteral("Could not make a page of %1: it is empty").arg(what));
        return std::nullopt;
    }
    return pageFromBuilt(what, [&] { return PicturePdf::fromImage(image, pointSize); });
}

// What poppler's callbacks share with one rendering: its limit, why it stopped, and the picture
// as far as it got. Poppler asks to abort between drawing operations, and once more at the end,
// so a stop is kept once said; the picture so far comes through the partial update that poppler
// makes as it stops.
struct RenderingStop
{
    const PdfDrawingLimit *limit;
    PdfDrawingEnd end = PdfDrawingEnd::Whole;
    QImage partial;
};

RenderingStop &stopOf(const QVariant &closure) { return *static_cast<RenderingStop *>(closure.value<void *>()); }

bool shouldAbort(const QVariant &closure)
{
    RenderingStop &stop = stopOf(closure);
    if (stop.end == PdfDrawingEnd::Whole)
        stop.end = stop.limit->verdict();
    return stop.end != PdfDrawingEnd::Whole;
}

bool keepsPartial(const QVariant &closure) { return stopOf(closure).end == PdfDrawingEnd::OutOfTime; }

void keepPartial(const QImage &image, const QVariant &closure) { stopOf(closure).partial = image.copy(); }

// The bytes Qt's reader would take for the picture, counted as Qt counts them against its
// allocation limit; none when the reader does not tell the picture's size or format.
std::optional<PdfPage::Oversized> oversizedPicture(const QImageReader &reader)
{
    const QSize pixels = reader.size();
    const QImage::Format format = reader.imageFormat();
    const int limitMegabytes = QImageReader::allocationLimit();
    if (!pixels.isValid() || format == QImage::Format_Invalid || limitMegabytes <= 0)
        return std::nullopt;
    const qint64 bytesPerLine = ((qint64(pixels.width()) * QImage::toPixelFormat(format).bitsPerPixel() + 31) >> 5) << 2;
    const qint64 decodedBytes = bytesPerLine * pixels.height();
    if ((decodedBytes >> 20) < limitMegabytes)
        return std::nullopt;
    return PdfPage::Oversized{pixels, decodedBytes};
}

} // namespace

PdfPage::PdfPage(std::shared_ptr<PdfSource> source, int index)
    : m_source(std::move(source))
    , m_index(index)
{
}

PdfPageGeometry PdfPage::geometry() const { return m_source->geometry(m_index); }

std::optional<PdfPage> PdfPage::fromImage(const QImage &image)
{
    return fromImage(image, pointSizeOf(image));
}

std::optional<PdfPage> PdfPage::fromImage(const QImage &image, const QSizeF &pointSize)
{
    return pageOfImage(image, pointSize, QStringLiteral("a picture"));
}

std::optional<PdfPage> PdfPage::fromEncodedImage(const QByteArray &bytes, const QString &what, std::optional<Oversized> *oversized)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const bool isJpeg = reader.format() == "jpeg";
    // Carried or decoded, a damaged JPEG would show its gaps as grey with no more than a warning.
    if (const QString damage = isJpeg ? JpegIntegrity::damage(bytes) : QString(); !damage.isEmpty()) {
        logError(QStringLiteral("Could not make a page of %1: it is a damaged JPEG: %2").arg(what, damage));
        return std::nullopt;
    }
    const std::optional<JpegHeader> jpeg = isJpeg ? JpegHeader::read(bytes) : std::nullopt;
    if (jpeg && jpeg->precision == 8 && (jpeg->components == 1 || jpeg->components == 3)) {
        const QImageIOHandler::Transformations transformation = reader.transformation();
        QSizeF shown = (transformation & QImageIOHandler::TransformationRotate90)
            ? QSizeF(jpeg->pixelSize.height(), jpeg->pixelSize.width())
            : QSizeF(jpeg->pixelSize);
        if (jpeg->dotsPerInchX > 0) {
            const bool turned = transformation & QImageIOHandler::TransformationRotate90;
            shown.rwidth() *= 72.0 / (turned ? jpeg->dotsPerInchY : jpeg->dotsPerInchX);
            shown.rheight() *= 72.0 / (turned ? jpeg->dotsPerInchX : jpeg->dotsPerInchY);
        }
        return pageFromBuilt(what, [&] { return PicturePdf::fromJpeg(bytes, *jpeg, transformation, shown); });
    }
    if (const std::optional<Oversized> refused = oversizedPicture(reader)) {
        logError(QStringLiteral("Could not make a page of %1: its %2 × %3 pixels take %4 bytes decoded, and Qt decodes no picture of %5 MB or more")
                     .arg(what)
                     .arg(refused->pixels.width())
                     .arg(refused->pixels.height())
                     .arg(refused->decodedBytes)
                     .arg(QImageReader::allocationLimit()));
        if (oversized)
            *oversized = refused;
        return std::nullopt;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        logError(QStringLiteral("Could not make a page of %1: %2").arg(what, reader.errorString()));
        return std::nullopt;
    }
    return pageOfImage(image, pointSizeOf(image), what);
}

QRectF PdfPage::cropBox() const { return geometry().cropBox; }

int PdfPage::rotation() const { return geometry().rotation; }

QSizeF PdfPage::visibleSize() const
{
    const PdfPageGeometry shown = geometry();
    return shown.rotation % 180 == 0 ? shown.cropBox.size() : shown.cropBox.size().transposed();
}

QString PdfPage::description() const { return QStringLiteral("page %1 of %2").arg(m_index + 1).arg(m_source->description()); }

QImage PdfPage::render(double xScale, double yScale, const QRect &region) const
{
    const Rendering rendering = render(xScale, yScale, region, PdfDrawingLimit());
    return rendering.outcome.end == PdfDrawingEnd::Whole ? rendering.image : QImage();
}

PdfPage::Rendering PdfPage::render(double xScale, double yScale, const QRect &region, const PdfDrawingLimit &limit) const
{
    const QSizeF shown = visibleSize();
    if (const QString refusal = m_source->drawingRefusal(m_index, shown.width() * xScale * shown.height() * yScale); !refusal.isEmpty())
        return {QImage(), {PdfDrawingEnd::Refused, refusal}};
    if (limit.verdict() == PdfDrawingEnd::Cancelled)
        return {QImage(), {PdfDrawingEnd::Cancelled, {}}};
    const PdfDrawingUnderWay underWay;
    RenderingStop stop{&limit, PdfDrawingEnd::Whole, QImage()};
    const QVariant closure = QVariant::fromValue(static_cast<void *>(&stop));
    const QImage image = m_source->withPoppler(m_index, [&](Poppler::Document *document) {
        if (!document)
            return QImage();
        const std::unique_ptr<Poppler::Page> page = document->page(m_index);
        if (!page) {
            logError(QStringLiteral("Could not draw %1").arg(description()));
            return QImage();
        }
        // Poppler takes -1 for the whole rendering.
        const bool whole = region.isEmpty();
        return page->renderToImage(72.0 * xScale, 72.0 * yScale, whole ? -1 : region.x(), whole ? -1 : region.y(),
                                   whole ? -1 : region.width(), whole ? -1 : region.height(), Poppler::Page::Rotate0,
                                   keepPartial, keepsPartial, shouldAbort, closure);
    });
    switch (stop.end) {
    case PdfDrawingEnd::Whole:
        if (image.isNull())
            return {QImage(), {PdfDrawingEnd::Failed, QStringLiteral("Could not draw %1").arg(description())}};
        return {image, {}};
    case PdfDrawingEnd::OutOfTime: {
        const QString reason = limit.outOfTimeReason(description()) + QStringLiteral("; it is shown as far as it got");
        logWarning(reason);
        return {stop.partial, {PdfDrawingEnd::OutOfTime, reason}};
    }
    default:
        return {QImage(), {PdfDrawingEnd::Cancelled, {}}};
    }
}

void PdfPage::prepareDrawing() const
{
    m_source->withPoppler(m_index, [&](Poppler::Document *document) {
        if (document)
            document->page(m_index);
        return 0;
    });
}

} // namespace platform
