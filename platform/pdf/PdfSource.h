#pragma once

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QRecursiveMutex>
#include <QString>

#include <memory>
#include <vector>

class QPDF;
namespace Poppler {
class Document;
}

namespace platform {

// The parsed file behind one or more PdfPage values. Its structure (qpdf) is never changed once
// it is made but for moving what pages inherit onto the pages, which changes nothing they show, so
// pages can share it freely; poppler is opened only when pixels are asked for.
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
    // Copies what the pages inherit from the page tree (resources, boxes, rotation) onto each
    // page, once, before a page is copied into another file, which takes no page-tree node along.
    // Left until then because qpdf resolves every object of the file to do it. Throws what qpdf
    // throws; the caller holds the qpdf lock.
    void pushInheritedAttributes() const;
    const QString &description() const;

    // Runs the call with a poppler document of this source (nullptr when poppler cannot open
    // it). A poppler document is safe on one thread at a time, so each call that runs while the
    // others are busy gets one of its own; they are kept for later calls.
    template <typename Call>
    auto withPoppler(Call call) const
    {
        PopplerReader reader = takePopplerReader();
        auto result = call(reader.document.get());
        returnPopplerReader(std::move(reader));
        return result;
    }

private:
    // A poppler document with a handle of its own to the very file qpdf parsed: poppler seeks and
    // reads the file, which two documents must not do through one shared file position. The
    // document goes before its file.
    struct PopplerReader
    {
        std::unique_ptr<QFile> file;
        std::unique_ptr<Poppler::Document> document;
    };
    PopplerReader openPopplerReader() const;
    // The whole file, read once through the handle, for when /proc cannot open it again.
    QByteArray fileContents() const;
    PopplerReader takePopplerReader() const;
    void returnPopplerReader(PopplerReader reader) const;

    std::unique_ptr<QPDF> m_qpdf;
    std::unique_ptr<QFile> m_file;
    mutable QByteArray m_bytes;
    QString m_description;
    mutable bool m_inheritedPushed = false;
    mutable QMutex m_popplerLock;
    mutable std::vector<PopplerReader> m_idlePoppler;
    mutable bool m_popplerFailed = false;
};

} // namespace platform
