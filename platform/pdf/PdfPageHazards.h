#pragma once

#include <QString>

#include <qpdf/QPDFObjectHandle.hh>

namespace platform {

// What on a page would hold poppler inside one drawing operation, where no abort check reaches,
// for far longer than any budget: an image declaring more pixels than any picture has, or more
// than its data could hold, and a tiling pattern repeating its cell more often than the drawing
// has pixels. Read from the page's resources and content streams (its forms', patterns', Type 3
// glyphs' and annotations' too, up to 64 MB of content a page) before poppler draws, and kept
// conservative: real pages with large pictures and fine patterns are drawn.
class PdfPageHazards
{
public:
    // An image with a side beyond this many pixels, or more pixels in all than the next, is not drawn.
    static constexpr double LargestImageSide = 67108864.0; // 2^26
    static constexpr double LargestImagePixels = 17179869184.0; // 2^34
    // An image of more pixels than this is drawn only when its data, expanded as far as its
    // filters can expand any data, could hold them.
    static constexpr double LargestUnbackedImagePixels = 1073741824.0; // 2^30
    // A tiling pattern of more cells over its area than this, and than the drawing has pixels
    // (so that its cells are smaller than a pixel), is not drawn.
    static constexpr double LargestPatternCells = 16777216.0; // 2^24

    // The hazards of a page whose visible box has that area in points; no stream holds more than
    // fileBytes. The caller holds the qpdf lock. What cannot be read counts as no hazard: poppler
    // then draws as far as it reads.
    static PdfPageHazards of(QPDFObjectHandle page, double visibleArea, double fileBytes);

    // Why the page is not drawn at that many pixels in all; empty when it is drawn.
    QString refusal(double pixels) const;

private:
    // The first image that is never drawn, described.
    QString m_image;
    // The most cells one tiling pattern repeats, and that pattern described.
    double m_patternCells = 0;
    QString m_pattern;
};

} // namespace platform
