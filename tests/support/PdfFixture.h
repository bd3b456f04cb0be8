#pragma once

#include "platform/pdf/PdfPage.h"
#include "platform/pdf/PdfPageRasterizer.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

class QImage;
class QPDF;

// One page of a generated PDF: filled with its colour over the media box, a square marker at the
// lower-left corner of its crop box (a quarter of the box's shorter side), and its number as
// text ("Page 3") in the middle.
struct PdfFixturePage
{
    int number = 1;
    QSizeF mediaSize{200, 300};
    QColor fill = Qt::white;
    QColor marker = Qt::red;
    int rotate = 0;
    QRectF cropBox; // empty: the page has none
    // MediaBox, Rotate and Resources sit on a parent node of the page tree instead of the page.
    // Consecutive inherited pages share one parent, which takes them from the first of the run.
    bool inherited = false;
};

// The page tree of a generated PDF: a page (its index, from 0) or a node of kids, whose /Count is
// given (-1: the number of pages it holds).
struct PdfFixtureTree
{
    int page = -1;
    int count = -1;
    QList<PdfFixtureTree> kids;

    static PdfFixtureTree pageAt(int index) { return {.page = index, .count = -1, .kids = {}}; }
    static PdfFixtureTree node(QList<PdfFixtureTree> kids, int count = -1) { return {.page = -1, .count = count, .kids = std::move(kids)}; }
};

// PDF files made at test time with qpdf, so that every case is built exactly as described.
class PdfFixture
{
public:
    // Pages 1 to count in distinct colours, portrait 200 x 300 and landscape 300 x 200 in turn.
    static QList<PdfFixturePage> numbered(int count);
    static QColor colourOf(int number);

    static QByteArray pages(const QList<PdfFixturePage> &pages);
    // Each page 200 x 300 points shows nothing but one picture of its colour.
    static QByteArray picturesOnly(const QList<QColor> &colours);
    // AES-256 encrypted; an empty user password lets anyone open the file.
    static QByteArray encrypted(const QList<PdfFixturePage> &pages, const QByteArray &userPassword,
                                const QByteArray &ownerPassword);

    // The same pages with each content stream split in two streams of a /Contents array, cut
    // between the first rectangle and its fill operator ("re" | "f") with no space left between.
    static QByteArray splitContents(const QByteArray &pdf);
    // The trailer claims fewer objects than the file holds, as files joined by some tools do:
    // qpdf warns and loses nothing.
    static QByteArray wrongObjectCount(const QByteArray &pdf);
    // The page's content stream claims a compression its bytes do not have, and the file's
    // cross-reference offset points nowhere, so qpdf repairs the file but the page stays blank.
    static QByteArray unreadablePage(const QByteArray &pdf, int page);

    // The PDF parsed by qpdf, changed and written again.
    static QByteArray rewritten(const QByteArray &pdf, const std::function<void(QPDF &)> &change);
    // The PDF with its pages under a page tree of that shape (every page placed once).
    static QByteArray withPageTree(const QByteArray &pdf, const PdfFixtureTree &tree);
    // The numbers of a page's content as qpdf --check parses it: a token that qpdf cannot take
    // fails the test.
    static QList<double> contentNumbers(const QByteArray &pdf, int page);

    // Writes bytes to a file in the folder, made if missing, and answers its path, or nothing when the
    // write fails; read answers a file's bytes.
    static QString write(const QString &folder, const QString &name, const QByteArray &bytes);
    static QString write(const QString &path, const QByteArray &bytes);
    static QByteArray read(const QString &path);
    // A cut-off download of that many bytes: a PDF's header, then nothing but zeros, which qpdf
    // repairs by reading all of it. Written sparse, so that it costs no disk.
    static QString writeCutOff(const QString &folder, const QString &name, qint64 size);

    // What poppler shows of a page: its pixels, and its text (the whole page's for an empty rectangle,
    // in points, y-down).
    static QImage rendered(const QByteArray &pdf, int page, double dpi = 72);
    // The page as shown, turned further by quarter turns counter-clockwise by poppler itself and
    // stretched to exactly these pixels, antialiased on white paper, in Format_RGB888.
    static QImage renderedTurned(const QByteArray &pdf, int page, const QSize &pixels, int quarterTurns);
    // The page as a rasterizer hands it over band by band, gathered into one picture in
    // Format_RGB888; null when a band went missing. bands, when given, counts the bands.
    static QImage rasterized(platform::PdfPageRasterizer &rasterizer, const platform::PdfPage &page, const QSize &pixels,
                             int quarterTurns, int bandRows, int *bands = nullptr);
    static QString text(const QByteArray &pdf, int page, const QRectF &rect = {});
    // The pages as our own PdfDocument reads them.
    static QList<platform::PdfPage> pdfPages(const QByteArray &pdf);
};
