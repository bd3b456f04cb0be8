#pragma once

#include "app/printing/QSPDFPrintView.h"
#include "app/printing/VXManualDuplexSetup.h"
#include "RQS-Kit/Foundation/QSWindowController.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QTextBrowser>

#include <functional>
#include <memory>

// The manual duplex set-up: prints the fronts and then the backs of "ManualDuplexTest.pdf" on a
// printer, asks whether both runs landed on one face (then prints again with the stack turned),
// and records what the user saw as the printer's "manualDuplexDidSetup", "manualDuplexTurnSheets",
// "manualDuplexRotateBacksides" and "manualDuplexRevertBacksides" (VXPrinterDefaults). Six steps,
// one page each, slid into view. Without a printer it asks for one, at the start when there are
// several and before recording when none was chosen. The printer's kind (automatic or manual
// duplex) is no answer of the set-up and stays as it was. Closing the window forgets the printer.
// While it is open for one printer it is never turned to another: a request for another printer is
// refused, and the user told why on the wizard's window. Main thread.
class VXManualDuplexController : public QSWindowController, public VXManualDuplexSetup
{
    Q_OBJECT
    Q_PROPERTY(QLabel *title MEMBER m_title)
    Q_PROPERTY(QLabel *printerLabel MEMBER m_printerLabel)
    Q_PROPERTY(QAbstractButton *previousButton MEMBER m_previousButton)
    Q_PROPERTY(QAbstractButton *nextButton MEMBER m_nextButton)
    Q_PROPERTY(QAbstractButton *page1PrintButton MEMBER m_page1PrintButton)
    Q_PROPERTY(QAbstractButton *page2PrintButton MEMBER m_page2PrintButton)
    Q_PROPERTY(QAbstractButton *page4PrintButton MEMBER m_page4PrintButton)
    Q_PROPERTY(QAbstractButton *page5PrintButton MEMBER m_page5PrintButton)
    Q_PROPERTY(QTextBrowser *page1TextView MEMBER m_page1TextView)
    Q_PROPERTY(QTextBrowser *page2TextView MEMBER m_page2TextView)
    Q_PROPERTY(QTextBrowser *page4TextView MEMBER m_page4TextView)
    Q_PROPERTY(QTextBrowser *page5TextView MEMBER m_page5TextView)
    Q_PROPERTY(QWidget *scrollingView MEMBER m_scrollingView)
    Q_PROPERTY(QWidget *stepPages MEMBER m_stepPages)

public:
    static constexpr int StepCount = 6;
    static constexpr int CheckStep = 2;
    static constexpr int FinalStep = 5;

    static VXManualDuplexController *sharedController();
    // The step names, which are also their titles' keys.
    static QStringList stepNames();

    bool open(const QString &printerName, Finished finished) override;
    QString printerName() const;
    // Open on screen, not on its way out.
    bool isOpen() const;

    void windowDidLoad() override;
    void windowDidClose() override;
    void unloadWindow() override;

    qint64 currentPage() const;
    // Clamped to the steps.
    void setCurrentPage(qint64 page);
    bool onlyOnePage() const;

    Q_INVOKABLE void nextPage();
    Q_INVOKABLE void previousPage();
    Q_INVOKABLE void printFrontPages();
    Q_INVOKABLE void printBackPages();
    Q_INVOKABLE void printedOnOnePage();
    Q_INVOKABLE void printedOnBothPage();
    // The sender's tag: 2 the backs came out turned, 4 in reverse order.
    Q_INVOKABLE void selectPage(QObject *sender);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit VXManualDuplexController(QObject *parent);

    void setPrinterName(const QString &printerName);
    // Those waiting for this opening hear what it recorded.
    void endOpening();
    void tellOpenForAnotherPrinter(const QString &printerName);
    void printTestPages(int printPages);
    // Asks which printer to record, then hands it on; nothing without printers or on Cancel.
    void choosePrinter(const QString &message, std::function<void(const QString &)> chosen);
    void record(int tag);
    QAbstractButton *printButton(qint64 page) const;
    // The step's number as the user counts along the way taken, which may skip the second prints.
    qint64 stepNumber() const;
    QList<QWidget *> stepPages() const;
    // Each step page is exactly the size of the view, so that the view shows one page whole and
    // nothing of its neighbours; only the pages on their way in or out are shown at all.
    void placeStepPages(bool animated);
    void showOnlyCurrentStep();
    void showPrinterName();

    QString m_printerName;
    // Recorded in this opening of the window, for those waiting for it to close.
    QString m_recordedPrinter;
    QList<Finished> m_waiting;
    qint64 m_currentPage = 0;
    bool m_onlyOnePage = false;
    std::unique_ptr<QSPDFPrintView> m_testView;

    QLabel *m_title = nullptr;
    QLabel *m_printerLabel = nullptr;
    QAbstractButton *m_previousButton = nullptr;
    QAbstractButton *m_nextButton = nullptr;
    QAbstractButton *m_page1PrintButton = nullptr;
    QAbstractButton *m_page2PrintButton = nullptr;
    QAbstractButton *m_page4PrintButton = nullptr;
    QAbstractButton *m_page5PrintButton = nullptr;
    QTextBrowser *m_page1TextView = nullptr;
    QTextBrowser *m_page2TextView = nullptr;
    QTextBrowser *m_page4TextView = nullptr;
    QTextBrowser *m_page5TextView = nullptr;
    QWidget *m_scrollingView = nullptr;
    QWidget *m_stepPages = nullptr;
};
