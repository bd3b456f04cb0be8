#include "platform/pdf/PdfPageFormCache.h"

#include "platform/pdf/PdfOperators.h"
#include "platform/pdf/PdfPage.h"
#include "platform/pdf/PdfSource.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

// From the page's own space to its crop box turned clockwise by /Rotate, lower-left at the origin.
QTransform placementOf(const QRectF &crop, int rotation)
{
    const double left = crop.left();
    const double bottom = crop.top();
    const double width = crop.width();
    const double height = crop.height();
    switch (rotation) {
    case 90:
        return QTransform(0, -1, 1, 0, -bottom, left + width);
    case 180:
        return QTransform(-1, 0, 0, -1, left + width, bottom + height);
    case 270:
        return QTransform(0, 1, -1, 0, bottom + height, -left);
    default:
        return QTransform::fromTranslate(-left, -bottom);
    }
}

// Throws unless a PDF reader takes the box as the form's bounding box: its edges within range
// and its sides no finer than the finest step that readers keep.
void checkBox(const QRectF &box)
{
    const bool inRange = PdfOperators::isWritable(box.left()) && PdfOperators::isWritable(box.top())
        && PdfOperators::isWritable(box.right()) && PdfOperators::isWritable(box.bottom());
    if (inRange && box.width() >= PdfOperators::finest && box.height() >= PdfOperators::finest)
        return;
    const QString size = QStringLiteral("%1 x %2 points").arg(box.width()).arg(box.height());
    throw std::range_error(
        (inRange ? QStringLiteral("its box of %1 is too small for a PDF reader to show").arg(size)
                 : QStringLiteral("its box of %1 at (%2, %3) lies beyond what a PDF reader takes")
                       .arg(size).arg(box.left()).arg(box.top()))
            .toStdString());
}

} // namespace

PdfPageFormCache::PdfPageFormCache(QPDF &output)
    : m_output(output)
{
}

const PdfPageFormCache::Form &PdfPageFormCache::formFor(const PdfPage &page)
{
    if (m_finished)
        throw std::logic_error("no form is made once the forms are finished");
    const std::pair<const PdfSource *, int> key(page.m_source.get(), page.m_index);
    const auto found = m_forms.find(key);
    if (found != m_forms.end())
        return found->second;
    checkBox(page.cropBox());
    QPDFObjectHandle pageObject = page.m_source->pageForCopying(page.m_index);
    Form form{formOf(pageObject, page.cropBox()), placementOf(page.cropBox(), page.rotation())};
    m_sources.insert(page.m_source);
    return m_forms.emplace(key, std::move(form)).first->second;
}

QPDFObjectHandle PdfPageFormCache::formOf(QPDFObjectHandle page, const QRectF &box)
{
    if (m_finished)
        throw std::logic_error("no form is made once the forms are finished");
    // The page's own names and numbers (its boxes, say); what it refers to is tidied when copied.
    tidy(page, false);
    QPDFObjectHandle form = contentOf(page);
    QPDFObjectHandle dictionary = form.getDict();
    dictionary.replaceKey("/Type", m_scalars.name("/XObject"));
    dictionary.replaceKey("/Subtype", m_scalars.name("/Form"));
    dictionary.replaceKey("/FormType", m_scalars.integer(1));
    // The crop box, not qpdf's default trim box: the whole visible page is what gets placed.
    dictionary.replaceKey("/BBox", m_boxes.of(box));
    // Inherited resources count, or a page of a groff-like file would lose its fonts.
    QPDFObjectHandle resources = QPDFPageObjectHelper(page).getAttribute("/Resources", false);
    dictionary.replaceKey("/Resources", resources.isDictionary() ? copied(resources) : QPDFObjectHandle::newDictionary());
    QPDFObjectHandle group = page.getKey("/Group");
    if (group.isDictionary())
        dictionary.replaceKey("/Group", copied(group));
    return form;
}

void PdfPageFormCache::raiseVersion(PDFVersion &version) const
{
    for (const std::shared_ptr<PdfSource> &source : m_sources)
        version.updateIfGreater(source->qpdf().getVersionAsPDFVersion());
}

void PdfPageFormCache::finish()
{
    m_finished = true;
    m_forms.clear();
    m_usedContents.clear();
    m_tidied.clear();
    m_scalars = PdfScalars();
}

QPDFObjectHandle PdfPageFormCache::copiedForeign(QPDFObjectHandle value)
{
    QPDFObjectHandle copy = m_output.copyForeignObject(value);
    // qpdf copies no page or page-tree node this way (a damaged file can name one among its
    // resources or as its contents) and leaves an empty handle in its place.
    if (!copy.isInitialized())
        return QPDFObjectHandle::newNull();
    // Copying read every object it reached in the source, which keeps them as long as the source.
    tidy(value, true);
    tidy(copy, true);
    return copy;
}

void PdfPageFormCache::tidy(QPDFObjectHandle object, bool throughReferences)
{
    std::vector<QPDFObjectHandle> todo{object};
    while (!todo.empty()) {
        QPDFObjectHandle current = todo.back();
        todo.pop_back();
        if (current.isIndirect() && !m_tidied.insert({current.getOwningQPDF(), current.getObjGen()}).second)
            continue;
        // What takes the item's place, or the item itself. The empty handles that qpdf leaves for
        // pages no writer can take.
        const auto replacement = [this, &todo, throughReferences](QPDFObjectHandle item) {
            if (!item.isInitialized())
                return QPDFObjectHandle::newNull();
            if (PdfScalars::shareable(item))
                return m_scalars.of(item);
            if (item.isIndirect() && (!throughReferences || item.isPageObject() || item.isPagesObject()))
                return item;
            if (item.isDictionary() || item.isArray() || item.isStream())
                todo.push_back(item);
            return item;
        };
        QPDFObjectHandle dictionary = current.isStream() ? current.getDict() : current;
        if (dictionary.isDictionary()) {
            // Read as it stands: getKeys would read every object that the dictionary refers to.
            for (const auto &[key, item] : dictionary.getDictAsMap()) {
                // A stream's length is its own: sharing it would save nothing.
                if (current.isStream() && key == "/Length")
                    continue;
                QPDFObjectHandle replaced = replacement(item);
                if (!replaced.isSameObjectAs(item))
                    dictionary.replaceKey(key, replaced);
            }
        } else if (current.isArray()) {
            for (int index = 0; index < current.getArrayNItems(); ++index) {
                QPDFObjectHandle item = current.getArrayItem(index);
                QPDFObjectHandle replaced = replacement(item);
                if (!replaced.isSameObjectAs(item))
                    current.setArrayItem(index, replaced);
            }
        }
    }
}

QPDFObjectHandle PdfPageFormCache::copied(QPDFObjectHandle value)
{
    if (value.isIndirect())
        return copiedForeign(value);
    if (value.isDictionary()) {
        QPDFObjectHandle result = QPDFObjectHandle::newDictionary();
        for (auto &[key, item] : value.ditems())
            result.replaceKey(key, copied(item));
        return result;
    }
    if (value.isArray()) {
        QPDFObjectHandle result = QPDFObjectHandle::newArray();
        for (auto &item : value.aitems())
            result.appendItem(copied(item));
        return result;
    }
    return PdfScalars::shareable(value) ? m_scalars.of(value) : value.shallowCopy();
}

QPDFObjectHandle PdfPageFormCache::contentOf(QPDFObjectHandle page)
{
    QPDFObjectHandle contents = page.getKey("/Contents");
    // A one-stream array (as groff writes) is that stream: copied as it is, not decoded and joined.
    if (contents.isArray() && contents.getArrayNItems() == 1 && contents.getArrayItem(0).isStream())
        contents = contents.getArrayItem(0);
    if (contents.isStream()) {
        QPDFObjectHandle local = copiedForeign(contents);
        if (local.isNull())
            return m_output.newStream(std::string());
        if (m_usedContents.insert(local.getObjGen()).second)
            return local;
        // Another page shows the same stream; this form needs a dictionary of its own.
        QPDFObjectHandle own = m_output.newStream();
        QPDFObjectHandle dictionary = local.getDict();
        own.replaceStreamData(local.getRawStreamData(), dictionary.getKey("/Filter").shallowCopy(),
                              dictionary.getKey("/DecodeParms").shallowCopy());
        return own;
    }
    std::string joined;
    if (contents.isArray()) {
        for (QPDFObjectHandle part : contents.aitems()) {
            if (!part.isStream())
                continue;
            const std::shared_ptr<Buffer> data = part.getStreamData(qpdf_dl_generalized);
            joined.append(reinterpret_cast<const char *>(data->getBuffer()), data->getSize());
            // Operators may not run on from one stream into the next.
            joined += '\n';
        }
    }
    return m_output.newStream(joined);
}

} // namespace platform
