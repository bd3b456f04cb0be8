#pragma once

#include "platform/pdf/PdfPage.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class PDFVersion;
class QFile;
class QPDF;

namespace platform {

class PdfSource;
class Progress;

// An ordered list of PDF pages that may come from several files. Opening reads a file's structure
// at once (qpdf) and leaves pixels for later; writing makes one new file of the pages, each page
// keeping its content streams byte for byte.
class PdfDocument
{
public:
    // A document without pages.
    PdfDocument();

    // How much of a file opening reads: the whole page tree, or (to show some pages at once) the
    // page tree's nodes only, each page when it is first asked about and the rest through
    // readAllPages(). A file whose counts cannot be taken at their word is read whole either way.
    enum class Reading { Whole, PagesWhenAsked };

    // Opens a PDF file, on any thread: the document is the caller's alone until it hands it on.
    // Encrypted files open when they need no password to be read. On failure (missing, damaged
    // beyond repair, not a PDF, locked by a password) logs one error line; needsPassword, when
    // given, tells whether a password was what it lacked. A progress, when given, counts the
    // bytes read of the file's size; cancelled, the reading stops at its next block of the file
    // and nothing opens (logged as info).
    static std::optional<PdfDocument> open(const QString &path, bool *needsPassword = nullptr,
                                           Reading reading = Reading::Whole, Progress *progress = nullptr);
    // The same for a PDF file held in memory; the description names it in messages.
    static std::optional<PdfDocument> fromData(const QByteArray &bytes, const QString &description);

    // Reads what opening left for later, as opening a file whole would have (a no-op then). False,
    // with an error logged, when the file's page tree is not what its counts said or cannot be
    // read: the pages are then not the file's pages, which must be opened again whole.
    bool readAllPages();
    // Which pages of a file that qpdf had to repair could not be read, and why; empty when no page
    // was lost (a sound file, or one whose repair cost nothing, which is only logged as info).
    QString damage() const;

    int pageCount() const;
    // nullopt (and a warning) for an index outside the document.
    std::optional<PdfPage> page(int index) const;
    // Inserts at 0 to pageCount(); false (and a warning) for any other index.
    bool insertPage(const PdfPage &page, int index);
    bool removePage(int index);

    // Writes the pages as a new PDF file through a temporary file renamed into place, so an
    // existing file is replaced only by a complete one. Pages that all come from one file keep
    // its title, author, subject, keywords, creator and date of creation. False (logged) on
    // failure, with reason, when given, in the system's or qpdf's words.
    bool write(const QString &path, QString *reason = nullptr) const;
    // The same file in memory; nullopt (logged) on failure.
    std::optional<QByteArray> data() const;

private:
    // Parses with qpdf and, reading whole, reads every page's geometry at once, so that a file
    // damaged beyond what qpdf can recover fails here rather than later. The qpdf is new and no
    // other thread knows it, so it is parsed without the lock that shared ones need: a long
    // parse holds up nobody. The error text, empty on success.
    static QString parse(const std::function<void(QPDF &)> &process, std::unique_ptr<QFile> file,
                         const QByteArray &bytes, const QString &description, Reading reading,
                         PdfDocument &document, bool &needsPassword);
    // Copies the pages into a new qpdf document and hands it to the output. The error text,
    // empty on success.
    QString assemble(const std::function<void(QPDF &, const PDFVersion &)> &output) const;

    QList<PdfPage> m_pages;
    QString m_damage;
    // The source whose pages are read when asked, until readAllPages().
    std::shared_ptr<PdfSource> m_readingWhenAsked;
};

} // namespace platform
