#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

class QPageSize;

namespace platform {

// The sheet a job prints on and what becomes of the job: paper, orientation and margins (all in
// points), the printer, copies and two-sided printing, or the file that a save job writes.
class PrintInfo
{
public:
    enum class Orientation { Portrait = 0, Landscape = 1 };
    enum class JobDisposition { Spool, Save };
    enum class Duplex { OneSided, TwoSidedLongEdge, TwoSidedShortEdge };

    // Keys of the dictionary form, by the platform's names, and the kinds of their values:
    // "NSPrintPaperName" text; "NSPrintPaperSize" QSizeF in points (also read from the text
    // "{width, height}"); "NSPrintOrientation" 0 portrait, 1 landscape; "NSPrintScalingFactor" a
    // number above 0; "NSPrintTopMargin", "NSPrintLeftMargin", "NSPrintBottomMargin",
    // "NSPrintRightMargin" numbers in points; "NSPrintJobDisposition" "NSPrintSpoolJob" or
    // "NSPrintSaveJob"; "NSPrintJobSavingURL" QUrl (also read from a URL text); "NSPrintPrinterName"
    // text; "NSPrintCopies" a whole number from 1; "Duplex" "one-sided", "two-sided-long-edge" or
    // "two-sided-short-edge" (CUPS's names).
    static inline const QString PaperNameKey = QStringLiteral("NSPrintPaperName");
    static inline const QString PaperSizeKey = QStringLiteral("NSPrintPaperSize");
    static inline const QString OrientationKey = QStringLiteral("NSPrintOrientation");
    static inline const QString ScalingFactorKey = QStringLiteral("NSPrintScalingFactor");
    static inline const QString TopMarginKey = QStringLiteral("NSPrintTopMargin");
    static inline const QString LeftMarginKey = QStringLiteral("NSPrintLeftMargin");
    static inline const QString BottomMarginKey = QStringLiteral("NSPrintBottomMargin");
    static inline const QString RightMarginKey = QStringLiteral("NSPrintRightMargin");
    static inline const QString JobDispositionKey = QStringLiteral("NSPrintJobDisposition");
    static inline const QString SpoolJob = QStringLiteral("NSPrintSpoolJob");
    static inline const QString SaveJob = QStringLiteral("NSPrintSaveJob");
    static inline const QString JobSavingUrlKey = QStringLiteral("NSPrintJobSavingURL");
    static inline const QString PrinterNameKey = QStringLiteral("NSPrintPrinterName");
    static inline const QString CopiesKey = QStringLiteral("NSPrintCopies");
    static inline const QString DuplexKey = QStringLiteral("Duplex");

    // The dictionary with the keys that earlier versions stored ("PaperSize", "JobDisposition"
    // "save", ...) under the names above; a key given by both names keeps the current one's value.
    static QVariantMap withCurrentKeys(const QVariantMap &dictionary);

    // The paper of the user's locale (LC_PAPER; A4 where it names none), portrait, without
    // margins, spooled to the default printer, one copy, one-sided.
    PrintInfo();

    // The process's default print info, made on first use. Main thread only.
    static PrintInfo &sharedPrintInfo();

    // The dictionary's keys (current or earlier names) over a default print info; unknown keys are
    // ignored. A paper named without a size has the size of its name. nullopt (logged) when a
    // known key holds a value that does not fit it.
    static std::optional<PrintInfo> fromDictionary(const QVariantMap &dictionary);
    QVariantMap dictionary() const;

    // The archive form: a self-contained byte string that later versions can still tell apart,
    // "FoldwisePrintInfo <version>\n" and then the dictionary as an XML property list (sizes and
    // URLs as text). Decoding answers nullopt (logged) for bytes of another kind, of a version it
    // does not know, or whose dictionary does not make a print info.
    QByteArray archivedData() const;
    static std::optional<PrintInfo> fromArchivedData(const QByteArray &data);

    // A paper's size in points, from its definition rather than Qt's whole-point rounding.
    static QSizeF pointsOf(const QPageSize &paper);
    // The upright size in points of the paper a key names ("A5", "letter"); none for a name no
    // paper has.
    static std::optional<QSizeF> sizeOfPaperNamed(const QString &name);

    // The paper's key ("A4", "Letter", or "Custom" for other sizes) and its name for people.
    QString paperName() const;
    void setPaperName(const QString &name);
    QString localizedPaperName() const;
    // The sheet as it lies: wider than high in landscape.
    QSizeF paperSize() const;
    // The orientation follows the size: landscape when it is wider than high.
    void setPaperSize(const QSizeF &size);
    Orientation orientation() const;
    // Turning the paper exchanges the width and height of the paper size.
    void setOrientation(Orientation orientation);

    double topMargin() const;
    void setTopMargin(double margin);
    double leftMargin() const;
    void setLeftMargin(double margin);
    double bottomMargin() const;
    void setBottomMargin(double margin);
    double rightMargin() const;
    void setRightMargin(double margin);

    JobDisposition jobDisposition() const;
    void setJobDisposition(JobDisposition disposition);
    QUrl jobSavingUrl() const;
    void setJobSavingUrl(const QUrl &url);

    // Empty for the system's default printer.
    QString printerName() const;
    void setPrinterName(const QString &name);
    // The printer of that name when PrinterCache knows one, in the queue's own spelling; otherwise
    // false (logged) and the printer stays as it was. Before the cache's first answer a name is
    // taken as given: the job's submission tells when no queue has it.
    bool setPrinterNamed(const QString &name);
    int copies() const;
    // At least one.
    void setCopies(int copies);
    Duplex duplex() const;
    void setDuplex(Duplex duplex);
    // 1.0 prints at full size.
    double scalingFactor() const;
    void setScalingFactor(double factor);

    friend bool operator==(const PrintInfo &, const PrintInfo &) = default;

private:
    QString m_paperName;
    QSizeF m_paperSize;
    Orientation m_orientation = Orientation::Portrait;
    double m_topMargin = 0;
    double m_leftMargin = 0;
    double m_bottomMargin = 0;
    double m_rightMargin = 0;
    JobDisposition m_jobDisposition = JobDisposition::Spool;
    QUrl m_jobSavingUrl;
    QString m_printerName;
    int m_copies = 1;
    Duplex m_duplex = Duplex::OneSided;
    double m_scalingFactor = 1.0;
};

} // namespace platform
