#include "platform/pdf/PdfDocument.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"
#include "platform/pdf/PdfFileInput.h"
#include "platform/pdf/PdfSource.h"
#include "platform/pdf/PdfWriter.h"

#include <QFile>

#include <qpdf/PDFVersion.hh>
#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>
#include <memory>
#include <set>
#include <vector>

namespace platform {

namespace {

QString reasonOf(const std::exception &e)
{
    if (const auto *qpdfError = dynamic_cast<const QPDFExc *>(&e)) {
        const QString detail = QString::fromStdString(qpdfError->getMessageDetail());
        switch (qpdfError->getErrorCode()) {
        case qpdf_e_password:
            return QStringLiteral("it needs a password");
        case qpdf_e_damaged_pdf:
        case qpdf_e_pages:
        case qpdf_e_object:
            return QStringLiteral("it is not a PDF or is damaged beyond repair (%1)").arg(detail);
        default:
            return detail;
        }
    }
    return QString::fromUtf8(e.what());
}

// Deeper than the page tree of any real file. qpdf walks the tree recursively, so a hostile file
// nested thousands of levels deep would overflow the stack.
constexpr int maxPageTreeDepth = 256;

// Walks the page tree level by level from the catalog's /Pages without recursion. Each node with
// kids is visited once, so a cycle ends the walk and a wide tree costs one look per kid.
bool pageTreeTooDeep(QPDF &pdf)
{
    QPDFObjectHandle top = pdf.getRoot().getKey("/Pages");
    std::set<QPDFObjGen> seen{top.getObjGen()};
    std::vector<QPDFObjectHandle> level{top};
    for (int depth = 1; !level.empty(); ++depth) {
        if (depth > maxPageTreeDepth)
            return true;
        std::vector<QPDFObjectHandle> next;
        for (QPDFObjectHandle &node : level) {
            QPDFObjectHandle kids = node.getKey("/Kids");
            if (!kids.isArray())
                continue;
            for (QPDFObjectHandle kid : kids.aitems()) {
                if (kid.isDictionary() && kid.hasKey("/Kids")
                    && (!kid.isIndirect() || seen.insert(kid.getObjGen()).second))
                    next.push_back(kid);
            }
        }
        level = std::move(next);
    }
    return false;
}

// A page whose content streams are gone or do not decode draws blank. Decoding reports trouble as
// a warning or an exception, depending on how bad it is.
bool contentsUnreadable(QPDF &pdf, QPDFObjectHandle page)
{
    QPDFObjectHandle contents = page.getKey("/Contents");
    if (contents.isNull())
        return page.hasKey("/Contents");
    const size_t before = pdf.numWarnings();
    try {
        Pl_Discard discard;
        QPDFPageObjectHelper(page).pipeContents(&discard);
    } catch (const std::exception &) {
        return true;
    }
    return pdf.numWarnings() != before;
}

// The page numbers, from 1, of the pages that would come out blank.
QStringList unreadablePages(QPDF &pdf)
{
    QStringList numbers;
    const std::vector<QPDFObjectHandle> &pages = pdf.getAllPages();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (contentsUnreadable(pdf, pages[i]))
            numbers << QString::number(i + 1);
    }
    return numbers;
}

} // namespace

PdfDocument::PdfDocument() = default;

std::optional<PdfDocument> PdfDocument::open(const QString &path, bool *needsPassword)
{
    bool locked = false;
    if (needsPassword)
        *needsPassword = false;
    const QString description = QStringLiteral("\"%1\"").arg(path);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        logError(QStringLiteral("Could not open PDF %1: %2").arg(description, file->errorString()));
        return std::nullopt;
    }
    if (file->size() == 0) {
        logError(QStringLiteral("Could not open PDF %1: the file is empty").arg(description));
        return std::nullopt;
    }
    const QByteArray name = QFile::encodeName(path);
    PdfDocument document;
    const int descriptor = file->handle();
    const QString error = parse(
        [&](QPDF &pdf) { pdf.processInputSource(std::make_shared<PdfFileInput>(descriptor, name.toStdString())); },
        std::move(file), {}, description, document.m_pages, document.m_damage, locked);
    if (!error.isEmpty()) {
        if (needsPassword)
            *needsPassword = locked;
        logError(QStringLiteral("Could not open PDF %1: %2").arg(description, error));
        return std::nullopt;
    }
    return document;
}

std::optional<PdfDocument> PdfDocument::fromData(const QByteArray &bytes, const QString &description)
{
    PdfDocument document;
    bool locked = false;
    const std::string name = description.toStdString();
    const QString error = parse(
        [&](QPDF &pdf) { pdf.processMemoryFile(name.c_str(), bytes.constData(), std::size_t(bytes.size())); },
        nullptr, bytes, description, document.m_pages, document.m_damage, locked);
    if (!error.isEmpty()) {
        logError(QStringLiteral("Could not read PDF %1: %2").arg(description, error));
        return std::nullopt;
    }
    return document;
}

QString PdfDocument::parse(const std::function<void(QPDF &)> &process, std::unique_ptr<QFile> file,
                          const QByteArray &bytes, const QString &description, QList<PdfPage> &pages,
                          QString &damage, bool &needsPassword)
{
    std::shared_ptr<PdfSource> source;
    QMutexLocker locker(&PdfSource::qpdfLock());
    try {
        auto qpdf = std::make_unique<QPDF>();
        qpdf->setSuppressWarnings(true);
        process(*qpdf);
        if (pageTreeTooDeep(*qpdf))
            return QStringLiteral("its page tree is nested more than %1 levels deep").arg(maxPageTreeDepth);
        source = std::make_shared<PdfSource>(std::move(qpdf), std::move(file), bytes, description);
        QPDF &pdf = source->qpdf();
        const int count = int(pdf.getAllPages().size());
        for (int i = 0; i < count; ++i)
            pages.append(PdfPage::read(source, i));
        // A file qpdf had to repair is damaged only when a page was lost in it; a wrong object
        // count or a rebuilt cross-reference table alone costs nothing.
        if (pdf.anyWarnings()) {
            const QString repair = QString::fromStdString(pdf.getWarnings().front().getMessageDetail());
            const QStringList lost = unreadablePages(pdf);
            if (lost.isEmpty()) {
                logInfo(QStringLiteral("%1 was repaired while reading, with every page intact: %2").arg(description, repair));
            } else {
                damage = QStringLiteral("page %1 could not be read (%2)").arg(lost.join(QStringLiteral(", ")), repair);
                logWarning(QStringLiteral("%1 is damaged and was read as far as possible: %2").arg(description, damage));
            }
        }
        return {};
    } catch (const std::exception &e) {
        pages.clear();
        const auto *qpdfError = dynamic_cast<const QPDFExc *>(&e);
        needsPassword = qpdfError && qpdfError->getErrorCode() == qpdf_e_password;
        return reasonOf(e);
    } catch (...) {
        pages.clear();
        return QStringLiteral("unknown failure");
    }
}

QString PdfDocument::damage() const { return m_damage; }

int PdfDocument::pageCount() const { return int(m_pages.size()); }

std::optional<PdfPage> PdfDocument::page(int index) const
{
    if (index < 0 || index >= m_pages.size()) {
        logWarning(QStringLiteral("No PDF page at index %1 of %2").arg(index).arg(m_pages.size()));
        return std::nullopt;
    }
    return m_pages.at(index);
}

bool PdfDocument::insertPage(const PdfPage &page, int index)
{
    if (index < 0 || index > m_pages.size()) {
        logWarning(QStringLiteral("Cannot insert a PDF page at index %1 of %2").arg(index).arg(m_pages.size()));
        return false;
    }
    m_pages.insert(index, page);
    return true;
}

bool PdfDocument::removePage(int index)
{
    if (index < 0 || index >= m_pages.size()) {
        logWarning(QStringLiteral("No PDF page to remove at index %1 of %2").arg(index).arg(m_pages.size()));
        return false;
    }
    m_pages.removeAt(index);
    return true;
}

bool PdfDocument::write(const QString &path) const
{
    AtomicFileWriter out(path);
    if (!out.open()) {
        logError(QStringLiteral("Could not write PDF \"%1\": %2").arg(path, out.errorString()));
        return false;
    }
    const QString error = assemble([&](QPDF &pdf, const PDFVersion &version) {
        PdfWriter::toDevice(pdf, version, out.device());
    });
    if (!error.isEmpty()) {
        out.cancel();
        logError(QStringLiteral("Could not write PDF \"%1\": %2").arg(path, error));
        return false;
    }
    if (!out.commit()) {
        logError(QStringLiteral("Could not write PDF \"%1\": %2").arg(path, out.errorString()));
        return false;
    }
    return true;
}

std::optional<QByteArray> PdfDocument::data() const
{
    QByteArray bytes;
    const QString error = assemble([&](QPDF &pdf, const PDFVersion &version) {
        bytes = PdfWriter::toBytes(pdf, version);
    });
    if (!error.isEmpty()) {
        logError(QStringLiteral("Could not make a PDF of %1 pages: %2").arg(m_pages.size()).arg(error));
        return std::nullopt;
    }
    return bytes;
}

QString PdfDocument::assemble(const std::function<void(QPDF &, const PDFVersion &)> &output) const
{
    QMutexLocker locker(&PdfSource::qpdfLock());
    try {
        QPDF target;
        target.emptyPDF();
        target.setSuppressWarnings(true);
        QPDFPageDocumentHelper pages(target);
        PDFVersion version(1, 3);
        for (const PdfPage &page : m_pages) {
            page.m_source->pushInheritedAttributes();
            QPDF &source = page.m_source->qpdf();
            pages.addPage(QPDFPageObjectHelper(source.getAllPages().at(std::size_t(page.m_index))), false);
            version.updateIfGreater(source.getVersionAsPDFVersion());
        }
        output(target, version);
        return {};
    } catch (const std::exception &e) {
        return reasonOf(e);
    } catch (...) {
        return QStringLiteral("unknown failure");
    }
}

} // namespace platform
