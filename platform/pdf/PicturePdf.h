#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QSizeF>

namespace platform {

struct JpegHeader;

// Builds the file of a one-page PDF whose page is filled by a picture. Throws what qpdf or zlib
// report, and std::range_error for a page size that PDF readers do not take (below
// PdfOperators::finest or beyond PdfOperators::largest); callers catch at their boundary.
class PicturePdf
{
public:
    // The picture embedded without loss (Flate), with a soft mask when it is not opaque.
    static QByteArray fromImage(const QImage &image, const QSizeF &pointSize);
    // The JPEG's bytes carried unchanged (DCTDecode); the transformation that its metadata asks
    // for is applied by the placement on the page, whose size is that of the shown picture.
    static QByteArray fromJpeg(const QByteArray &jpeg, const JpegHeader &header,
                               QImageIOHandler::Transformations transformation,
                               const QSizeF &pointSize);
};

} // namespace platform
