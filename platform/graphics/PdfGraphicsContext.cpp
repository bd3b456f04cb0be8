#include "platform/graphics/PdfGraphicsContext.h"

#include "platform/foundation/Log.h"
#include "platform/pdf/PdfOperators.h"
#include "platform/pdf/PdfOverlayWriter.h"
#include "platform/pdf/PdfPage.h"
#include "platform/pdf/PdfPageFormCache.h"
#include "platform/pdf/PdfSource.h"
#include "platform/pdf/PdfWriter.h"

#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>

namespace platform {

namespace {

// Pixels per point of the rasters that blur shadows in overlays.
constexpr double shadowResolution = 4;

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
    resetGraphicsState();
    m_pageOpen = true;
    m_pageSize = QSizeF(std::max(0.0, size.width()), std::max(0.0, size.height()));
    m_content.clear();
    m_xobjects = QPDFObjectHandle::newDictionary();
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
    page.replaceKey("/MediaBox", QPDFObjectHandle::newArray(
                                     QPDFObjectHandle::Rectangle(0, 0, m_pageSize.width(), m_pageSize.height())));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", m_output->newStream(m_content));
    m_output->addPage(m_output->makeIndirectObject(page), false);
    m_content.clear();
    ++m_pageCount;
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
    if (!m_xobjects.hasKey(form->name))
        m_xobjects.replaceKey(form->name, form->xobject);
    m_content += "q\n";
    for (const GraphicsState::Clip &clip : state().clips) {
        m_content += PdfOperators::path(clip.transform.map(clip.path));
        m_content += clip.path.fillRule() == Qt::WindingFill ? "W n\n" : "W* n\n";
    }
    m_content += PdfOperators::matrix(form->placement * state().transform);
    m_content += " cm " + form->name + " Do Q\n";
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
    const std::string name = "/Ov" + std::to_string(index + 1);
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

bool PdfGraphicsContext::write(QIODevice &device)
{
    if (m_written) {
        logError(QStringLiteral("Could not write the PDF: it has been written already"));
        return false;
    }
    endPage();
    m_written = true;
    if (m_failed) {
        logError(QStringLiteral("Could not write the PDF: some of its drawing failed"));
        return false;
    }
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
        PdfWriter::toDevice(*m_output, version, device);
    } catch (const std::exception &e) {
        logError(QStringLiteral("Could not write the PDF: %1").arg(QString::fromUtf8(e.what())));
        return false;
    }
    return true;
}

} // namespace platform
