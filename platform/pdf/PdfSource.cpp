#include "platform/pdf/PdfSource.h"

#include "platform/foundation/Log.h"
#include "platform/pdf/PdfFileDevice.h"
#include "platform/pdf/PdfPageTree.h"
#include "platform/pdf/PopplerSharedState.h"

#include <QFile>

#include <poppler-qt6.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

namespace platform {

namespace {

// What poppler assumes for a page without a usable media box, so that geometry and pixels agree.
const QRectF defaultMediaBox(0, 0, 612, 792);

std::optional<QRectF> rectangleOf(QPDFObjectHandle box)
{
    if (!box.isRectangle())
        return std::nullopt;
    const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
    return QRectF(QPointF(std::min(r.llx, r.urx), std::min(r.lly, r.ury)),
                  QPointF(std::max(r.llx, r.urx), std::max(r.lly, r.ury)));
}

QRectF clippedTo(const QRectF &crop, const QRectF &media)
{
    const double left = std::max(crop.left(), media.left());
    const double bottom = std::max(crop.top(), media.top());
    const double right = std::min(crop.right(), media.right());
    const double top = std::min(crop.bottom(), media.bottom());
    if (right < left || top < bottom)
        return media;
    return QRectF(left, bottom, right - left, top - bottom);
}

int quarterTurns(QPDFObjectHandle rotate)
{
    if (!rotate.isNumber())
        return 0;
    const long long degrees = std::llround(rotate.getNumericValue());
    if (degrees % 90 != 0)
        return 0;
    return int(((degrees % 360) + 360) % 360);
}

PdfSource::Geometry geometryOf(QPDFObjectHandle object)
{
    QPDFPageObjectHelper page(object);
    const QRectF media = rectangleOf(page.getMediaBox()).value_or(defaultMediaBox);
    const std::optional<QRectF> crop = rectangleOf(page.getCropBox());
    return {crop ? clippedTo(*crop, media) : media, quarterTurns(page.getAttribute("/Rotate", false))};
}

} // namespace

PdfSource::PdfSource(std::unique_ptr<QPDF> qpdf, std::unique_ptr<QFile> file, QByteArray bytes,
                     QString description)
    : m_qpdf(std::move(qpdf))
    , m_file(std::move(file))
    , m_bytes(std::move(bytes))
    , m_description(std::move(description))
{
}

PdfSource::~PdfSource()
{
    QMutexLocker locker(&qpdfLock());
    m_qpdf.reset();
}

QRecursiveMutex &PdfSource::qpdfLock()
{
    static QRecursiveMutex lock;
    return lock;
}

QPDF &PdfSource::qpdf() const { return *m_qpdf; }

void PdfSource::pushInheritedAttributes() const
{
    if (m_inheritedPushed)
        return;
    m_qpdf->pushInheritedAttributesToPage();
    m_inheritedPushed = true;
}

const QString &PdfSource::description() const { return m_description; }

void PdfSource::takePagesFromCounts(std::vector<QPDFObjectHandle> pages)
{
    m_pagesFromCounts = std::move(pages);
    QMutexLocker locker(&m_geometryLock);
    m_geometry.assign(m_pagesFromCounts.size(), std::nullopt);
}

QString PdfSource::readAllPages(QString *damage)
{
    if (m_allPagesRead)
        return m_readFailure;
    m_allPagesRead = true;
    try {
        readPageTree(damage);
    } catch (const std::exception &e) {
        m_readFailure = QString::fromUtf8(e.what());
        throw;
    }
    return m_readFailure;
}

void PdfSource::readPageTree(QString *damage)
{
    if (PdfPageTree::tooDeep(*m_qpdf)) {
        m_readFailure = QStringLiteral("its page tree is nested more than %1 levels deep").arg(PdfPageTree::maxDepth);
        return;
    }
    const std::vector<QPDFObjectHandle> &pages = m_qpdf->getAllPages();
    if (!m_pagesFromCounts.empty()) {
        const bool same = pages.size() == m_pagesFromCounts.size()
            && std::equal(pages.begin(), pages.end(), m_pagesFromCounts.begin(),
                          [](QPDFObjectHandle a, QPDFObjectHandle b) { return a.getObjGen() == b.getObjGen(); });
        if (!same) {
            m_readFailure = QStringLiteral("its page tree holds %1 pages where its counts say %2, or others than they say")
                                .arg(pages.size())
                                .arg(m_pagesFromCounts.size());
        }
        m_pagesFromCounts.clear();
    }
    std::vector<std::optional<Geometry>> geometry;
    geometry.reserve(pages.size());
    for (const QPDFObjectHandle &page : pages)
        geometry.push_back(geometryOf(page));
    {
        QMutexLocker locker(&m_geometryLock);
        m_geometry = std::move(geometry);
    }
    {
        // Read for the pages of the counts, which the list may have put elsewhere.
        QMutexLocker locker(&m_hazardsLock);
        m_hazards.clear();
    }
    // A file qpdf had to repair is damaged only when a page was lost in it; a wrong object count
    // or a rebuilt cross-reference table alone costs nothing.
    if (m_qpdf->anyWarnings()) {
        const QString repair = QString::fromStdString(m_qpdf->getWarnings().front().getMessageDetail());
        const QStringList lost = PdfPageTree::unreadablePages(*m_qpdf);
        if (lost.isEmpty()) {
            logInfo(QStringLiteral("%1 was repaired while reading, with every page intact: %2").arg(m_description, repair));
        } else {
            const QString found = QStringLiteral("page %1 could not be read (%2)").arg(lost.join(QStringLiteral(", ")), repair);
            logWarning(QStringLiteral("%1 is damaged and was read as far as possible: %2").arg(m_description, found));
            if (damage)
                *damage = found;
        }
    }
}

int PdfSource::pageCount() const
{
    QMutexLocker locker(&m_geometryLock);
    return int(m_geometry.size());
}

QPDFObjectHandle PdfSource::pageObject(int index) const
{
    const std::vector<QPDFObjectHandle> &pages = m_allPagesRead ? m_qpdf->getAllPages() : m_pagesFromCounts;
    if (index < 0 || std::size_t(index) >= pages.size())
        throw std::out_of_range("no page " + std::to_string(index + 1) + " in " + m_description.toStdString());
    return pages[std::size_t(index)];
}

PdfSource::Geometry PdfSource::geometry(int index) const
{
    {
        QMutexLocker locker(&m_geometryLock);
        if (index >= 0 && std::size_t(index) < m_geometry.size() && m_geometry[std::size_t(index)])
            return *m_geometry[std::size_t(index)];
    }
    QMutexLocker qpdf(&qpdfLock());
    Geometry read{defaultMediaBox, 0};
    try {
        read = geometryOf(pageObject(index));
    } catch (const std::exception &e) {
        logWarning(QStringLiteral("Could not read page %1 of %2: %3").arg(index + 1).arg(m_description, QString::fromUtf8(e.what())));
        return read;
    }
    QMutexLocker locker(&m_geometryLock);
    if (std::size_t(index) < m_geometry.size())
        m_geometry[std::size_t(index)] = read;
    return read;
}

QString PdfSource::drawingRefusal(int index, double pixels) const
{
    std::optional<PdfPageHazards> hazards;
    {
        QMutexLocker locker(&m_hazardsLock);
        if (const auto found = m_hazards.find(index); found != m_hazards.end())
            hazards = found->second;
    }
    if (!hazards) {
        const QSizeF visible = geometry(index).cropBox.size();
        QMutexLocker qpdf(&qpdfLock());
        try {
            const double fileBytes = double(m_file ? m_file->size() : m_bytes.size());
            hazards = PdfPageHazards::of(pageObject(index), visible.width() * visible.height(), fileBytes);
        } catch (const std::exception &) {
            // A page that cannot be read is drawn as poppler reads it.
            hazards = PdfPageHazards();
        }
        QMutexLocker locker(&m_hazardsLock);
        m_hazards.insert({index, *hazards});
    }
    const QString hazard = hazards->refusal(pixels);
    if (hazard.isEmpty())
        return {};
    const QString refusal = QStringLiteral("Page %1 of %2 is not drawn: %3").arg(index + 1).arg(m_description, hazard);
    QMutexLocker locker(&m_hazardsLock);
    if (m_refusalsSaid.insert(index).second)
        logWarning(refusal);
    return refusal;
}

QPDFObjectHandle PdfSource::pageForCopying(int index)
{
    const QString failure = readAllPages();
    if (!failure.isEmpty())
        throw std::runtime_error(QStringLiteral("%1 was not read as it is: %2").arg(m_description, failure).toStdString());
    pushInheritedAttributes();
    QPDFObjectHandle page = pageObject(index);
    warnOfLostContents(index, page);
    return page;
}

void PdfSource::warnOfLostContents(int index, QPDFObjectHandle page)
{
    if (m_lostContentsSaid.count(index))
        return;
    QPDFObjectHandle contents = page.getKey("/Contents");
    std::vector<QPDFObjectHandle> streams = contents.isArray() ? contents.getArrayAsVector() : std::vector{contents};
    for (QPDFObjectHandle &stream : streams) {
        if (!stream.isNull() || !stream.isIndirect())
            continue;
        for (const QPDFExc &warning : m_qpdf->getWarnings())
            m_warnings.push_back(warning.getMessageDetail());
        const std::string object = "object " + stream.getObjGen().unparse('/') + ":";
        const auto said = std::find_if(m_warnings.crbegin(), m_warnings.crend(),
                                       [&](const std::string &warning) { return warning.starts_with(object); });
        logWarning(QStringLiteral("Page %1 of %2 is copied without its contents, which cannot be read: %3")
                       .arg(index + 1)
                       .arg(m_description,
                            said == m_warnings.crend() ? QStringLiteral("%1 is missing").arg(QString::fromStdString(object.substr(0, object.size() - 1)))
                                                       : QString::fromStdString(*said)));
        m_lostContentsSaid.insert(index);
        return;
    }
}

QByteArray PdfSource::pathForReading(QByteArray *bytes) const
{
    if (m_file)
        return QFile::encodeName(QStringLiteral("/proc/self/fd/%1").arg(m_file->handle()));
    *bytes = m_bytes;
    return {};
}

PdfSource::PopplerReader PdfSource::openPopplerReader() const
{
    makePopplerSharedState();
    PopplerReader reader;
    if (m_file) {
        // The very file behind the handle, even once it has been replaced.
        try {
            reader.file = std::make_unique<PdfFileDevice>(m_file->handle(), m_description);
            reader.document = Poppler::Document::load(reader.file.get());
        } catch (const std::exception &) {
            reader.file.reset();
            reader.document = Poppler::Document::loadFromData(fileContents());
        }
    } else {
        reader.document = Poppler::Document::loadFromData(m_bytes);
    }
    if (!reader.document || reader.document->isLocked()) {
        reader.document.reset();
        return reader;
    }
    reader.document->setRenderHint(Poppler::Document::Antialiasing);
    reader.document->setRenderHint(Poppler::Document::TextAntialiasing);
    reader.document->setRenderHint(Poppler::Document::IgnorePaperColor);
    return reader;
}

QByteArray PdfSource::fileContents() const
{
    QMutexLocker locker(&m_popplerLock);
    if (m_bytes.isEmpty() && m_file->seek(0))
        m_bytes = m_file->readAll();
    return m_bytes;
}

namespace {

// Pages that poppler reads its way past in a moment; a document that read much further than a
// page is left for the far pages.
constexpr int nearPages = 256;

} // namespace

PdfSource::ReaderLoan::ReaderLoan(const PdfSource &source, int pageIndex)
    : source(source)
    , pageIndex(pageIndex)
    , reader(source.takePopplerReader(pageIndex))
{
}

PdfSource::ReaderLoan::~ReaderLoan() { source.returnPopplerReader(std::move(reader), pageIndex); }

PdfSource::PopplerReader PdfSource::takePopplerReader(int pageIndex) const
{
    const auto reach = [pageIndex](const PopplerReader &reader) { return std::max(reader.pagesRead, pageIndex + 1); };
    {
        QMutexLocker locker(&m_popplerLock);
        for (;;) {
            if (m_popplerFailed)
                return {};
            // The one that read least far past the page, then the one that read farthest short of it.
            auto chosen = m_idlePoppler.end();
            for (auto reader = m_idlePoppler.begin(); reader != m_idlePoppler.end(); ++reader) {
                if (reader->pagesRead > pageIndex + nearPages)
                    continue;
                const bool past = reader->pagesRead > pageIndex;
                if (chosen == m_idlePoppler.end())
                    chosen = reader;
                else if (past != (chosen->pagesRead > pageIndex))
                    chosen = past ? reader : chosen;
                else if (past ? reader->pagesRead < chosen->pagesRead : reader->pagesRead > chosen->pagesRead)
                    chosen = reader;
            }
            const bool farPage = pageIndex >= nearPages;
            const bool readFarEnough = chosen != m_idlePoppler.end() && chosen->pagesRead > pageIndex;
            if (!readFarEnough && farPage) {
                const auto pastIdle = std::find_if(m_idlePoppler.begin(), m_idlePoppler.end(),
                                                   [pageIndex](const PopplerReader &reader) { return reader.pagesRead > pageIndex; });
                if (pastIdle != m_idlePoppler.end()) {
                    chosen = pastIdle;
                } else if (!m_busyReach.empty() && *m_busyReach.rbegin() > pageIndex) {
                    m_popplerReturned.wait(&m_popplerLock);
                    continue;
                }
            }
            if (chosen == m_idlePoppler.end())
                break;
            PopplerReader reader = std::move(*chosen);
            m_idlePoppler.erase(chosen);
            m_busyReach.insert(reach(reader));
            return reader;
        }
        m_busyReach.insert(pageIndex + 1);
    }
    PopplerReader reader = openPopplerReader();
    if (!reader.document) {
        QMutexLocker locker(&m_popplerLock);
        if (!m_popplerFailed)
            logError(QStringLiteral("Could not open %1 for drawing").arg(m_description));
        m_popplerFailed = true;
        m_busyReach.erase(m_busyReach.find(pageIndex + 1));
        m_popplerReturned.wakeAll();
    }
    return reader;
}

void PdfSource::returnPopplerReader(PopplerReader reader, int pageIndex) const
{
    if (!reader.document)
        return;
    QMutexLocker locker(&m_popplerLock);
    const int reach = std::max(reader.pagesRead, pageIndex + 1);
    m_busyReach.erase(m_busyReach.find(reach));
    reader.pagesRead = reach;
    m_idlePoppler.push_back(std::move(reader));
    m_popplerReturned.wakeAll();
}

} // namespace platform
