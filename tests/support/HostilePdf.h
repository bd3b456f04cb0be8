#pragma once

#include <QByteArray>
#include <QList>

// One-page PDFs, 612 x 792 points, whose drawing keeps poppler busy, written byte for byte (a
// header, numbered objects, a cross-reference table): object 1 is the catalog, 2 the page tree,
// 3 the page, 4 its content, and the objects given follow from 5 on.
class HostilePdf
{
public:
    // A stream object of that dictionary's entries (without the brackets) and data.
    static QByteArray stream(const QByteArray &entries, const QByteArray &data);
    static QByteArray page(const QByteArray &resources, const QByteArray &content, const QList<QByteArray> &objects = {},
                           const QByteArray &pageEntries = {});

    // An image XObject (object 5 when first) of that declared size, eight-bit grey, whose stream
    // holds that many bytes under the filter (none when empty).
    static QByteArray imageObject(qint64 width, qint64 height, int dataBytes = 16, const QByteArray &filter = {});
    // The page covered by one such image.
    static QByteArray image(qint64 width, qint64 height, int dataBytes = 16, const QByteArray &filter = {});
    // The image of 1 x 2147483647 pixels and 16 bytes that held poppler for minutes.
    static QByteArray tallImage();
    // A tiling pattern (object 5 when first) whose cells of that step each hold a square of half
    // the step.
    static QByteArray patternObject(double step, const QByteArray &entries = {});
    // The page filled with that pattern.
    static QByteArray pattern(double step);
    // The page filled with a pattern of cells 0.01 points wide, which held poppler for hours.
    static QByteArray finePattern();
    // A black band over the top tenth of the page, then black squares of one point, 300 to a row
    // from the page's top left (390 rows, then again over them), each filled on its own: a page
    // that takes poppler a while one drawing operation at a time, which its abort check reaches.
    static QByteArray busy(int squares);
    // An image of 16 x 67108864 pixels with a soft mask of as many, each just within what is
    // drawn, stretched over the page: seconds of poppler's time inside one drawing operation,
    // which no abort check reaches.
    static QByteArray unstoppable();
};
