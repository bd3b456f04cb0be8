#pragma once

#include <QString>

#include <functional>

class QAbstractButton;
class VXPrintableDocument;

// What a document's print runs ask of the application around them: the print router's entry
// points, its print buttons, the current printer and the manual duplex set-up wizard.
class VXDocumentPrintServices
{
public:
    virtual ~VXDocumentPrintServices() = default;

    // The print button: decided by the printer's type.
    virtual void printDocument(VXPrintableDocument *document) = 0;
    // A printer of the router's menu, by its index in the printer list.
    virtual void printDocument(VXPrintableDocument *document, int printerIndex) = 0;
    // An empty name prints on the current printer.
    virtual void printAutomaticDuplex(VXPrintableDocument *document, const QString &printerName) = 0;
    // Asks on which printer to run a manual duplex print.
    virtual void selectManualDuplexPrinterAndPrintDocument(VXPrintableDocument *document) = 0;
    // Asks whether the printer prints both sides by itself, then prints the document as answered.
    virtual void choosePrinterTypeFor(VXPrintableDocument *document, const QString &printerName) = 0;

    // The buttons whose pop-up marker is kept current; null is ignored.
    virtual void registerPrintButton(QAbstractButton *button) = 0;
    virtual void deregisterPrintButton(QAbstractButton *button) = 0;

    // Empty when there is none.
    virtual QString currentPrinterName() const = 0;
    // Opens the wizard on the printer; false when there is no wizard, or when it is open for another
    // printer (the user is told so). Once its window has closed, finished hears the printer whose
    // answers it recorded (empty for none).
    virtual bool showManualDuplexSetup(const QString &printerName, std::function<void(const QString &recordedPrinter)> finished) = 0;
};
