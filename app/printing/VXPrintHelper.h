#pragma once

#include "app/booklet/VXDocumentPrintServices.h"
#include "app/booklet/VXPrinterDefaults.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractButton;
class VXApplicationServices;

namespace platform {
class PrintInfo;
class Window;
} // namespace platform

// Decides how a booklet is printed. Each printer's type is remembered in the user defaults
// (VXPrinterDefaults "printerType": 0 not chosen, 1 automatic duplex, 2 manual duplex); a print
// button then prints at once in the right way, asks which kind of printer it is, or opens a
// menu of the printers when there are several or the Option (Alt) key is held. Works for a
// document, or for the batch factory when it is given none. Keeps the print buttons' pop-up
// marker current as printers come and go (it owns the process's printer watcher) and as Option
// is pressed and released. Serves the documents' print runs from the moment it is made (their
// print services), with the current printer and the set-up wizard of the application services.
// GUI thread.
class VXPrintHelper : public QObject, public VXDocumentPrintServices
{
    Q_OBJECT
public:
    static constexpr int PrinterTypeNotChosen = 0;
    static constexpr int PrinterTypeAutomaticDuplex = 1;
    static constexpr int PrinterTypeManualDuplex = VXPrinterDefaults::ManualDuplexType;
    // printersType() for several printers.
    static constexpr int PrinterTypeSeveralPrinters = 3;

    static inline const QString RememberPrinterTypeKey = QStringLiteral("RememberPrinterType");
    static inline const QString AutoShowUpsideDownPrintKey = QStringLiteral("AutoShow-FAQ-UpsideDownPrint");
    // Posted by the preferences when a printer's type changed there.
    static inline const QString ChangedPrinterTypeNotification = QStringLiteral("ChangedPrinterType");

    // The one router, made on first use; registers "RememberPrinterType" = YES.
    static VXPrintHelper *sharedHelper();
    // Index = type; not localized.
    static QStringList printerTypeTitles();

    ~VXPrintHelper() override;

    // The buttons that get the pop-up marker; null is ignored. A button registered once the
    // printers are known gets the marker that fits them at once; one registered before keeps the
    // image it came with until the first answer.
    void registerPrintButton(QAbstractButton *button) override;
    void deregisterPrintButton(QAbstractButton *button) override;

    // Set by the application shell; without them there is no current printer, factory or
    // preferences window.
    VXApplicationServices *applicationServices() const;
    void setApplicationServices(VXApplicationServices *services);
    // Where the printer names come from; PrinterCache's list when not set.
    void setPrinterNamesSource(std::function<QStringList()> source);

    // The print button; before PrinterCache's first answer it waits for that answer. Without a
    // printer it, the Print command and the manual duplex command tell the user so, and nothing else.
    // Every question, sheet and menu of a road answers for the document it was shown for (null:
    // the factory), however many are open at once.
    void printDocument(VXPrintableDocument *document) override;
    // A printer chosen from the menu by its index in the printer list.
    void printDocument(VXPrintableDocument *document, int printerIndex) override;
    // Explains on which edge the sheets are bound (while "AutoShow-FAQ-UpsideDownPrint" is on),
    // then prints in automatic duplex; on a printer kept as manual duplex, prints in two runs; on
    // one of no kind yet whose driver offers no two-sided printing, asks for its kind first.
    void printAutomaticDuplex(VXPrintableDocument *document, const QString &printerName) override;
    void selectManualDuplexPrinterAndPrintDocument(VXPrintableDocument *document) override;
    // Asks whether the printer prints both sides by itself, proposing what the print server says
    // of it; closing the question prints nothing.
    void choosePrinterTypeFor(VXPrintableDocument *document, const QString &printerName) override;
    // The menu of the printers, over the button (at the pointer without one).
    void showPrinterListOnButton(VXPrintableDocument *document, QAbstractButton *button);

    // 0 without printers, the stored type of a single printer, 3 for several.
    int printersType() const;
    void updatePrintButtons();

    // The application services' answers; empty, or false, without them.
    QString currentPrinterName() const override;
    bool showManualDuplexSetup(const QString &printerName, std::function<void(const QString &recordedPrinter)> finished) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit VXPrintHelper(QObject *parent);

    // What a road prints: a document, or the factory when there is none. A document that goes
    // while the user is asked something ends its road there.
    class Target
    {
    public:
        explicit Target(VXPrintableDocument *document);
        // Null for the factory and for a document that has gone.
        VXPrintableDocument *document() const;
        bool hasGone() const;
        bool operator==(const Target &other) const { return m_document == other.m_document; }

    private:
        VXPrintableDocument *m_document;
        QPointer<QObject> m_object;
    };

    QStringList printerNames() const;
    // True while the print server's first answer is still to come; the road then starts again,
    // for its own target, once it has come, and the target's press waits no more.
    bool waitsForPrinters(const Target &target, std::function<void(VXPrintableDocument *)> road);
    // False, with the user told at once, when the print server is known to offer no printer.
    bool hasPrintersOrTellsSo(const Target &target);
    bool isOptionKeyDown() const;
    // The printer a print goes to: the one named, else the print info's, else the current one.
    QString printerOfRoad(const Target &target, const QString &printerName) const;
    void selectManualDuplexPrinterAndPrint(const Target &target);
    void choosePrinterTypeFor(const Target &target, const QString &printerName);
    void explainAndPrintAutomaticDuplex(const Target &target, const QString &printerName);
    // Where a road ends: the document, else the factory.
    void printTarget(const Target &target, const QString &printerName, bool manual);
    // The document's window; without a document the factory window, brought to the front.
    platform::Window *windowForSheet(const Target &target) const;
    // The document's print info, else the factory's; null when neither is there.
    platform::PrintInfo *printInfo(const Target &target) const;
    void setPopupMarker(bool shown);
    void setPopupMarker(QAbstractButton *button, bool shown) const;

    QList<QPointer<QAbstractButton>> m_printButtons;
    VXApplicationServices *m_services = nullptr;
    std::function<QStringList()> m_printerNamesSource;
    QIcon m_popupIcon;
    bool m_optionKeyDown = false;
    // Presses made before the print server's first answer, one per document.
    QList<Target> m_pressesWaiting;
};
