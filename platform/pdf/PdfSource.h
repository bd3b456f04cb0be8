#pragma once

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QRecursiveMutex>
#include <QString>
#include <QWaitCondition>

#include "platform/pdf/PdfPageGeometry.h"
#include "platform/pdf/PdfPageHazards.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QPDF;
namespace Poppler {
class Document;
}

namespace platform {

// The parsed file behind one or more PdfPage values. Its structure (qpdf) is never changed once
// it is made but for moving what pages inherit onto the pages and for sharing one object among
// equal names and numbers once they are copied (PdfPageFormCache), which change nothing they
// show, so pages can share it freely; poppler is opened only when pixels are asked for.
// Poppler reads the very file that qpdf parsed (an open handle, not the path), so a file saved
// over the original later cannot shift the pages under a document that is still open.
class PdfSource
{
public:
    // Takes a parsed qpdf together with what it was parsed from, for poppler to read: an open
    // file, or (without one) the bytes of the file.
    PdfSource(std::unique_ptr<QPDF> qpdf, std::unique_ptr<QFile> file, QByteArray bytes,
              QString description);
    ~PdfSource();
    PdfSource(const PdfSource &) = delete;
    PdfSource &operator=(const PdfSource &) = delete;

    // qpdf objects are not safe to touch from two threads: every use of any source's qpdf holds
    // this one lock, which also covers copying objects between sources.
    static QRecursiveMutex &qpdfLock();

    QPDF &qpdf() const;

    using Geometry = PdfPageGeometry;

    // Takes the pages as the page tree's counts say (PdfPageTree) until the whole tree is read,
    // so that a page is read only when it is first asked about. The caller holds the qpdf lock.
    void takePagesFromCounts(std::vector<QPDFObjectHandle> pages);
    // Reads the whole page tree, once: qpdf's page list, every page's geometry and which pages
    // would come out blank (*damage, logged). The pages from the counts, when they were taken,
    // must be the very pages of that list: an error text when they are not (or the tree cannot be
    // read), and the indexes then count the list's pages. Empty on success. The caller holds
    // the qpdf lock; throws what qpdf throws.
    QString readAllPages(QString *damage = nullptr);
    int pageCount() const;
    // Read once, on any thread; a page that cannot be read shows as an empty US Letter page
    // (logged), as poppler draws it.
    Geometry geometry(int index) const;
    // A page's object to copy into another file: the whole tree is read first, and a tree at
    // odds with its counts throws, as the pages shown were then not the file's. The caller holds
    // the qpdf lock.
    QPDFObjectHandle pageForCopying(int index);
    // Copies what the pages inherit from the page tree (resources, boxes, rotation) onto each
    // page, once, before a page is copied into another file, which takes no page-tree node along.
    // Left until then because qpdf resolves every object of the file to do it. Throws what qpdf
    // throws; the caller holds the qpdf lock.
    void pushInheritedAttributes() const;
    const QString &description() const;
    // Why the page is not drawn at that many pixels in all (PdfPageHazards, read once), as a
    // sentence that names the file and page; said as a warning the first time. Empty when it is
    // drawn.
    QString drawingRefusal(int index, double pixels) const;

    // A path that opens the very file behind the source (its open handle), for readers of their
    // own; empty for a source held in memory, whose bytes go to *bytes then.
    QByteArray pathForReading(QByteArray *bytes) const;

    // Runs the call with a poppler document of this source (nullptr when poppler cannot open
    // it) for the page at an index. A poppler document is safe on one thread at a time, so each
    // call that runs while the others are busy gets one of its own; they are kept for later calls.
    // Poppler reads the page tree only as far as the pages asked for, which for the last page of
    // a long file takes as long as drawing it: a call for a far page takes a document that has
    // read as far, or waits for one that is reading its way there, rather than reading the tree
    // once more; a call for a near page leaves the far-read documents to the far pages.
    template <typename Call>
    auto withPoppler(int pageIndex, Call call) const
    {
        const ReaderLoan loan(*this, pageIndex);
        return call(loan.reader.document.get());
    }

private:
    // A poppler document with a reader of its own of the very file qpdf parsed: poppler seeks and
    // reads the file, which two documents must not do through one shared file position. The
    // document goes before its reader.
    struct PopplerReader
    {
        std::unique_ptr<QIODevice> file;
        std::unique_ptr<Poppler::Document> document;
        // How many pages from the first the document has read of the page tree.
        int pagesRead = 0;
    };
    PopplerReader openPopplerReader() const;
    // The whole file, read once through the handle, for when it cannot be read again apart.
    QByteArray fileContents() const;
    // A document for a call, given back when the call ends (also by an exception).
    struct ReaderLoan
    {
        ReaderLoan(const PdfSource &source, int pageIndex);
        ~ReaderLoan();
        const PdfSource &source;
        int pageIndex;
        PopplerReader reader;
    };
    PopplerReader takePopplerReader(int pageIndex) const;
    void returnPopplerReader(PopplerReader reader, int pageIndex) const;

    void readPageTree(QString *damage);
    QPDFObjectHandle pageObject(int index) const;
    // Content streams that qpdf could not read at all (a number past 64 bits in a stream's
    // dictionary, say) are null, and the page is copied without them: said once for each page,
    // with qpdf's reason.
    void warnOfLostContents(int index, QPDFObjectHandle page);

    std::unique_ptr<QPDF> m_qpdf;
    std::vector<QPDFObjectHandle> m_pagesFromCounts;
    bool m_allPagesRead = false;
    QString m_readFailure;
    mutable QMutex m_geometryLock;
    mutable std::vector<std::optional<Geometry>> m_geometry;
    mutable QMutex m_hazardsLock;
    mutable std::map<int, PdfPageHazards> m_hazards;
    mutable std::set<int> m_refusalsSaid;
    std::unique_ptr<QFile> m_file;
    mutable QByteArray m_bytes;
    QString m_description;
    mutable bool m_inheritedPushed = false;
    // What qpdf warned of since the page tree was read; the pages whose loss was said.
    std::vector<std::string> m_warnings;
    std::set<int> m_lostContentsSaid;
    mutable QMutex m_popplerLock;
    mutable std::vector<PopplerReader> m_idlePoppler;
    // How far each document in use will have read when it is given back.
    mutable std::multiset<int> m_busyReach;
    mutable QWaitCondition m_popplerReturned;
    mutable bool m_popplerFailed = false;
};

} // namespace platform
