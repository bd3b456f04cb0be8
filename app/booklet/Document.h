#pragma once

#include "app/booklet/VXBookletPrintView.h"
#include "app/booklet/VXControllingTask.h"
#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXPDFInputFilter.h"
#include "app/booklet/VXPageNumberFilter.h"
#include "app/booklet/VXPagesControllerDelegate.h"
#include "app/booklet/VXPrintableDocument.h"
#include "app/booklet/VXReverseFilter.h"
#include "app/booklet/VXSplitFilter.h"
#include "app/booklet/VXStaplesFilter.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/printing/PrintInfo.h"
#include "platform/ui/DocumentBase.h"

#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class QSWindowController;
class VXDocumentPrinter;

namespace platform {
class PrintOperation;
class Progress;
} // namespace platform

// One booklet: the pages of an opened PDF or picture file, the chain of filters that lays them out
// on sheets, the sheet of paper with its print settings, and the 26 booklet settings, which start
// from the user's defaults. A document works the same with or without a window; the batch factory
// gives its window-less documents their settings as a dictionary.
//
// Settings changed by key (KeyValue::setValue: controls, settings dictionaries) keep hasChanges
// current against the user's defaults; setters called directly leave it alone. GUI thread.
class Document : public platform::DocumentBase, public VXPrintableDocument, public VXPagesControllerDelegate
{
    Q_OBJECT
    Q_PROPERTY(bool autoPaperSize READ autoPaperSize WRITE setAutoPaperSize)
    Q_PROPERTY(QVariant printSettings READ printSettings WRITE setPrintSettings)
    Q_PROPERTY(double zoom READ zoom WRITE setZoom)
    Q_PROPERTY(double centerX READ centerX WRITE setCenterX)
    Q_PROPERTY(double centerY READ centerY WRITE setCenterY)
    Q_PROPERTY(bool reverseOrder READ reverseOrder WRITE setReverseOrder)
    Q_PROPERTY(bool straightOrder READ straightOrder WRITE setStraightOrder)
    Q_PROPERTY(bool rotateLandscape READ rotateLandscape WRITE setRotateLandscape)
    Q_PROPERTY(bool rotateLandscapeCW READ rotateLandscapeCW WRITE setRotateLandscapeCW)
    Q_PROPERTY(bool showPageNumbers READ showPageNumbers WRITE setShowPageNumbers)
    Q_PROPERTY(qint32 pageNumbersFirst READ pageNumbersFirst WRITE setPageNumbersFirst)
    Q_PROPERTY(qint32 pageNumbersStart READ pageNumbersStart WRITE setPageNumbersStart)
    Q_PROPERTY(qint32 pageNumbersLast READ pageNumbersLast WRITE setPageNumbersLast)
    Q_PROPERTY(QString pageNumbersFontName READ pageNumbersFontName WRITE setPageNumbersFontName)
    Q_PROPERTY(QString pageNumbersDrawnFontName READ pageNumbersDrawnFontName)
    Q_PROPERTY(double pageNumbersFontSize READ pageNumbersFontSize WRITE setPageNumbersFontSize)
    Q_PROPERTY(double pageNumbersX READ pageNumbersX WRITE setPageNumbersX)
    Q_PROPERTY(double pageNumbersY READ pageNumbersY WRITE setPageNumbersY)
    Q_PROPERTY(bool splitBooklet READ splitBooklet WRITE setSplitBooklet)
    Q_PROPERTY(quint64 splitIntoXPage READ splitIntoXPage WRITE setSplitIntoXPage)
    Q_PROPERTY(bool splitAddingEmpty READ splitAddingEmpty WRITE setSplitAddingEmpty)
    Q_PROPERTY(bool creepCompensation READ creepCompensation WRITE setCreepCompensation)
    Q_PROPERTY(qint32 creepCompensationType READ creepCompensationType WRITE setCreepCompensationType)
    Q_PROPERTY(double creepCompensationMM READ creepCompensationMM WRITE setCreepCompensationMM)
    Q_PROPERTY(bool showStaples READ showStaples WRITE setShowStaples)
    Q_PROPERTY(double staplesCount READ staplesCount WRITE setStaplesCount)
    Q_PROPERTY(double rasterizeDPI READ rasterizeDPI WRITE setRasterizeDPI)

    Q_PROPERTY(QPointF center READ center WRITE setCenter)
    Q_PROPERTY(bool creepCompensationIsManual READ creepCompensationIsManual)
    Q_PROPERTY(qint32 orientationForLandscape READ orientationForLandscape)
    Q_PROPERTY(QImage rotateLandscapeImage READ rotateLandscapeImage)
    Q_PROPERTY(bool activeSplitSettings READ activeSplitSettings)
    Q_PROPERTY(bool hasChanges READ hasChanges WRITE setHasChanges)
    Q_PROPERTY(QVariantMap lastDefaults READ lastDefaults WRITE setLastDefaults)
    Q_PROPERTY(bool useRasterization READ useRasterization WRITE setUseRasterization)
    Q_PROPERTY(QString visualPaperName READ visualPaperName)
    Q_PROPERTY(VXSplitFilter *splitFilter READ splitFilter CONSTANT)
    Q_CLASSINFO("dependsOn:pageNumbersDrawnFontName", "pageNumbersFontName")
    Q_CLASSINFO("dependsOn:centerX", "center")
    Q_CLASSINFO("dependsOn:centerY", "center")
    Q_CLASSINFO("dependsOn:creepCompensationMM", "creepCompensationType")
    Q_CLASSINFO("dependsOn:creepCompensationIsManual", "creepCompensation,creepCompensationType")
    Q_CLASSINFO("dependsOn:orientationForLandscape", "rotateLandscape,rotateLandscapeCW")
    Q_CLASSINFO("dependsOn:rotateLandscapeImage", "rotateLandscapeCW")
    Q_CLASSINFO("dependsOn:activeSplitSettings", "splitBooklet,straightOrder")

public:
    // Document types, each also the extension of its files.
    static inline const QString PdfType = QStringLiteral("pdf");
    static inline const QString ImageType = QStringLiteral("image");
    // Posted with the document as object by every setControllingTask, attaching or detaching.
    static inline const QString ConnectionRemovedNotification = QStringLiteral("VXDocumentConnectionRemovedtNotification");
    // Posted with the document as object once a print run has gone out.
    static inline const QString DidPrintNotification = QStringLiteral("VXDocumentDidPrintNotification");
    static inline const QString AutoPaperName = QStringLiteral("Foldwise Autosize");
    // Points per millimetre as creep counts them.
    static constexpr double PointsPerMillimetre = 2.8346464646;

    explicit Document(QObject *parent = nullptr);
    ~Document() override;

    // Once per process, before the first document: registers the settings' defaults, with the
    // shared print info turned to landscape as the default paper.
    static void initialize();
    // PdfType or ImageType by the file's contents; empty (logged) for a file that cannot be read.
    static QString typeForContentsOfURL(const QUrl &url);
    // Whether the file holds a picture Qt reads, by its contents; a PDF never is one.
    static bool isPictureFile(const QString &path);
    // The print-info keys a settings dictionary may give for printSettings: paper, orientation,
    // scaling, margins and printer, never what becomes of a job.
    static const QStringList &printInfoKeys();

    // What a file holds for a document: read on any thread by readContents, away from the
    // windows, and taken by a document on the GUI thread (readFromURL does both at once).
    struct Contents
    {
        enum class Failure { None, Unreadable, Password, Damaged, TooLarge, TooManyPixels, OutOfMemory, Cancelled };
        // PdfType or ImageType, as the file was read.
        QString type;
        // The PDF's pages, or the picture made a page.
        std::optional<platform::PdfDocument> pdf;
        std::optional<platform::PdfPage> picture;
        // Only the pages shown first were read of the PDF.
        bool partly = false;
        Failure failure = Failure::None;
        // The picture that takes more memory decoded than Qt decodes (TooManyPixels).
        std::optional<platform::PdfPage::Oversized> oversized;
        // What the user is told of a failure: a file that cannot be read, a PDF locked by a
        // password, contents that are no PDF or picture, a picture file larger than any picture Qt
        // decodes, a picture of more pixels than that, memory that ran out. Empty without one and
        // when cancelled.
        QString failureText() const;
        // The pages read, in order; made on the GUI thread.
        QList<VXPagePtr> pages() const;
    };
    // Reads the file as a document does: a PDF, told by its header, whole or (shownPagesFirst)
    // only as far as its page tree's counts; a picture, told by its contents or by its name.
    // Anything else is read as a PDF, which qpdf may mend. A progress counts the
    // bytes read and may stop the reading (Failure::Cancelled). Throws nothing: memory that runs
    // out is a failure as any other. Every failure but a cancel is one "Error: " line naming the
    // file and why. Any thread.
    static Contents readContents(const QString &path, bool shownPagesFirst, platform::Progress *progress = nullptr);
    // Takes what was read of the file as the document's pages, and the file as its source, as
    // opening it does. False, with nothing taken, when the file was not read.
    bool openWithContents(const QUrl &url, Contents contents);

    bool readFromURL(const QUrl &url, const QString &type, QString *reason) override;
    bool writeToURL(const QUrl &url, const QString &type, QString *reason) override;
    QStringList writableTypes() const override;

    // The settings
    bool autoPaperSize() const;
    void setAutoPaperSize(bool autoPaperSize);
    // Archived print info (QByteArray) or a print-info dictionary, whose "NSPrintPaperSize" may be
    // text "{w, h}"; anything else is kept but changes nothing.
    QVariant printSettings() const;
    void setPrintSettings(const QVariant &printSettings);
    double zoom() const;
    void setZoom(double zoom);
    double centerX() const;
    void setCenterX(double centerX);
    double centerY() const;
    void setCenterY(double centerY);
    bool reverseOrder() const;
    void setReverseOrder(bool reverseOrder);
    bool straightOrder() const;
    void setStraightOrder(bool straightOrder);
    bool rotateLandscape() const;
    void setRotateLandscape(bool rotateLandscape);
    bool rotateLandscapeCW() const;
    void setRotateLandscapeCW(bool rotateLandscapeCW);
    bool showPageNumbers() const;
    void setShowPageNumbers(bool showPageNumbers);
    qint32 pageNumbersFirst() const;
    void setPageNumbersFirst(qint32 pageNumbersFirst);
    qint32 pageNumbersStart() const;
    void setPageNumbersStart(qint32 pageNumbersStart);
    qint32 pageNumbersLast() const;
    void setPageNumbersLast(qint32 pageNumbersLast);
    QString pageNumbersFontName() const;
    void setPageNumbersFontName(const QString &pageNumbersFontName);
    // What the numbers are drawn in: the named family, or the one the system put in its place.
    QString pageNumbersDrawnFontName() const;
    double pageNumbersFontSize() const;
    void setPageNumbersFontSize(double pageNumbersFontSize);
    double pageNumbersX() const;
    void setPageNumbersX(double pageNumbersX);
    double pageNumbersY() const;
    void setPageNumbersY(double pageNumbersY);
    bool splitBooklet() const;
    void setSplitBooklet(bool splitBooklet);
    // The pages per booklet asked for; the split filter takes it, no more than the document has.
    quint64 splitIntoXPage() const;
    void setSplitIntoXPage(quint64 splitIntoXPage);
    bool splitAddingEmpty() const;
    void setSplitAddingEmpty(bool splitAddingEmpty);
    bool creepCompensation() const;
    void setCreepCompensation(bool creepCompensation);
    // 0 to 6 choose a paper thickness of VXBookletSettings::creepPresets; others are manual.
    qint32 creepCompensationType() const;
    void setCreepCompensationType(qint32 creepCompensationType);
    double creepCompensationMM() const;
    void setCreepCompensationMM(double creepCompensationMM);
    bool showStaples() const;
    void setShowStaples(bool showStaples);
    double staplesCount() const;
    void setStaplesCount(double staplesCount);
    double rasterizeDPI() const;
    void setRasterizeDPI(double rasterizeDPI);

    // Derived from the settings
    // Each coordinate within -1 ... 1; a coordinate that is no number becomes 1.
    QPointF center() const;
    void setCenter(const QPointF &center);
    bool creepCompensationIsManual() const;
    // 0 without landscape rotation, 3 clockwise, 1 counter-clockwise.
    qint32 orientationForLandscape() const;
    // The picture of the way landscape pages turn: "LandscapeRotation-Clockwise" or
    // "LandscapeRotation-CounterClockwise".
    QImage rotateLandscapeImage() const;
    bool activeSplitSettings() const;

    // Change tracking
    bool hasChanges() const;
    void setHasChanges(bool hasChanges);
    // The 26 user defaults as they stood when the document last read or wrote them.
    QVariantMap lastDefaults() const;
    void setLastDefaults(const QVariantMap &lastDefaults);
    // The key hook of KeyValue::setValue: a settings key takes only a value of its kind (else a
    // warning and false), a number within its control's range (else the nearer end, with a
    // warning), and keeps hasChanges current.
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value);
    // Every setting that has a value.
    QVariantMap settingsDictionary() const;
    // Applies the dictionary's settings by key, in the order of VXBookletSettings::keys(); other
    // keys and values of the wrong kind are left out with a warning. Then the chain is rewired.
    // False when a value was refused with an error (a paper or thickness that cannot be printed,
    // print settings that make no print info).
    bool setSettingsDictionary(const std::optional<QVariantMap> &settings);
    // True when any setting differs from the dictionary's value as it would be applied; an absent
    // key differs.
    bool hasChangesTo(const QVariantMap &settings) const;
    // Against the controlling task's settings, else against lastDefaults.
    bool hasTaskChanges() const;
    // Every setting from the user defaults, undo registration off.
    void prepareDefaults();
    // Makes the current settings the user's defaults.
    Q_INVOKABLE void saveDefaults(QObject *sender = nullptr);

    // The batch factory
    VXControllingTask *controllingTask() const;
    void setControllingTask(VXControllingTask *task);
    // Asks whether to keep the changed settings for this task, for the whole factory, or not at
    // all; the answer goes to batchSettingsSaveChosen.
    Q_INVOKABLE void saveFactorySettings(QObject *sender = nullptr);
    // 1000 this task, 1001 the factory, 1002 neither: then the task is let go and the document
    // closes. Any other code leaves everything as it is.
    void batchSettingsSaveChosen(int returnCode);

    // The filter chain
    VXPDFInputFilter *inputFilter();
    VXOutputFilter *outputFilter() const;
    VXSplitFilter *splitFilter();
    VXCreepFilter *creepFilter();
    VXStaplesFilter *staplesFilter();
    VXPageNumberFilter *pageNumberFilter();
    // The decorations switched on, in drawing order.
    QList<VXDoublePageFilter *> filters() const;
    // What every print and export run prints.
    VXBookletPrintView *printView();
    bool fileLoaded() const;
    // A document to be shown reads a PDF's page tree only as far as the pages it shows first,
    // and the rest of the file once they are shown (readRemainingPages), which a window asks for;
    // any other reads the whole file when it is opened.
    void setReadsShownPagesFirst(bool shownPagesFirst);
    // Reads what opening left for later; a no-op when nothing was left. A file whose page tree
    // is not what its counts said is read again whole, its pages replacing those shown.
    void readRemainingPages();
    bool hasPagesToRead() const;
    // What was found wrong in a PDF that was read as far as possible; empty for a sound file.
    QString readDamage() const;
    // The only place that wires the chain: input, reversed or not, then the split filter when
    // splitting in saddle-stitch order, else the creep filter; staples before page numbers.
    Q_INVOKABLE void updateChain(QObject *sender = nullptr);
    // Creep as a fraction of one page's width: the paper thickness over half the paper's width.
    Q_INVOKABLE void creepChanged(QObject *sender = nullptr);
    // Fits the split filter to the document's pages and refreshes the window's sheet.
    Q_INVOKABLE void updatePages(QObject *sender = nullptr);
    // Pages moved or dropped in the page list: the sheets follow.
    void pagesControllerChangedOrder(VXPagesController *controller) override;

    // The paper
    platform::PrintInfo printInfo() const;
    // A change of paper recomputes creep and tells observers of visualPaperName. A paper that
    // cannot be printed (VXBookletSettings::isUsablePaperSize) is refused with an error: false.
    bool setPrintInfo(const platform::PrintInfo &printInfo);
    // Turns printSettings into the print info unless the automatic paper is on.
    void applyPrintSettings();
    // Archives the print info into printSettings by key.
    void updatePrintSettings();
    // With the automatic paper on: twice the first page's width at its height, no margins.
    void updatePaperSize();
    void updatePageInfo();
    // A custom paper known only by its identifier shows its size; others their name.
    QString visualPaperName() const;
    Q_INVOKABLE void runPageLayout(QObject *sender = nullptr);
    Q_INVOKABLE void rotatePaper(QObject *sender = nullptr);
    bool useRasterization() const;
    void setUseRasterization(bool useRasterization);

    // Printing and export (VXDocumentPrinter)
    Q_INVOKABLE void checkPrint(QObject *sender = nullptr);
    // The sender is a printer menu item whose "tag" is the printer's index in the printer list.
    Q_INVOKABLE void printOnPrinter(QObject *sender);
    Q_INVOKABLE void printDocument(QObject *sender = nullptr);
    Q_INVOKABLE void printManualDuplex(QObject *sender = nullptr);
    void printAutomaticDuplex(const QString &printerName) override;
    void printManualDuplexWithPrinter(const QString &printerName) override;
    platform::PrintOperation printOperationWithSettings(const QVariantMap &settings);
    void updatePrintView(bool forExport);
    // False when nothing was written; failure then gets the reason in the user's words.
    bool exportBookletToURL(const QUrl &url, QString *failure = nullptr);
    Q_INVOKABLE void saveBooklet(QObject *sender = nullptr);
    // The print info itself, for the print router to set its printer.
    platform::PrintInfo &printInfo() override;
    QAbstractButton *printButton() const override;
    void setPrintButton(QAbstractButton *button);

    // With a controlling task whose settings differ, closing asks about them first and stays open.
    void canClose(Completion completion) override;
    // Also stops observing every notification.
    void close() override;

    // The window's controller comes from the window layer, which the model does not know; the
    // document owns it and adds its window. A document of the batch factory never has one.
    void setWindowController(std::unique_ptr<QSWindowController> windowController);
    QSWindowController *windowController() const;
    // Shows the window of the window controller; without one there is nothing to show (logged).
    // A file read without pages is then told in an alert.
    void showWindows() override;
    platform::Window *documentWindow() const;
    // The document's window; without one, what the application offers for the document (the
    // batch factory's window for a task's document), shown when it is hidden.
    platform::Window *windowForSheet() const override;
    using SheetWindowFallback = std::function<platform::Window *(const Document *document)>;
    static void setSheetWindowFallback(SheetWindowFallback fallback);

signals:
    void keyValueChanged(const QString &key);
    // The decoration filters shown over the pages (filters()) may have changed.
    void filtersChanged();
    // The pages were refreshed: whatever shows them shows them anew.
    void pagesUpdated();
    // Sent by close() before the windows close, so that they close without asking.
    void closing();

private:
    static QVariant asApplied(const QString &key, const QVariant &value);
    void prepareFilters();
    void announce(const char *key);
    void pushSplitPages(quint64 splitPages);
    void updatePrintViewOrientation();
    // Takes what was read of the file as the document's pages; a saved page-number family that is
    // not installed is named in the log.
    void takeContents(const QUrl &url, Contents contents);
    void refuseSetting(const QString &message);

    VXPDFInputFilter m_inputFilter;
    VXReverseFilter m_reverseFilter;
    VXCreepFilter m_creepFilter;
    VXSplitFilter m_splitFilter;
    VXStaplesFilter m_staplesFilter;
    VXPageNumberFilter m_pageNumberFilter;
    VXOutputFilter *m_outputFilter = &m_creepFilter;
    QList<VXDoublePageFilter *> m_filters;
    VXBookletPrintView m_printView;
    QPointer<VXControllingTask> m_controllingTask;
    platform::PrintInfo m_printInfo;
    std::unique_ptr<VXDocumentPrinter> m_printer;

    bool m_fileLoaded = true;
    bool m_readsShownPagesFirst = false;
    // The PDF read so far, until its remaining pages are read.
    std::optional<platform::PdfDocument> m_partlyRead;
    QString m_readDamage;
    // Set while the document itself moves the split filter, so that the move is not copied back
    // as a change the user made.
    bool m_pushingSplit = false;
    bool m_hasChanges = false;
    // Set by a setting refused with an error, for setSettingsDictionary to answer.
    bool m_refusedSetting = false;
    QVariantMap m_lastDefaults;
    bool m_useRasterization = false;

    bool m_autoPaperSize = false;
    QVariant m_printSettings;
    double m_zoom = 1.0;
    QPointF m_center;
    bool m_reverseOrder = false;
    bool m_straightOrder = false;
    bool m_rotateLandscape = false;
    bool m_rotateLandscapeCW = false;
    bool m_showPageNumbers = false;
    qint32 m_pageNumbersFirst = 1;
    qint32 m_pageNumbersStart = 1;
    qint32 m_pageNumbersLast = 0;
    QString m_pageNumbersFontName = VXPageNumberFilter::desktopFontName();
    double m_pageNumbersFontSize = 12.0;
    double m_pageNumbersX = 0.0;
    double m_pageNumbersY = 0.9;
    bool m_splitBooklet = false;
    quint64 m_splitIntoXPage = 80;
    bool m_splitAddingEmpty = false;
    bool m_creepCompensation = false;
    qint32 m_creepCompensationType = 1;
    double m_creepCompensationMM = 0.18;
    bool m_showStaples = false;
    double m_staplesCount = 2;
    double m_rasterizeDPI = 300.0;

    // Goes first, while the filters it shows are still there.
    std::unique_ptr<QSWindowController> m_windowController;
};
