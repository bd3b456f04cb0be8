#pragma once

#include <QRectF>
#include <QTransform>

#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>
#include "platform/pdf/PdfRectangles.h"
#include "platform/pdf/PdfScalars.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace platform {

class PdfPage;
class PdfSource;

// Form XObjects in an output document that show pages of other documents, one per source page
// however often it is placed. A page's content, fonts and pictures are copied as they are: a
// single content stream keeps its bytes and filters, and the streams of a content array are
// decoded only to be joined. Every call is made with the qpdf lock held; throws what qpdf throws,
// and formFor throws std::range_error for a page whose box a PDF reader cannot take.
class PdfPageFormCache
{
public:
    struct Form
    {
        QPDFObjectHandle xobject;
        // Maps the form's space to the page's crop box as shown, lower-left corner at the origin.
        QTransform placement;
    };

    explicit PdfPageFormCache(QPDF &output);

    const Form &formFor(const PdfPage &page);
    // A new form showing a page of any other document, clipped to the box in its own space.
    QPDFObjectHandle formOf(QPDFObjectHandle page, const QRectF &box);
    // Raises the version to the highest of the source documents'.
    void raiseVersion(PDFVersion &version) const;
    // Once every form is made, before the output is written: lets go of what only serves making
    // more (which forms there are, what was tidied) and keeps the sources, from which the writer
    // reads the copied streams. Making a form afterwards throws std::logic_error.
    void finish();

private:
    QPDFObjectHandle copiedForeign(QPDFObjectHandle value);
    QPDFObjectHandle copied(QPDFObjectHandle value);
    QPDFObjectHandle contentOf(QPDFObjectHandle page);
    // Gives the names, numbers and booleans held in the object, and in what it holds, way to the
    // shared ones (in sources too, which shows nothing different and lets a source keep one object
    // per value) and the empty handles that qpdf leaves in copies to nulls; through references
    // (never into pages or page-tree nodes) when asked, each object once.
    void tidy(QPDFObjectHandle object, bool throughReferences);

    QPDF &m_output;
    PdfRectangles m_boxes;
    PdfScalars m_scalars;
    std::map<std::pair<const PdfSource *, int>, Form> m_forms;
    // Copied streams read their bytes from their sources when the output is written.
    std::set<std::shared_ptr<PdfSource>> m_sources;
    std::set<QPDFObjGen> m_usedContents;
    // Objects of the output and of the sources already tidied.
    std::set<std::pair<QPDF *, QPDFObjGen>> m_tidied;
    bool m_finished = false;
};

} // namespace platform
