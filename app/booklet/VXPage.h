#pragma once

#include "platform/pdf/PdfPage.h"

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <memory>
#include <optional>

class QDataStream;
class VXPage;
using VXPagePtr = std::shared_ptr<VXPage>;

// One input page of a booklet: a PDF page, a picture made into a page, or a blank page of a size.
// Pages are shared between filters and rendered on background threads, so they are model objects
// held by shared pointer, never widgets; the views that show them hold a VXPagePtr and draw the
// page's preview or high-resolution image. Background work keeps its page alive until its result
// has been delivered on the main thread.
class VXPage : public std::enable_shared_from_this<VXPage>
{
public:
    VXPage();
    ~VXPage();
    VXPage(const VXPage &) = delete;
    VXPage &operator=(const VXPage &) = delete;

    static VXPagePtr pageForPDFPage(const platform::PdfPage &pdfPage);
    // nullptr (logged) when the image is null.
    static VXPagePtr pageWithImage(const QImage &image);
    // A picture file's contents; a JPEG keeps its bytes. nullptr (logged) when they are no picture.
    static VXPagePtr pageWithImage(const QByteArray &encodedImage);
    // A blank page of that size in points, marked empty; nullptr (logged) for an empty size.
    static VXPagePtr pageWithSize(const QSizeF &size);
    // The one blank 100 x 100 page that every filter pads with; the same object on every call.
    static VXPagePtr emptyPage();
    // Shown while a page has no preview yet.
    static QImage placeholderImage();

    std::optional<platform::PdfPage> pdfPage() const;
    // Drops every image of the former content, the preview too, so that one is drawn anew.
    void setPdfPage(const platform::PdfPage &pdfPage);

    // The PDF page's crop box, width and height (and x and y) swapped when its rotation is an odd
    // number of quarter turns; all zeros without a PDF page.
    QRectF cropBox() const;
    QSizeF size() const;

    // Width over height of the crop box; 1.0 without a PDF page or when the box has no area.
    double ratio() const;
    void setRatio(double ratio);
    void updateRatio();
    // Wider than high by more than 2 %. Only such a page turns with the landscape rotation, on
    // screen and in print alike: a square or nearly square page stays upright in both.
    bool isLandscape() const;

    bool isEmpty() const;
    void setIsEmpty(bool isEmpty);
    bool isCalculatingPreview() const;
    void setIsCalculatingPreview(bool isCalculatingPreview);
    QImage preview() const;
    void setPreview(const QImage &preview);

    // Draws the page into the current graphics context, turned by orientation quarter turns
    // counter-clockwise about its centre and stretched to fill the rectangle. Threads draw at the
    // same time, each into a context of its own.
    void renderInRect(const QRectF &rect, int orientation) const;

    // Draws the preview (at most 300 points on the long side) unless one exists, one is being
    // drawn, or there is no PDF page; true when it drew one. A drawing the limit cancels leaves
    // no preview, to be drawn when asked again; one that runs out of time is the page as far as
    // it got, and a page whose drawing would run away is a plain placeholder (both with a warning).
    bool calcPreview(const platform::PdfDrawingLimit &limit = platform::PdfDrawingLimit());
    // Runs calcPreview on the render queue, then calls whenDrawn on the main thread, whether it
    // drew a preview or not (one was there already, or nobody holds the page any more).
    void calcPreviewInBackground(std::function<void()> whenDrawn);

    // The cached image when it has this orientation and at least this long-side resolution
    // (*cached, when given, then says so). Otherwise starts rendering one on the render queue,
    // hands it to highresBlock on the main thread, and returns the preview, or the placeholder
    // when there is none yet. A render whose asker lets go of `wanted`, before it starts or while
    // it draws, is dropped, so that pages paged past do not hold up the one shown; so is one of a
    // page nobody else holds. A render of the content the page had before setPdfPage is neither
    // cached nor handed out: the page is drawn again. Renders are drawn as calcPreview draws.
    QImage imageForResolution(double resolution, int orientation,
                              std::function<void(const QImage &)> highresBlock,
                              std::weak_ptr<const void> wanted, bool *cached = nullptr);
    // Readies the drawing of the page on the render queue, ahead of a render asked for soon.
    void prepareDrawingInBackground();
    // High-resolution renders dropped so far in this process.
    static int droppedRenderCount();
    // Returns once the renders queued so far have been drawn; what they hand to the main thread
    // comes on a later turn of its event loop.
    static void waitForRenders();

    // A new page showing the same PDF page and sharing this page's preview; not marked empty.
    VXPagePtr copy() const;

    // Writes the PDF page (as a one-page PDF) under "pdfPage" and the flag under "isEmpty";
    // false (logged) when the page could not be written.
    bool encodeWithCoder(QDataStream &stream) const;
    // Reads what encodeWithCoder wrote, PDF page and flag included; nullptr (logged) on failure.
    static VXPagePtr pageWithCoder(QDataStream &stream);

private:
    // The page drawn on white within the limit; nothing when the limit cancelled it.
    std::optional<QImage> renderedImage(const QSize &size, int orientation, const platform::PdfDrawingLimit &limit) const;
    std::optional<QImage> cachedImage(double resolution, int orientation) const;
    void renderInBackground(double resolution, int orientation, std::function<void(const QImage &)> highresBlock,
                            std::weak_ptr<const void> wanted);
    // Counts the changes of the PDF page, so that a render can tell whether its content is still the page's.
    quint64 contentGeneration() const;
    double ratioLocked() const;

    mutable QMutex m_mutex;
    std::optional<platform::PdfPage> m_pdfPage;
    quint64 m_contentGeneration = 0;
    mutable double m_ratio = 0;
    bool m_isEmpty = false;
    bool m_isCalculatingPreview = false;
    QImage m_preview;
};
