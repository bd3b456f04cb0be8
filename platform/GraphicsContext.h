#pragma once

namespace platform {

class PdfPage;

// Where drawing code draws: a y-up user space (origin bottom left, one unit per point unless
// transformed) with a stack of graphics states. Each thread has its own stack of current
// contexts, so page rendering on background threads never meets the main thread's drawing.
class GraphicsContext
{
public:
    virtual ~GraphicsContext();

    virtual void saveGState() = 0;
    virtual void restoreGState() = 0;
    virtual void translate(double tx, double ty) = 0;
    virtual void scale(double sx, double sy) = 0;
    // Counter-clockwise in the y-up user space.
    virtual void rotate(double radians) = 0;
    // Draws the page's crop box as shown (after the page's own /Rotate), its lower-left corner at
    // the origin of the user space and its size in points.
    virtual void drawPdfPage(const PdfPage &page) = 0;

    // The context that drawing on this thread goes to; nullptr when none.
    static GraphicsContext *current();
    static void push(GraphicsContext *context);
    static void pop();
};

} // namespace platform
