#pragma once

#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrintOperation.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <functional>

class Document;
class QAbstractButton;
class VXDocumentPrintServices;

// Puts a document's booklet on paper or into a PDF file. A print run goes through the print
// panel and is either automatic duplex (one job, two-sided on the short edge) or manual duplex
// (the fronts; an alert while the user turns the stack; the backs); an export is a save job
// without panels. Each run prints the document's print view, prepared right before it; the
// answers stored for the printer a job goes to (VXPrinterDefaults) decide the order and turning
// of the sides. Every run that is over has released the document's controlling task, and only a
// print that went out posts "VXDocumentDidPrintNotification". The steps of a run keep no state
// here: what one step needs travels to the next. What a run needs of the print router and the
// application comes through the print services installed at start-up; without them the router's
// entry points and the set-up wizard are skipped with a warning, and the current printer is the
// print system's default. GUI thread.
class VXDocumentPrinter : public QObject
{
    Q_OBJECT
public:
    explicit VXDocumentPrinter(Document &document);
    ~VXDocumentPrinter() override;

    // For every document of the process; null when there are none. Not owned.
    static VXDocumentPrintServices *printServices();
    static void setPrintServices(VXDocumentPrintServices *services);

    // The print button: the print router decides by the printer's type.
    void checkPrint();
    // A printer of the router's menu, by its index in the printer list.
    void printOnPrinter(int printerIndex);
    // The Print command: automatic duplex whatever the printer's type.
    void printDocument();
    // Manual duplex on the only printer, or on one the user picks among several (the router
    // tells when there is none); waits for PrinterCache's first answer.
    void printManualDuplex();
    // An empty name prints on the current printer. A printer chosen in the print panel that is kept
    // as manual duplex gets the booklet in two runs instead; one of no kind yet without two-sided
    // printing is asked about first (for a document of no factory task).
    void printAutomaticDuplex(const QString &printerName);
    // An empty name works with the answers stored for no printer. The user chooses between the
    // fronts at once and the set-up wizard first, after which the fronts follow on the printer
    // it set up, or the user is told that nothing was printed. The print panels of a run that
    // names its printer offer no other printer, as the answers read are that printer's.
    void printManualDuplexWithPrinter(const QString &printerName);
    // A copy of the document's print info on the printer named in the settings (else the
    // current one), two-sided on the short edge, with the print view prepared for it.
    platform::PrintOperation printOperationWithSettings(const QVariantMap &settings);
    // All sides forward; the backs turned as the document's printer wants, never for an export.
    void updatePrintView(bool forExport);
    // Writes the booklet as a PDF through a temporary file renamed into place; never onto the
    // document's own file, never for a document without pages, and never with pages that could
    // not be drawn (the file is removed). False (logged) when nothing was written; failure then
    // gets the reason in the user's words.
    bool exportBookletToURL(const QUrl &url, QString *failure = nullptr);
    // The save panel proposing "NAME - Booklet.pdf", then the export; a failure is shown.
    void saveBooklet();

    QAbstractButton *printButton() const;
    // Registers the button with the print router, if there is one, which keeps its pop-up marker.
    void setPrintButton(QAbstractButton *button);

private:
    // False when the job is not to be sent after all; the run then ends without a word of its own.
    using Prepare = std::function<bool(const platform::PrintInfo &job)>;
    using Done = std::function<void(bool success, const platform::PrintInfo &job)>;

    static QString currentPrinterName();
    void prepare(const platform::PrintInfo &job, bool forExport);
    // The print panel on the job (offering no other printer when fixed), then the view prepared
    // for what was chosen there and printed; done comes once the print server has the job, on a
    // later turn of the event loop.
    void runOperation(const platform::PrintInfo &job, bool printerFixed, Prepare prepare, Done done);
    void setUpThenPrint(const QString &printerName);
    void setUpDidEnd(const QString &printerName, const QString &recordedPrinter);
    bool exportBooklet(const QUrl &url, bool &cancelled, QString &failure);
    // A run that went out with pages left blank tells which in an alert.
    void showFailedPages(const QList<quint64> &pages);
    // A run that could not go out tells why, in the print server's words where it gave them.
    // The document's printer from now on; false, with an alert naming the printer, when the
    // printer list does not know it.
    bool takePrinterNamed(const QString &printerName);
    void showPrintFailure(const QString &reason);
    bool isDocumentFile(const QUrl &url) const;
    void releaseTask();
    void postDidPrint();

    void documentDidPrint(bool success);
    void startPrintManualDuplex(int returnCode, const QString &printerName);
    void printFronts();
    void printOddOperationDidRun(bool success, const platform::PrintInfo &job);
    void printOddOperationDidEnd(int returnCode, const platform::PrintInfo &job);
    void printEvenOperationDidRun(bool success);

    Document &m_document;
    QPointer<QAbstractButton> m_printButton;
};
