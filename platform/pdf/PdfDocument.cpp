#include "platform/pdf/PdfDocument.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Progress.h"
#include "platform/foundation/RegularFile.h"
#include "platform/pdf/PdfFileInput.h"
#include "platform/pdf/PdfPageTree.h"
#include "platform/pdf/PdfSource.h"
#include "platform/pdf/PdfWriter.h"

#include <QFile>
#include <QFileInfo>

#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <exception>
#include <memory>

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

// What the document information says of the document itself goes along with its pages; what it
// says of the program that wrote the file, and of the writing, does not.
void keepDescription(QPDF &source, QPDF &target)
{
    QPDFObjectHandle info = source.getTrailer().getKey("/Info");
    if (!info.isDictionary())
        return;
    QPDFObjectHandle kept = QPDFObjectHandle::newDictionary();
    for (const char *key : {"/Title", "/Author", "/Subject", "/Keywords", "/Creator", "/CreationDate"}) {
        QPDFObjectHandle value = info.getKey(key);
        if (value.isString())
            kept.replaceKey(key, QPDFObjectHandle::newString(value.getStringValue()));
    }
    if (!kept.getKeys().empty())
        target.getTrailer().replaceKey("/Info", target.makeIndirectObject(kept));
}

} // namespace

PdfDocument::PdfDocument() = default;

std::optional<PdfDocument> PdfDocument::open(const QString &path, bool *needsPassword, Reading reading, Progress *progress)
{
    bool locked = false;
    if (needsPassword)
        *needsPassword = false;
    const QString description = QStringLiteral("\"%1\"").arg(path);
    auto file = std::make_unique<QFile>();
    if (QString reason; !RegularFile::open(*file, path, &reason)) {
        logError(QStringLiteral("Could not open PDF %1: %2").arg(description, reason));
        return std::nullopt;
    }
    if (file->size() == 0) {
        logError(QStringLiteral("Could not open PDF %1: the file is empty").arg(description));
        return std::nullopt;
    }
    // qpdf keeps its input's name with every object it reads; the messages name the whole path.
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    PdfDocument document;
    const int descriptor = file->handle();
    std::shared_ptr<PdfFileInput> input;
    const QString error = parse(
        [&](QPDF &pdf) {
            input = std::make_shared<PdfFileInput>(descriptor, name.toStdString());
            input->setProgress(progress);
            pdf.processInputSource(input);
        },
        std::move(file), {}, description, reading, document, locked);
    // Pages read later, when they are asked for, belong to no reading that can be cancelled.
    if (input)
        input->setProgress(nullptr);
    if (progress && progress->isCancelled()) {
        logInfo(QStringLiteral("Stopped reading PDF %1, as was asked").arg(description));
        return std::nullopt;
    }
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
        [&](QPDF &pdf) {
            pdf.processInputSource(std::make_shared<PdfMemoryInput>(name, bytes.constData(), std::size_t(bytes.size())));
        },
        nullptr, bytes, description, Reading::Whole, document, locked);
    if (!error.isEmpty()) {
        logError(QStringLiteral("Could not read PDF %1: %2").arg(description, error));
        return std::nullopt;
    }
    return document;
}

QString PdfDocument::parse(const std::function<void(QPDF &)> &process, std::unique_ptr<QFile> file,
                          const QByteArray &bytes, const QString &description, Reading reading,
                          PdfDocument &document, bool &needsPassword)
{
    try {
        auto qpdf = std::make_unique<QPDF>();
        qpdf->setSuppressWarnings(true);
        process(*qpdf);
        std::optional<std::vector<QPDFObjectHandle>> fromCounts;
        if (reading == Reading::PagesWhenAsked)
            fromCounts = PdfPageTree::pagesFromCounts(*qpdf);
        auto source = std::make_shared<PdfSource>(std::move(qpdf), std::move(file), bytes, description);
        if (fromCounts) {
            source->takePagesFromCounts(std::move(*fromCounts));
            document.m_readingWhenAsked = source;
        } else if (const QString failure = source->readAllPages(&document.m_damage); !failure.isEmpty()) {
            return failure;
        }
        const int count = source->pageCount();
        for (int i = 0; i < count; ++i)
            document.m_pages.append(PdfPage(source, i));
        return {};
    } catch (const std::exception &e) {
        document.m_pages.clear();
        const auto *qpdfError = dynamic_cast<const QPDFExc *>(&e);
        needsPassword = qpdfError && qpdfError->getErrorCode() == qpdf_e_password;
        return reasonOf(e);
    } catch (...) {
        document.m_pages.clear();
        return QStringLiteral("unknown failure");
    }
}

bool PdfDocument::readAllPages()
{
    if (!m_readingWhenAsked)
        return true;
    const std::shared_ptr<PdfSource> source = std::exchange(m_readingWhenAsked, nullptr);
    QString failure;
    {
        QMutexLocker locker(&PdfSource::qpdfLock());
        try {
            failure = source->readAllPages(&m_damage);
        } catch (const std::exception &e) {
            failure = reasonOf(e);
        } catch (...) {
            failure = QStringLiteral("unknown failure");
        }
    }
    if (failure.isEmpty())
        return true;
    logError(QStringLiteral("Could not read PDF %1 further: %2").arg(source->description(), failure));
    return false;
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

bool PdfDocument::write(const QString &path, QString *reason) const
{
    const auto fail = [&](const QString &why) {
        logError(QStringLiteral("Could not write PDF \"%1\": %2").arg(path, why));
        if (reason)
            *reason = why;
        return false;
    };
    AtomicFileWriter out(path);
    if (!out.open())
        return fail(out.errorString());
    const QString error = assemble([&](QPDF &pdf, const PDFVersion &version) {
        PdfWriter::toDevice(pdf, version, out.device());
    });
    if (!error.isEmpty()) {
        out.cancel();
        return fail(error);
    }
    if (!out.commit())
        return fail(out.errorString());
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
            pages.addPage(QPDFPageObjectHelper(page.m_source->pageForCopying(page.m_index)), false);
            version.updateIfGreater(page.m_source->qpdf().getVersionAsPDFVersion());
        }
        const bool oneFile = std::all_of(m_pages.cbegin(), m_pages.cend(),
                                         [&](const PdfPage &page) { return page.m_source == m_pages.first().m_source; });
        if (!m_pages.isEmpty() && oneFile)
            keepDescription(m_pages.first().m_source->qpdf(), target);
        output(target, version);
        return {};
    } catch (const std::exception &e) {
        return reasonOf(e);
    } catch (...) {
        return QStringLiteral("unknown failure");
    }
}

} // namespace platform
