#include "platform/pdf/PdfPageRasterizer.h"

#include "platform/foundation/Log.h"
#include "platform/pdf/PdfSource.h"
#include "platform/pdf/PopplerSharedState.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <Stream.h>
#include <splash/SplashBitmap.h>

#include <algorithm>
#include <new>

namespace platform {

namespace {

// Poppler's complaints about a file are its own; what cannot be drawn is logged here.
void quiet(ErrorCategory, Goffset, const char *) {}

// Poppler asks between drawing operations; a stop is kept once said, for the bands after it.
struct BandStop
{
    const PdfDrawingLimit *limit;
    PdfDrawingEnd end = PdfDrawingEnd::Whole;
};

bool shouldAbort(void *data)
{
    BandStop &stop = *static_cast<BandStop *>(data);
    if (stop.end == PdfDrawingEnd::Whole)
        stop.end = stop.limit->verdict();
    return stop.end != PdfDrawingEnd::Whole;
}

} // namespace

// A file opened for drawing, with the raster device that keeps its fonts between pages, set up
// as poppler's Qt binding sets up its own for each page: antialiased, unhinted, on white paper.
struct PdfPageRasterizer::Device
{
    explicit Device(std::shared_ptr<PdfSource> of)
        : source(std::move(of))
    {
        makePopplerSharedState();
        const QByteArray path = source->pathForReading(&bytes);
        if (path.isEmpty())
            document = std::make_unique<PDFDoc>(new MemStream(bytes.constData(), 0, bytes.size(), Object(objNull)));
        else
            document = std::make_unique<PDFDoc>(std::make_unique<GooString>(path.constData(), path.size()));
        if (!document->isOk())
            return;
        SplashColor paper = {255, 255, 255};
        output = std::make_unique<SplashOutputDev>(splashModeRGB8, 4, false, paper, true);
        output->setFontAntialias(true);
        output->setVectorAntialias(true);
        output->setFreeTypeHinting(false, false);
        output->startDoc(document.get());
    }

    GlobalParamsIniter globalParams{quiet};
    std::shared_ptr<PdfSource> source;
    // The file in memory, for a source that has no file.
    QByteArray bytes;
    std::unique_ptr<PDFDoc> document;
    std::unique_ptr<SplashOutputDev> output;
};

PdfPageRasterizer::PdfPageRasterizer() = default;

PdfPageRasterizer::~PdfPageRasterizer() = default;

PdfDrawingOutcome PdfPageRasterizer::draw(const PdfPage &page, const QSize &pixels, int quarterTurns, int bandRows,
                                          const Rows &rows, const PdfDrawingLimit &limit)
{
    const int turns = ((quarterTurns % 4) + 4) % 4;
    const QSizeF shown = turns % 2 == 0 ? page.visibleSize() : page.visibleSize().transposed();
    if (pixels.isEmpty() || shown.isEmpty() || bandRows < 1)
        return {PdfDrawingEnd::Failed, {}};
    const QString refusal = page.m_source->drawingRefusal(page.m_index, double(pixels.width()) * pixels.height());
    if (!refusal.isEmpty())
        return {PdfDrawingEnd::Refused, refusal};
    constexpr std::size_t keptDevices = 4;
    const auto found = std::find_if(m_devices.begin(), m_devices.end(),
                                    [&](const std::unique_ptr<Device> &device) { return device->source == page.m_source; });
    if (found != m_devices.end()) {
        std::rotate(m_devices.begin(), found, found + 1);
    } else {
        m_devices.insert(m_devices.begin(), std::make_unique<Device>(page.m_source));
        if (m_devices.size() > keptDevices)
            m_devices.pop_back();
    }
    Device &device = *m_devices.front();
    if (!device.output) {
        const QString failure = QStringLiteral("Could not draw %1").arg(page.description());
        logError(failure);
        m_devices.erase(m_devices.begin());
        return {PdfDrawingEnd::Failed, failure};
    }
    const PdfDrawingUnderWay underWay;
    BandStop stop{&limit, PdfDrawingEnd::Whole};
    // Poppler turns clockwise, and its resolutions are those of the turned picture.
    static constexpr int clockwise[] = {0, 270, 180, 90};
    const double xResolution = 72.0 * pixels.width() / shown.width();
    const double yResolution = 72.0 * pixels.height() / shown.height();
    for (int top = 0; top < pixels.height() && !shouldAbort(&stop); top += bandRows) {
        const int count = std::min(bandRows, pixels.height() - top);
        device.document->displayPageSlice(device.output.get(), page.m_index + 1, xResolution, yResolution, clockwise[turns],
                                          false, true, false, 0, top, pixels.width(), count, shouldAbort, &stop);
        if (stop.end != PdfDrawingEnd::Whole)
            break;
        SplashBitmap *bitmap = device.output->getBitmap();
        // Poppler falls back to a single pixel when it cannot have the memory for the band.
        if (!bitmap || !bitmap->getDataPtr() || bitmap->getWidth() != pixels.width() || bitmap->getHeight() != count)
            throw std::bad_alloc();
        if (!rows(bitmap->getDataPtr(), bitmap->getRowSize(), count))
            return {PdfDrawingEnd::Failed, {}};
    }
    if (stop.end == PdfDrawingEnd::OutOfTime)
        return {PdfDrawingEnd::OutOfTime, limit.outOfTimeReason(page.description())};
    return {stop.end, {}};
}

} // namespace platform
