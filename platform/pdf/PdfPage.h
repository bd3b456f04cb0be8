#pragma once

#include "platform/pdf/PdfDrawingLimit.h"
#include "platform/pdf/PdfPageGeometry.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

class PdfSource;

// One page of a PDF file. A page is an immutable value: copies share the parsed file it comes
// from, which stays alive as long as any page of it does. Its geometry is read once, by the file
// (when the file is read whole, or when it is first asked for in a file opened to show its first
// pages first), and can be asked from any thread.
class PdfPage
{
public:
    // A page showing a picture. Without a size the page is the picture's size at its recorded
    // resolution, or at 72 dpi (one point per pixel) when it records none. Pictures are embedded
    // losslessly (Flate, with a soft mask when they have transparency).
    static std::optional<PdfPage> fromImage(const QImage &image);
    static std::optional<PdfPage> fromImage(const QImage &image, const QSizeF &pointSize);
    // A page showing a picture file's contents. A JPEG keeps its very bytes as a DCT stream (its
    // EXIF orientation applied by the page's placement, not by re-encoding); other formats are
    // decoded and embedded losslessly. A damaged JPEG (cut short, or its frame header at odds with
    // its data) makes no page: an "Error: " line names the damage. Every failure is one "Error: "
    // line naming what the bytes are (the file they were read from, say) and why. A picture that
    // would take more memory decoded than Qt's allocation limit lets it is refused before it is
    // decoded, and told in oversized.
    struct Oversized
    {
        QSize pixels;
        qint64 decodedBytes = 0;
    };
    static std::optional<PdfPage> fromEncodedImage(const QByteArray &bytes, const QString &what = QStringLiteral("a picture file"),
                                                   std::optional<Oversized> *oversized = nullptr);

    // The visible box in the page's own y-up user space, before /Rotate: the crop box clipped to
    // the media box, the media box without a crop box.
    QRectF cropBox() const;
    // Clockwise quarter turns of the page's /Rotate, in degrees: 0, 90, 180 or 270.
    int rotation() const;
    // The crop box's size as shown, after /Rotate.
    QSizeF visibleSize() const;

    // "page 3 of \"/path/file.pdf\"", for messages.
    QString description() const;

    // The crop box as shown (after /Rotate) at the given pixels per point, y-down like any
    // image; a non-empty region renders only those pixels of the whole rendering. A null image
    // when the page cannot be drawn whole (logged).
    QImage render(double xScale, double yScale, const QRect &region = QRect()) const;
    // The same within a limit. A page that runs out of its budget comes as far as it got, with a
    // warning; one whose drawing would run away (PdfPageHazards) is not drawn, with a warning.
    struct Rendering
    {
        QImage image;
        PdfDrawingOutcome outcome;
    };
    Rendering render(double xScale, double yScale, const QRect &region, const PdfDrawingLimit &limit) const;
    // Opens what drawing the page needs (a poppler document of its file, read as far as this
    // page) and keeps it for the next draw on any thread, so that the draw itself starts at once.
    void prepareDrawing() const;

private:
    friend class PdfDocument;
    friend class PdfPageFormCache;
    friend class PdfPageRasterizer;

    PdfPage(std::shared_ptr<PdfSource> source, int index);
    PdfPageGeometry geometry() const;

    std::shared_ptr<PdfSource> m_source;
    int m_index = 0;
};

} // namespace platform
