#pragma once

#include <QRectF>

namespace platform {

// What a print operation prints: a column of printed pages, each a rectangle of the printable's
// own y-up coordinates, drawn into the current graphics context.
class Printable
{
public:
    virtual ~Printable() = default;

    // The printed pages are first to first + count - 1; false when the printable cannot say.
    virtual bool knowsPageRange(int &first, int &count) = 0;
    // The part of the printable that a printed page shows.
    virtual QRectF rectForPage(int page) = 0;
    // Draws the part of the printable within the rectangle into GraphicsContext::current().
    virtual void drawRect(const QRectF &rect) = 0;
    // True once a page could not be drawn as it should: the job is then not delivered, since a
    // booklet with blank pages in place of the failed ones is no booklet to keep. The run logs no
    // line of it: the printable's owner, which knows the pages, does.
    virtual bool drawingFailed() const { return false; }
};

} // namespace platform
