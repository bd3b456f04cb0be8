#include "platform/graphics/PdfGraphicsContext.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/JpegImage.h"
#include "platform/pdf/PdfOperators.h"
#include "platform/pdf/PdfOverlayWriter.h"
#include "platform/pdf/PdfPage.h"
#include "platform/pdf/PdfPageFormCache.h"
#include "platform/pdf/PdfSource.h"
#include "platform/pdf/PdfStreamSpool.h"
#include "platform/pdf/PdfWriter.h"

#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cmath>
#include <exception>
#include <new>
#include <vector>

namespace platform {

namespace {

// Pixels per point of the rasters that blur shadows in overlays.
constexpr double shadowResolution = 4;

// Whether a PDF reader keeps the length as written: zero, or from finest to largest.
bool isKeptLength(double length)
{
    return length == 0 || (PdfOperators::isWritable(length) && std::abs(length) >= PdfOperators::finest);
}

QRectF boxOf(const QPDFObjectHandle::Rectangle &r)
{
    return QRectF(QPointF(std::min(r.llx, r.urx), std::min(r.lly, r.ury)),
                  QPointF(std::max(r.llx, r.urx), std::max(r.lly, r.ury)));
}

} // namespace

PdfGraphicsContext::PdfGraphicsContext()
    : m_output(std::make_unique<QPDF>())
    , m_overlays(std::make_unique<PdfOverlayWriter>())
{
    m_output->emptyPDF();
    m_output->setSuppressWarnings(true);
    m_forms = std::make_unique<PdfPageFormCache>(*m_output);
}

PdfGraphicsContext::~PdfGraphicsContext()
{
    m_overlay.reset();
    // Copied objects hold on to their sources, whose qpdf is only touched under the lock.
    QMutexLocker locker(&PdfSource::qpdfLock());
    m_forms.reset();
    m_output.reset();
}

void PdfGraphicsContext::beginPage(const QSizeF &size)
{
    if (m_written) {
        logWarning(QStringLiteral("No page begun: the PDF has been written"));
        return;
    }
    endPage();
    if (!isKeptLength(size.width()) || !isKeptLength(size.height())) {
        m_failed = true;
        logError(QStringLiteral("Could not begin a page of %1 x %2 points: a PDF reader takes no page of that size")
                     .arg(size.width()).arg(size.height()));
    }
    resetGraphicsState();
    m_pageOpen = true;
    // A size that was refused still opens a page, so that its drawing goes on without warnings.
    const auto kept = [](double length) { return isKeptLength(length) ? std::max(0.0, length) : 0.0; };
    m_pageSize = QSizeF(kept(size.width()), kept(size.height()));
    m_content.clear();
    m_xobjects = QPDFObjectHandle::newDictionary();
    m_pageOverlays = 0;
}

void PdfGraphicsContext::endPage()
{
    if (!m_pageOpen)
        return;
    closeOverlay();
    m_pageOpen = false;
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", m_xobjects);
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", m_mediaBoxes.of(QRectF(QPointF(0, 0), m_pageSize)));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", contentStream());
    m_output->addPage(m_output->makeIndirectObject(page), false);
    m_content.clear();
    ++m_pageCount;
}

QPDFObjectHandle PdfGraphicsContext::contentStream()
{
    // A booklet's sides alternate between a few layouts (the front and the back of a sheet, the
    // ends): a short memory finds them without holding every page's content.
    constexpr std::size_t remembered = 4;
    for (const auto &[content, stream] : m_recentContents) {
        if (content == m_content)
            return stream;
    }
    QPDFObjectHandle stream = m_output->newStream(m_content);
    m_recentContents.emplace_front(m_content, stream);
    if (m_recentContents.size() > remembered)
        m_recentContents.pop_back();
    return stream;
}

std::string PdfGraphicsContext::nameOnPage(const std::string &prefix, const QPDFObjectHandle &xobject) const
{
    int named = 0;
    QPDFObjectHandle xobjects = m_xobjects;
    for (const auto &[name, placed] : xobjects.getDictAsMap()) {
        if (placed.isSameObjectAs(xobject))
            return name;
        if (name.compare(0, prefix.size(), prefix) == 0)
            ++named;
    }
    return prefix + std::to_string(named + 1);
}

int PdfGraphicsContext::pageCount() const { return m_pageCount; }

bool PdfGraphicsContext::isDrawable(const char *what) const
{
    if (m_pageOpen)
        return true;
    logWarning(QStringLiteral("No %1 drawn: no PDF page has been begun").arg(QLatin1String(what)));
    return false;
}

void PdfGraphicsContext::drawPdfPage(const PdfPage &page)
{
    if (!isDrawable("page") || page.visibleSize().isEmpty())
        return;
    closeOverlay();
    QMutexLocker locker(&PdfSource::qpdfLock());
    const PdfPageFormCache::Form *form = nullptr;
    try {
        form = &m_forms->formFor(page);
    } catch (const std::exception &e) {
        m_failed = true;
        logError(QStringLiteral("Could not place a PDF page: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    placeXObject("/Fx", form->xobject, form->placement, "PDF page");
}

void PdfGraphicsContext::drawJpegImage(const JpegImage &image, const QRectF &rect)
{
    if (!isDrawable("picture") || image.isNull() || rect.isEmpty())
        return;
    // A picture wholly outside the clip shows nothing, however far away it lies.
    const QTransform placement(rect.width(), 0, 0, rect.height(), rect.x(), rect.y());
    QRectF visible = (placement * state().transform).mapRect(QRectF(0, 0, 1, 1));
    for (const GraphicsState::Clip &clip : state().clips)
        visible = visible.intersected(clip.transform.map(clip.path).boundingRect());
    if (visible.isEmpty())
        return;
    closeOverlay();
    QMutexLocker locker(&PdfSource::qpdfLock());
    QPDFObjectHandle xobject;
    try {
        if (!m_pictures)
            m_pictures = std::make_unique<PdfStreamSpool>();
        xobject = m_pictures->newStream(*m_output, image.bytes(), "/DCTDecode");
        QPDFObjectHandle dictionary = xobject.getDict();
        dictionary.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        dictionary.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
        dictionary.replaceKey("/Width", QPDFObjectHandle::newInteger(image.size().width()));
        dictionary.replaceKey("/Height", QPDFObjectHandle::newInteger(image.size().height()));
        dictionary.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
        dictionary.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    } catch (const std::exception &e) {
        m_failed = true;
        logError(QStringLiteral("Could not place a picture: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    // An image fills the unit square, its first row at the top.
    placeXObject("/Im", xobject, placement, "picture");
}

void PdfGraphicsContext::placeXObject(const std::string &prefix, const QPDFObjectHandle &xobject, const QTransform &placement,
                                      const char *what)
{
    // Every number of the placement must be one that a PDF reader takes, and its scale must stay
    // apart from zero once written, or the drawing would come out broken or not at all.
    const QTransform placed = placement * state().transform;
    std::vector<QPainterPath> clips;
    bool writable = PdfOperators::isWritable(placed);
    for (const GraphicsState::Clip &clip : state().clips) {
        clips.push_back(clip.transform.map(clip.path));
        writable = writable && PdfOperators::isWritable(clips.back());
    }
    if (!writable || !isKeptLength(std::hypot(placed.m11(), placed.m12()))
        || !isKeptLength(std::hypot(placed.m21(), placed.m22()))) {
        m_failed = true;
        logError(QStringLiteral("Could not place a %1: it would be drawn at a scale or position that a PDF reader does not take")
                     .arg(QLatin1String(what)));
        return;
    }
    const std::string name = nameOnPage(prefix, xobject);
    if (!m_xobjects.hasKey(name))
        m_xobjects.replaceKey(name, xobject);
    m_content += "q\n";
    for (std::size_t i = 0; i < clips.size(); ++i) {
        m_content += PdfOperators::path(clips[i]);
        m_content += state().clips[qsizetype(i)].path.fillRule() == Qt::WindingFill ? "W n\n" : "W* n\n";
    }
    m_content += PdfOperators::matrix(placed);
    m_content += " cm " + name + " Do Q\n";
}

PainterRenderer *PdfGraphicsContext::renderer()
{
    if (!isDrawable("drawing"))
        return nullptr;
    if (m_overlay)
        return &*m_overlay;
    const int index = m_overlays->count();
    QPainter *painter = m_overlays->begin(m_pageSize);
    if (!painter) {
        m_failed = true;
        return nullptr;
    }
    m_overlay.emplace(painter, QTransform(1, 0, 0, -1, 0, m_overlays->height()), shadowResolution);
    const std::string name = "/Ov" + std::to_string(++m_pageOverlays);
    m_content += "q " + name + " Do Q\n";
    m_overlayUses.push_back({m_xobjects, name, index});
    return &*m_overlay;
}

void PdfGraphicsContext::closeOverlay()
{
    if (!m_overlay)
        return;
    m_overlay.reset();
    m_overlays->end();
}

bool PdfGraphicsContext::write(QIODevice &device, QString *reason)
{
    const auto fail = [reason](const QString &why) {
        logError(QStringLiteral("Could not write the PDF: %1").arg(why));
        if (reason)
            *reason = why;
        return false;
    };
    if (m_written)
        return fail(QStringLiteral("it has been written already"));
    endPage();
    m_written = true;
    if (m_failed)
        return fail(QStringLiteral("some of its drawing failed"));
    QMutexLocker locker(&PdfSource::qpdfLock());
    try {
        m_overlayBytes = m_overlays->finish();
        if (!m_overlayBytes.isEmpty()) {
            m_overlayPdf = std::make_unique<QPDF>();
            m_overlayPdf->setSuppressWarnings(true);
            m_overlayPdf->processMemoryFile("overlays", m_overlayBytes.constData(), std::size_t(m_overlayBytes.size()));
            const std::vector<QPDFObjectHandle> &overlays = m_overlayPdf->getAllPages();
            for (const OverlayUse &use : m_overlayUses) {
                QPDFObjectHandle overlay = overlays.at(std::size_t(use.index));
                const QRectF box = boxOf(QPDFPageObjectHelper(overlay).getMediaBox().getArrayAsRectangle());
                QPDFObjectHandle xobjects = use.xobjects;
                xobjects.replaceKey(use.name, m_forms->formOf(overlay, box));
            }
        }
        PDFVersion version(1, 4);
        m_forms->raiseVersion(version);
        m_forms->finish();
        PdfWriter::toDevice(*m_output, version, device);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const std::exception &e) {
        return fail(QString::fromUtf8(e.what()));
    }
    return true;
}

} // namespace platform
