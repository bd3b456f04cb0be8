#pragma once

#include "app/booklet/Document.h"
#include "app/window/VXCenterShadow.h"
#include "app/window/VXDoublePageFilterView.h"
#include "app/window/VXFeatureHeader.h"
#include "app/window/VXFontChooser.h"
#include "app/window/VXPageView.h"
#include "app/window/VXPageViewDelegate.h"
#include "app/window/VXPagesTableView.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "platform/ui/AspectRatioLayout.h"
#include "platform/ui/Popover.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabBar>

class VXPagesController;
class VXOpenFailures;

// The window of one booklet document, made from the interface file "Document": the sheet (two
// page views under the decoration overlay and the fold shadow), the page list, the settings
// controls bound to the document's settings ("owner.document.<key>", so that every edit goes
// through key-value assignment and keeps hasChanges current), the help popovers and the menus.
// It pages through sheet sides (adjusting) or reading spreads (preview) and fills the page views
// whenever the document refreshes its pages. The document owns it; every outlet may be missing.
// GUI thread.
class VXDocumentWindowController : public QSWindowController, public VXPageViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(Document *document READ document CONSTANT)
    Q_PROPERTY(QString pageName READ pageName)

    Q_PROPERTY(QWidget *paperContainer MEMBER m_paperContainer)
    Q_PROPERTY(QWidget *doublePage MEMBER m_doublePage)
    Q_PROPERTY(VXCenterShadow *centerShadow MEMBER m_centerShadow)
    Q_PROPERTY(QAbstractButton *previousButton MEMBER m_previousButton)
    Q_PROPERTY(QAbstractButton *nextButton MEMBER m_nextButton)
    Q_PROPERTY(QWidget *centerXTF MEMBER m_centerXTF)
    Q_PROPERTY(QWidget *centerYTF MEMBER m_centerYTF)
    Q_PROPERTY(QSpinBox *splitPagesStepper MEMBER m_splitPagesStepper)
    Q_PROPERTY(QSpinBox *splitBookletStepper MEMBER m_splitBookletStepper)
    Q_PROPERTY(platform::Popover *addPagePopover MEMBER m_addPagePopover)
    Q_PROPERTY(QAbstractButton *printButton MEMBER m_printButton)
    Q_PROPERTY(QWidget *paperPreviewButton MEMBER m_paperPreviewButton)
    Q_PROPERTY(VXFeatureHeader *rasterizeHeader MEMBER m_rasterizeHeader)
    Q_PROPERTY(platform::Popover *helpPopOver MEMBER m_helpPopOver)
    Q_PROPERTY(QLabel *helpTitle MEMBER m_helpTitle)
    Q_PROPERTY(QLabel *helpShortText MEMBER m_helpShortText)
    Q_PROPERTY(QAbstractButton *helpMoreDetails MEMBER m_helpMoreDetails)
    Q_PROPERTY(QAbstractButton *sizeHelp MEMBER m_sizeHelp)
    Q_PROPERTY(QAbstractButton *marginHelp MEMBER m_marginHelp)
    Q_PROPERTY(QAbstractButton *straightOrderHelp MEMBER m_straightOrderHelp)
    Q_PROPERTY(QAbstractButton *workflowHelp MEMBER m_workflowHelp)
    Q_PROPERTY(QAbstractButton *rasterizeHelp MEMBER m_rasterizeHelp)
    Q_PROPERTY(QScrollArea *settingsScroll MEMBER m_settingsScroll)

public:
    explicit VXDocumentWindowController(Document *document);
    // The document's window controller, made and handed to the document on the first call.
    static VXDocumentWindowController *makeWindowController(Document *document);
    // The store page the rate-us prompt offers; the application shell holds it.
    static void setStorePageUrl(const QUrl &url);
    ~VXDocumentWindowController() override;

    Document *document() const;
    VXPagesController *pagesController() const;

    // Outlets whose setting does more than keep them.
    Q_INVOKABLE void setLeftPage(VXPageView *leftPage);
    Q_INVOKABLE void setRightPage(VXPageView *rightPage);
    Q_INVOKABLE void setFilterView(VXDoublePageFilterView *filterView);
    Q_INVOKABLE void setDisplayButton(QTabBar *displayButton);
    // Two segments, back and forward, each a page-flip of its own; a disabled one does nothing.
    Q_INVOKABLE void setFlipButton(QTabBar *flipButton);
    Q_INVOKABLE void setPagesTableView(VXPagesTableView *pagesTableView);
    Q_INVOKABLE void setAddPageButton(QWidget *addPageButton);
    Q_INVOKABLE void setHelpAutoShow(QAbstractButton *helpAutoShow);
    VXPageView *leftPage() const;
    VXPageView *rightPage() const;
    // Whether the sheet side shown is drawn from its sharp images (each page view has painted its
    // own; a view that shows no page has none to paint).
    bool showsSharpSheet() const;
    QTabBar *displayButton() const;
    QTabBar *flipButton() const;
    VXPagesTableView *pagesTableView() const;
    QAbstractButton *helpAutoShow() const;
    QAbstractButton *printButton() const;

    // The sheet side or spread shown
    // True also without a display control.
    bool isAdjusting() const;
    qint64 adjustPage() const;
    qint64 previewPage() const;
    // "3 / 4" for the third of four sheet sides; the two page numbers of a spread, a blank side
    // shown as one space.
    QString pageName() const;
    // Fills the page views, the overlay, the fold shadow and the paging controls from the
    // document's output filter; the document calls it from its own updatePages.
    void updatePages();
    void flipPageBy(qint64 step);
    Q_INVOKABLE void nextPage(QObject *sender = nullptr);
    Q_INVOKABLE void previousPage(QObject *sender = nullptr);
    Q_INVOKABLE void firstPage(QObject *sender = nullptr);
    Q_INVOKABLE void lastPage(QObject *sender = nullptr);
    // Forward when the sender's selected segment is not the first, else back.
    Q_INVOKABLE void flipPage(QObject *sender);
    void pageViewDidChangeLayout(VXPageView *pageView) override;

    // The page list
    QList<int> selectedPages() const;
    // With exactly one row the sheet side and the spread that hold its page are shown.
    void setSelectedPages(const QList<int> &rows);
    Q_INVOKABLE void addPage(QObject *sender = nullptr);
    Q_INVOKABLE void addEmptyPage(QObject *sender = nullptr);
    Q_INVOKABLE void addImagePage(QObject *sender = nullptr);
    Q_INVOKABLE void addPDFPage(QObject *sender = nullptr);
    Q_INVOKABLE void removeSelectedPages(QObject *sender = nullptr);

    // Help
    // The popover of the help entry at the view's tag, pointing at the view.
    Q_INVOKABLE void showHelpPopupOn(QObject *view);
    // Shows it only while the entry's "AutoShow-" default is on and the window is on screen;
    // true when it did.
    bool showAutoHelpOn(QWidget *view);
    QString helpAnchorName() const;
    Q_INVOKABLE void openHelpTopic(QObject *sender = nullptr);

    // Paper and warnings
    // The paper's proportions for the sheet and the paper preview, width over height.
    void updatePaperRatio(double ratio);
    void testForBigMargins();
    void testForEmptyDocument();
    void testForDamage();
    // White up to 0, redder towards 1.
    static void setWarningColor(QWidget *field, double warning);
    // Draws the eye to the view with a red glow that comes and goes ten times.
    static void pulseButton(QWidget *view);

    // Page numbers' font through the font chooser, opened on the family and size they are drawn
    // in; what its OK applies goes to the document by key.
    Q_INVOKABLE void showFontManager(QObject *sender = nullptr);
    void changeFont(const QFont &font);

    // Menus: the page removal item names how many pages it removes; undo and redo name their step.
    bool validateMenuItem(QAction *item);
    Q_INVOKABLE void undo(QObject *sender = nullptr);
    Q_INVOKABLE void redo(QObject *sender = nullptr);

    // What the document offers the window, sent on by name.
    Q_INVOKABLE void saveDocument(QObject *sender = nullptr);
    Q_INVOKABLE void saveDocumentAs(QObject *sender = nullptr);
    Q_INVOKABLE void revertDocumentToSaved(QObject *sender = nullptr);
    Q_INVOKABLE void runPageLayout(QObject *sender = nullptr);
    Q_INVOKABLE void rotatePaper(QObject *sender = nullptr);
    Q_INVOKABLE void saveDefaults(QObject *sender = nullptr);
    // The print button goes by the printer's kind; the Print menu item always prints both sides
    // in one job.
    Q_INVOKABLE void checkPrint(QObject *sender = nullptr);
    Q_INVOKABLE void printDocument(QObject *sender = nullptr);
    Q_INVOKABLE void printManualDuplex(QObject *sender = nullptr);
    Q_INVOKABLE void saveBooklet(QObject *sender = nullptr);
    // Writes the page list's controller with its rows, and the page table's row count, to the log.
    Q_INVOKABLE void test(QObject *sender = nullptr);

    // Until the document closes itself, closing the window asks the document first.
    void allowClose();

    void windowWillLoad() override;
    void windowDidLoad() override;

signals:
    void keyValueChanged(const QString &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void observeDocument();
    // The document reads the rest of its file once the pages shown first show sharp, or after a
    // while should they never.
    void readRemainingPagesOnceShown();
    // Clamped to the sides or spreads there are.
    void showPage(qint64 index);
    void splitChanged();
    void centerChanged();
    void zoomChanged();
    void paperChanged();
    void rasterizationChanged();
    void updateFilterFraction();
    // The filter view draws the document's decoration filters and is told when they change.
    void showFilters();
    void pageListChanged();
    void selectionChanged();
    void addPagesFromPanel(const QStringList &types, const QString &oneName, const QString &severalName, bool byFile);
    // Which chosen or dropped files gave no pages, and why.
    void tellRefused(const VXOpenFailures &refused);
    void helpPopoverDidClose();
    // The row of controls a help button explains, in the button's coordinates: the popover opens
    // beside it, not over the controls.
    QRect helpRowOf(QWidget *button) const;
    // As wide as its widest control and the scroll bar, so that no control runs under the bar.
    void fitSettingsColumn();
    void validateMenus();
    void showFileState();
    void sendToDocument(const char *operation, QObject *sender);

    Document *m_document;
    VXPagesController *m_pagesController;
    qint64 m_adjustPage = 0;
    qint64 m_previewPage = 0;
    QList<int> m_selectedPages;
    QString m_helpAnchorName;
    bool m_closeAllowed = false;
    QPointer<VXFontChooser> m_fontChooser;
    QPointer<platform::AspectRatioLayout> m_paperLayout;
    QPointer<platform::AspectRatioLayout> m_paperPreviewLayout;

    QPointer<VXPageView> m_leftPage;
    QPointer<VXPageView> m_rightPage;
    QPointer<VXDoublePageFilterView> m_filterView;
    QPointer<QTabBar> m_displayButton;
    QPointer<QTabBar> m_flipButton;
    QPointer<VXPagesTableView> m_pagesTableView;
    QPointer<QWidget> m_addPageButton;
    QPointer<QAbstractButton> m_helpAutoShow;
    QWidget *m_paperContainer = nullptr;
    QWidget *m_doublePage = nullptr;
    VXCenterShadow *m_centerShadow = nullptr;
    QAbstractButton *m_previousButton = nullptr;
    QAbstractButton *m_nextButton = nullptr;
    QWidget *m_centerXTF = nullptr;
    QWidget *m_centerYTF = nullptr;
    QSpinBox *m_splitPagesStepper = nullptr;
    QSpinBox *m_splitBookletStepper = nullptr;
    platform::Popover *m_addPagePopover = nullptr;
    QAbstractButton *m_printButton = nullptr;
    QWidget *m_paperPreviewButton = nullptr;
    VXFeatureHeader *m_rasterizeHeader = nullptr;
    platform::Popover *m_helpPopOver = nullptr;
    QLabel *m_helpTitle = nullptr;
    QLabel *m_helpShortText = nullptr;
    QAbstractButton *m_helpMoreDetails = nullptr;
    QAbstractButton *m_sizeHelp = nullptr;
    QAbstractButton *m_marginHelp = nullptr;
    QAbstractButton *m_straightOrderHelp = nullptr;
    QAbstractButton *m_workflowHelp = nullptr;
    QAbstractButton *m_rasterizeHelp = nullptr;
    QScrollArea *m_settingsScroll = nullptr;
};
