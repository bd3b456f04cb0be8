#pragma once

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PainterRenderer.h"
#include "platform/pdf/PdfRectangles.h"

#include <QSizeF>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

class QIODevice;
class QPDF;

namespace platform {

class PdfOverlayWriter;
class PdfPageFormCache;
class PdfStreamSpool;

// A graphics context whose drawing becomes one PDF (print and export), page by page. The base
// space of each page is the PDF's own: points, origin at its lower-left corner.
//
// A PDF page drawn into it becomes a form XObject, made once per source page for the whole
// output and placed with the current transformation and clip; its content, fonts and pictures
// are copied, never redrawn. Everything else is drawn with QPainter into an overlay page of a
// QPdfWriter document; each run of such drawing between two page placements is placed as a form
// of its own at the point where it was drawn, so the stacking order holds. A page without such
// drawing costs Qt nothing.
class PdfGraphicsContext : public GraphicsContext
{
public:
    PdfGraphicsContext();
    ~PdfGraphicsContext() override;

    // Ends the page being drawn, if any, and starts the next one of that size in points, with a
    // new graphics state. A size that PDF readers do not take (beyond PdfOperators::largest, or
    // finer than PdfOperators::finest but not 0) is logged and fails the write.
    void beginPage(const QSizeF &size);
    void endPage();
    int pageCount() const;

    // Ends the open page and writes the PDF; the context takes no drawing after that. False
    // (logged) when writing fails or a page could not be placed; reason, when given, then says why.
    bool write(QIODevice &device, QString *reason = nullptr);

    // A page whose placement would need numbers that PDF readers do not take (its box finer than
    // PdfOperators::finest or beyond PdfOperators::largest, a matrix or clip beyond largest, a
    // scale that its written form would lose) is not drawn: logged, and the write fails.
    void drawPdfPage(const PdfPage &page) override;
    // The JPEG's bytes become an image of the PDF as they are, kept in a temporary file until the
    // PDF is written; a picture that cannot be kept is logged and fails the write.
    void drawJpegImage(const JpegImage &image, const QRectF &rect) override;

protected:
    PainterRenderer *renderer() override;

private:
    struct OverlayUse
    {
        QPDFObjectHandle xobjects;
        std::string name;
        int index;
    };

    void closeOverlay();
    bool isDrawable(const char *what) const;
    // Draws the XObject with the placement and the current transformation, inside the clip;
    // logged and failing the write when a number of it is one PDF readers do not take.
    void placeXObject(const std::string &prefix, const QPDFObjectHandle &xobject, const QTransform &placement,
                      const char *what);
    // The name the open page gives the XObject: the one it has on the page already, else the
    // prefix and the next number of the page's names with that prefix.
    std::string nameOnPage(const std::string &prefix, const QPDFObjectHandle &xobject) const;
    // The open page's content stream: that of one of the last few pages when it was drawn the
    // same (the same placements of the same names, as pages laid out alike are), else a new one.
    QPDFObjectHandle contentStream();

    std::unique_ptr<QPDF> m_output;
    std::unique_ptr<PdfPageFormCache> m_forms;
    std::unique_ptr<PdfOverlayWriter> m_overlays;
    std::unique_ptr<PdfStreamSpool> m_pictures;
    PdfRectangles m_mediaBoxes;
    std::optional<PainterRenderer> m_overlay;
    std::vector<OverlayUse> m_overlayUses;
    // Parsed overlays, kept until the output that copies from them is written.
    QByteArray m_overlayBytes;
    std::unique_ptr<QPDF> m_overlayPdf;

    bool m_pageOpen = false;
    QSizeF m_pageSize;
    std::string m_content;
    QPDFObjectHandle m_xobjects;
    int m_pageOverlays = 0;
    // The content streams of the last pages that differed from each other, newest first.
    std::deque<std::pair<std::string, QPDFObjectHandle>> m_recentContents;
    int m_pageCount = 0;
    bool m_failed = false;
    bool m_written = false;
};

} // namespace platform
