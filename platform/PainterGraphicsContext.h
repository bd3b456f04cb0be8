#pragma once

#include "platform/GraphicsContext.h"

class QPainter;

namespace platform {

// A graphics context over a QPainter (screen and bitmaps). PDF pages are drawn from a poppler
// rendering made at the resolution they reach on the device, and only for the part that is
// visible there.
class PainterGraphicsContext : public GraphicsContext
{
public:
    // The painter's current y-down space over a target of the given height becomes the y-up
    // user space; the painter gets its state back when the context goes.
    PainterGraphicsContext(QPainter *painter, double height);
    ~PainterGraphicsContext() override;
    PainterGraphicsContext(const PainterGraphicsContext &) = delete;
    PainterGraphicsContext &operator=(const PainterGraphicsContext &) = delete;

    void saveGState() override;
    void restoreGState() override;
    void translate(double tx, double ty) override;
    void scale(double sx, double sy) override;
    void rotate(double radians) override;
    void drawPdfPage(const PdfPage &page) override;

private:
    QPainter *m_painter;
    int m_depth = 0;
};

} // namespace platform
