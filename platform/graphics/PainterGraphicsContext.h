#pragma once

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PainterRenderer.h"
#include "platform/pdf/PdfDrawingLimit.h"

class QPainter;

namespace platform {

// A graphics context over a QPainter (screen and bitmaps). PDF pages are drawn from a poppler
// rendering made at the resolution they reach on the device, and only for the part that is
// visible there.
class PainterGraphicsContext : public GraphicsContext
{
public:
    // The painter's current y-down space over a target of the given height becomes the y-up
    // base space; the painter gets its state back when the context goes. Drawing is
    // anti-aliased.
    PainterGraphicsContext(QPainter *painter, double height);
    ~PainterGraphicsContext() override;

    void drawPdfPage(const PdfPage &page) override;
    // True once a PDF page could not be drawn (poppler could not read it): that page is blank.
    bool drawingFailed() const;
    // PDF pages are drawn within this limit (not owned; it outlives the drawing), or within a
    // limit of the default budget when none is set.
    void setPdfDrawingLimit(const PdfDrawingLimit *limit);
    // How the last PDF page that was not drawn whole ended (a page that ran out of its budget
    // shows as far as it got, a refused or cancelled one not at all); Whole while every one was.
    const PdfDrawingOutcome &pdfDrawingOutcome() const;

protected:
    PainterRenderer *renderer() override;

private:
    static QTransform baseOf(QPainter *painter, double height);

    QPainter *m_painter;
    PainterRenderer m_renderer;
    bool m_drawingFailed = false;
    const PdfDrawingLimit *m_pdfDrawingLimit = nullptr;
    PdfDrawingOutcome m_pdfDrawingOutcome;
};

} // namespace platform
