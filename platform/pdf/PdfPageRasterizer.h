#pragma once

#include "platform/pdf/PdfDrawingLimit.h"
#include "platform/pdf/PdfPage.h"

#include <QSize>

#include <functional>
#include <memory>
#include <vector>

namespace platform {

// Draws pages straight into 8-bit RGB rows through poppler's own raster device, a band of rows at
// a time, so that a page never lies in memory whole; the device, with the fonts and glyphs it has
// made, serves every page of a file that one rasterizer draws, and the devices of the last few
// files stay, for a booklet whose sides pair pages of different files. The pixels are those of
// poppler's Qt binding, band for band. One per thread.
class PdfPageRasterizer
{
public:
    PdfPageRasterizer();
    ~PdfPageRasterizer();
    PdfPageRasterizer(const PdfPageRasterizer &) = delete;
    PdfPageRasterizer &operator=(const PdfPageRasterizer &) = delete;

    // count rows of 3 bytes a pixel, bytesPerRow apart, the first of them at first.
    using Rows = std::function<bool(const unsigned char *first, qsizetype bytesPerRow, int count)>;

    // The page turned further by quarter turns counter-clockwise and stretched to the pixels, on
    // white paper, handed to rows from the top at most bandRows at a time, within the limit. Not
    // whole when the page cannot be drawn (logged), when rows refuses a band, when the limit
    // stops it (every band counts against one budget) or when it is refused before it starts
    // (PdfPageHazards); a page that is not drawn for its file's sake says why, naming the file
    // and page. Throws std::bad_alloc when a band's memory cannot be had.
    PdfDrawingOutcome draw(const PdfPage &page, const QSize &pixels, int quarterTurns, int bandRows, const Rows &rows,
                           const PdfDrawingLimit &limit = PdfDrawingLimit());

private:
    struct Device;
    // The device of the file of the page drawn last first.
    std::vector<std::unique_ptr<Device>> m_devices;
};

} // namespace platform
