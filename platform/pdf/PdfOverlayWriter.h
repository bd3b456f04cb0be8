#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QSizeF>

#include <memory>

class QPdfWriter;

namespace platform {

// The drawing of a PDF output that is not placed pages (paths, text, pictures, shadows), made
// with QPainter into one QPdfWriter document: each run of such drawing is a page of its own,
// later placed as a form XObject where the run was drawn. One document for all runs keeps Qt's
// work and the fonts it embeds to one set per output.
class PdfOverlayWriter
{
public:
    PdfOverlayWriter();
    ~PdfOverlayWriter();
    PdfOverlayWriter(const PdfOverlayWriter &) = delete;
    PdfOverlayWriter &operator=(const PdfOverlayWriter &) = delete;

    // Starts the next overlay page, at least as large as the size in points, and answers the
    // painter drawing on it in its y-down space of points; nullptr (logged) when Qt cannot paint.
    QPainter *begin(const QSizeF &size);
    // The height of the page begun last, in points: its y-down space starts at its top edge.
    double height() const;
    void end();
    int count() const;
    // Ends the document and answers its bytes; empty when nothing was begun.
    QByteArray finish();

private:
    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
    int m_count = 0;
    double m_height = 0;
};

} // namespace platform
