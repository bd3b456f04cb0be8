#include "app/window/VXDocumentWindowController.h"

#include "app/booklet/VXHelpDescription.h"
#include "app/booklet/VXPageNumberFilter.h"
#include "app/booklet/VXStyleKit.h"
#include "app/window/AppClasses.h"
#include "app/window/VXHelpWindow.h"
#include "app/window/VXPagesController.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsController.h"
#include "platform/ui/Alert.h"
#include "platform/ui/NumberFieldGuard.h"
#include "platform/ui/OpenPanel.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGraphicsDropShadowEffect>
#include <QImageReader>
#include <QLayout>
#include <QMenu>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

using platform::KeyValue::setValue;

namespace {

QUrl &storePageUrl()
{
    static QUrl url;
    return url;
}

// Only the first document window of a process counts a start towards the rate-us prompt.
bool rateUsVerified = false;

} // namespace

void VXDocumentWindowController::setStorePageUrl(const QUrl &url) { storePageUrl() = url; }

namespace {

const QString pulseKey = QStringLiteral("shadowOpacity");
const QString removeOperation = QStringLiteral("removeSelectedPages");

platform::UserDefaults *defaults() { return platform::UserDefaults::standardUserDefaults(); }

QStringList pictureExtensions()
{
    QStringList extensions;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        extensions.append(QString::fromLatin1(format));
    return extensions;
}

// The booklet's shadow under the sheet; the kit's offsets are y-up.
void setShadow(QWidget *view, const platform::Shadow &shadow)
{
    auto *effect = new QGraphicsDropShadowEffect(view);
    effect->setColor(shadow.color);
    effect->setOffset(shadow.offset.width(), -shadow.offset.height());
    effect->setBlurRadius(shadow.blurRadius);
    view->setGraphicsEffect(effect);
}

} // namespace

VXDocumentWindowController::VXDocumentWindowController(Document *document)
    : m_document(document),
      m_pagesController(new VXPagesController(document->inputFilter(), document->undoManager(), this))
{
    m_pagesController->setDelegate(document);
    setNibName(QStringLiteral("Document"));
    connect(document, &Document::filtersChanged, this, &VXDocumentWindowController::showFilters);
    connect(document, &Document::pagesUpdated, this, &VXDocumentWindowController::updatePages);
    connect(document, &Document::closing, this, &VXDocumentWindowController::allowClose);
    connect(document, &Document::reverted, m_pagesController, &VXPagesController::reload);
    connect(document->splitFilter(), &VXSplitFilter::splitPagesChanged, this, &VXDocumentWindowController::splitChanged);
    connect(document->splitFilter(), &VXSplitFilter::addEmptyPagesChanged, this, &VXDocumentWindowController::splitChanged);
    platform::NotificationCenter::defaultCenter()->addObserver(
        this, VXPagesController::PageListChangedNotification, m_pagesController,
        [this](const platform::Notification &) { pageListChanged(); });
    connect(m_pagesController, &VXPagesController::filesRefused, this, &VXDocumentWindowController::tellRefused);
}

VXDocumentWindowController::~VXDocumentWindowController()
{
    platform::NotificationCenter::defaultCenter()->removeObserver(this);
}

VXDocumentWindowController *VXDocumentWindowController::makeWindowController(Document *document)
{
    if (auto *existing = qobject_cast<VXDocumentWindowController *>(document->windowController()))
        return existing;
    auto controller = std::make_unique<VXDocumentWindowController>(document);
    VXDocumentWindowController *made = controller.get();
    document->setWindowController(std::move(controller));
    return made;
}

Document *VXDocumentWindowController::document() const { return m_document; }

VXPagesController *VXDocumentWindowController::pagesController() const { return m_pagesController; }

// ---- Loading

void VXDocumentWindowController::windowWillLoad()
{
    registerAppClasses();
    // The window opens on the first sheet side, drawn as soon as the window shows: its pages are
    // readied meanwhile.
    if (m_document && m_document->fileLoaded()) {
        for (bool isLeft : {true, false}) {
            if (const VXPagePtr page = m_document->outputFilter()->doublePageAtIndex(0, isLeft))
                page->prepareDrawingInBackground();
        }
    }
}

void VXDocumentWindowController::readRemainingPagesOnceShown()
{
    if (!m_document || !m_document->hasPagesToRead())
        return;
    // Long enough for any first sheet; the file is read then at the latest.
    constexpr int latestMilliseconds = 3000;
    const QPointer<VXDocumentWindowController> self(this);
    const auto readRest = [self] {
        if (!self || !self->m_document || !self->m_document->hasPagesToRead())
            return;
        self->m_document->readRemainingPages();
        self->testForDamage();
    };
    QTimer::singleShot(latestMilliseconds, this, readRest);
    auto *waiting = new QObject(this);
    const auto shown = [this, waiting, readRest] {
        if (!showsSharpSheet())
            return;
        // Once the sheet's painting is done.
        QTimer::singleShot(0, this, readRest);
        waiting->deleteLater();
    };
    for (VXPageView *view : {m_leftPage.data(), m_rightPage.data()}) {
        if (view)
            connect(view, &VXPageView::sharpImageShown, waiting, shown);
    }
}

void VXDocumentWindowController::windowDidLoad()
{
    platform::Window *shown = window();
    showFileState();
    connect(m_document, &Document::fileURLChanged, this, &VXDocumentWindowController::showFileState);
    connect(m_document, &Document::editedChanged, this, &VXDocumentWindowController::showFileState);
    shown->installEventFilter(this);
    for (QMenu *menu : shown->findChildren<QMenu *>())
        connect(menu, &QMenu::aboutToShow, this, &VXDocumentWindowController::validateMenus);
    platform::NumberFieldGuard::guardFields(shown);
    if (m_doublePage) {
        setShadow(m_doublePage, VXStyleKit::shadowForBooklet());
        if (m_paperContainer && !m_paperContainer->layout()) {
            m_paperLayout = new platform::AspectRatioLayout(m_paperContainer);
            m_paperLayout->addWidget(m_doublePage);
        }
    }
    if (m_paperPreviewButton && m_paperPreviewButton->parentWidget() && !m_paperPreviewButton->parentWidget()->layout()) {
        m_paperPreviewLayout = new platform::AspectRatioLayout(m_paperPreviewButton->parentWidget());
        m_paperPreviewLayout->addWidget(m_paperPreviewButton);
    }
    fitSettingsColumn();
    observeDocument();
    readRemainingPagesOnceShown();
    m_document->setPrintButton(m_printButton);
    m_document->updatePages();
    m_document->updatePageInfo();
    m_document->updateChain();
    m_document->creepChanged();
    rasterizationChanged();
    validateMenus();
    // The window is on screen by then, so that the popovers have something to point at.
    const QPointer<VXDocumentWindowController> self(this);
    platform::MainQueue::post([self] {
        if (!self)
            return;
        self->testForBigMargins();
        self->testForEmptyDocument();
        // A file read only as far as its first sheet tells of its damage once it is read.
        if (!self->m_document->hasPagesToRead())
            self->testForDamage();
        if (!std::exchange(rateUsVerified, true))
            QSRateUsController::verifyRateUs(storePageUrl());
    });
}

void VXDocumentWindowController::observeDocument()
{
    using platform::KeyValue::observe;
    observe(m_document, QStringLiteral("center"), this, [this](const QVariant &) { centerChanged(); });
    observe(m_document, QStringLiteral("zoom"), this, [this](const QVariant &) { zoomChanged(); });
    observe(m_document, QStringLiteral("visualPaperName"), this, [this](const QVariant &) { paperChanged(); });
    observe(m_document, QStringLiteral("useRasterization"), this, [this](const QVariant &on) {
        rasterizationChanged();
        if (on.toBool())
            showAutoHelpOn(m_rasterizeHelp);
    });
    observe(m_document, QStringLiteral("straightOrder"), this, [this](const QVariant &on) {
        if (on.toBool())
            showAutoHelpOn(m_straightOrderHelp);
    });
    observe(m_document, QStringLiteral("autoPaperSize"), this, [this](const QVariant &on) {
        if (on.toBool())
            showAutoHelpOn(m_sizeHelp);
    });
    for (VXPageView *view : {m_leftPage.data(), m_rightPage.data()}) {
        if (view)
            platform::KeyValue::bind(view, QStringLiteral("orientationForLandscape"), m_document, QStringLiteral("orientationForLandscape"));
    }
}

bool VXDocumentWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_filterView)
        updateFilterFraction();
    if (isLoaded() && watched == window() && event->type() == QEvent::Close && !m_closeAllowed) {
        event->ignore();
        m_document->performClose();
        return true;
    }
    return QSWindowController::eventFilter(watched, event);
}

void VXDocumentWindowController::allowClose() { m_closeAllowed = true; }

// ---- Outlets

bool VXDocumentWindowController::showsSharpSheet() const
{
    for (VXPageView *view : {m_leftPage.data(), m_rightPage.data()}) {
        if (view && !view->showsSharpImage())
            return false;
    }
    return true;
}

void VXDocumentWindowController::setLeftPage(VXPageView *leftPage)
{
    m_leftPage = leftPage;
    if (!leftPage)
        return;
    leftPage->setDelegate(this);
    leftPage->setZoom(m_document->zoom());
    leftPage->setCenter(m_document->center());
}

void VXDocumentWindowController::setRightPage(VXPageView *rightPage)
{
    m_rightPage = rightPage;
    if (!rightPage)
        return;
    rightPage->setDelegate(this);
    rightPage->setZoom(m_document->zoom());
    rightPage->setCenter(QPointF(-m_document->centerX(), m_document->centerY()));
}

void VXDocumentWindowController::setFilterView(VXDoublePageFilterView *filterView)
{
    if (m_filterView)
        m_filterView->removeEventFilter(this);
    m_filterView = filterView;
    showFilters();
    if (filterView)
        filterView->installEventFilter(this);
    updateFilterFraction();
}

void VXDocumentWindowController::showFilters()
{
    const QList<VXDoublePageFilter *> shown = m_document->filters();
    for (VXDoublePageFilter *filter : std::initializer_list<VXDoublePageFilter *>{m_document->staplesFilter(), m_document->pageNumberFilter()})
        filter->setDelegate(m_filterView && shown.contains(filter) ? m_filterView.data() : nullptr);
    if (m_filterView)
        m_filterView->setFilters(shown);
}

void VXDocumentWindowController::setDisplayButton(QTabBar *displayButton)
{
    m_displayButton = displayButton;
    if (!displayButton)
        return;
    QSTranslatingSegmentedControl::addSegmentsIfNone(displayButton, {QStringLiteral("Sheets"), QStringLiteral("Booklet")});
    connect(displayButton, &QTabBar::currentChanged, this, [this] { m_document->updatePages(); });
}

void VXDocumentWindowController::setFlipButton(QTabBar *flipButton)
{
    m_flipButton = flipButton;
    if (!flipButton)
        return;
    if (QSTranslatingSegmentedControl::addSegmentsIfNone(flipButton, {QStringLiteral("◀"), QStringLiteral("▶")})) {
        flipButton->setTabToolTip(0, rqs::localized(QStringLiteral("FlipBack")));
        flipButton->setTabToolTip(1, rqs::localized(QStringLiteral("FlipForward")));
    }
    // Every click flips, also on the segment already selected; the tab bar reports a click on its
    // selected segment even while that segment is disabled.
    connect(flipButton, &QTabBar::tabBarClicked, this, [this](int index) {
        if (!m_flipButton || !m_flipButton->isTabEnabled(index))
            return;
        m_flipButton->setCurrentIndex(index);
        flipPage(m_flipButton);
    });
}

void VXDocumentWindowController::setPagesTableView(VXPagesTableView *pagesTableView)
{
    m_pagesTableView = pagesTableView;
    if (!pagesTableView)
        return;
    pagesTableView->setModel(m_pagesController);
    connect(pagesTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &VXDocumentWindowController::selectionChanged);
}

void VXDocumentWindowController::setAddPageButton(QWidget *addPageButton)
{
    m_addPageButton = addPageButton;
    if (!addPageButton)
        return;
    m_pagesController->setAddButton(addPageButton);
}

void VXDocumentWindowController::setHelpAutoShow(QAbstractButton *helpAutoShow)
{
    m_helpAutoShow = helpAutoShow;
    if (!helpAutoShow)
        return;
    // The user's tick goes to the default of the entry shown; the binding shows it.
    connect(helpAutoShow, &QAbstractButton::clicked, this, [this](bool checked) {
        if (!m_helpAnchorName.isEmpty())
            defaults()->setBool(checked, VXHelpDescription::autoShowKey(m_helpAnchorName));
    });
}

VXPageView *VXDocumentWindowController::leftPage() const { return m_leftPage; }

VXPageView *VXDocumentWindowController::rightPage() const { return m_rightPage; }

QTabBar *VXDocumentWindowController::displayButton() const { return m_displayButton; }

QTabBar *VXDocumentWindowController::flipButton() const { return m_flipButton; }

VXPagesTableView *VXDocumentWindowController::pagesTableView() const { return m_pagesTableView; }

QAbstractButton *VXDocumentWindowController::helpAutoShow() const { return m_helpAutoShow; }

QAbstractButton *VXDocumentWindowController::printButton() const { return m_printButton; }

// ---- The sheet side or spread shown

bool VXDocumentWindowController::isAdjusting() const { return !m_displayButton || m_displayButton->currentIndex() == 0; }

qint64 VXDocumentWindowController::adjustPage() const { return m_adjustPage; }

qint64 VXDocumentWindowController::previewPage() const { return m_previewPage; }

QString VXDocumentWindowController::pageName() const
{
    const VXOutputFilter *output = m_document->outputFilter();
    if (isAdjusting())
        return QStringLiteral("%1 / %2").arg(m_adjustPage + 1).arg(output->doubleCount());
    const auto number = [&](bool isLeft) {
        const quint64 index = output->indexForPage(output->previewPageAtIndex(quint64(m_previewPage), isLeft));
        return index == VXFilter::NotFound ? QStringLiteral(" ") : QString::number(index + 1);
    };
    return QStringLiteral("%1             %2").arg(number(true), number(false));
}

void VXDocumentWindowController::updatePages()
{
    VXOutputFilter *output = m_document->outputFilter();
    VXPDFInputFilter *input = m_document->inputFilter();
    if (m_document->fileLoaded()) {
        const int count = int(std::min<quint64>(input->count(), quint64(std::numeric_limits<int>::max())));
        if (m_splitBookletStepper)
            m_splitBookletStepper->setMaximum(std::max(1, (count + 3) / 4));
        if (m_splitPagesStepper)
            m_splitPagesStepper->setMaximum(count);
    }
    const bool adjusting = isAdjusting();
    // A page list that shrank leaves the index past the end: the last side or spread shows.
    const qint64 last = qint64(adjusting ? output->doubleCount() : output->previewCount()) - 1;
    qint64 &shown = adjusting ? m_adjustPage : m_previewPage;
    shown = std::clamp<qint64>(shown, 0, std::max<qint64>(0, last));
    VXPagePtr left;
    VXPagePtr right;
    if (adjusting) {
        left = output->doublePageAtIndex(quint64(shown), true);
        right = output->doublePageAtIndex(quint64(shown), false);
        if (m_filterView) {
            m_filterView->setOnlyPagesBasedFilters(false);
            m_filterView->setPageType(output->pageTypeForDoublePage(quint64(shown)));
        }
        if (m_centerShadow) {
            m_centerShadow->setLeftWidth(0);
            m_centerShadow->setRightWidth(0);
        }
    } else {
        left = output->previewPageAtIndex(quint64(shown), true);
        right = output->previewPageAtIndex(quint64(shown), false);
        if (m_filterView)
            m_filterView->setOnlyPagesBasedFilters(true);
        const double percent = output->percentPreviewAtIndex(quint64(shown));
        if (m_centerShadow) {
            m_centerShadow->setLeftWidth(percent * 100);
            m_centerShadow->setRightWidth(100 - percent * 100);
        }
    }
    const auto fill = [&](VXPageView *view, const VXPagePtr &page, bool isLeft) {
        if (!view)
            return;
        view->setPage(page);
        view->setAllowAdjusting(adjusting && page && !page->isEmpty());
        const quint64 side = adjusting ? quint64(shown) : output->doubleIndexForPage(page);
        view->setOffset(side == VXFilter::NotFound ? QPointF() : output->offsetForDoublePage(side, isLeft));
    };
    fill(m_leftPage, left, true);
    fill(m_rightPage, right, false);
    if (m_previousButton)
        m_previousButton->setEnabled(shown > 0);
    if (m_nextButton)
        m_nextButton->setEnabled(shown < last);
    if (m_flipButton && m_flipButton->count() == 2) {
        m_flipButton->setTabEnabled(0, shown > 0);
        m_flipButton->setTabEnabled(1, shown < last);
    }
    if (m_filterView) {
        m_filterView->setLeftNo(input->indexForPage(left));
        m_filterView->setRightNo(input->indexForPage(right));
    }
    emit keyValueChanged(QStringLiteral("pageName"));
}

void VXDocumentWindowController::flipPageBy(qint64 step) { showPage((isAdjusting() ? m_adjustPage : m_previewPage) + step); }

void VXDocumentWindowController::showPage(qint64 index)
{
    const VXOutputFilter *output = m_document->outputFilter();
    const bool adjusting = isAdjusting();
    const qint64 last = qint64(adjusting ? output->doubleCount() : output->previewCount()) - 1;
    (adjusting ? m_adjustPage : m_previewPage) = std::clamp<qint64>(index, 0, std::max<qint64>(0, last));
    m_document->updatePages();
}

void VXDocumentWindowController::nextPage(QObject *) { flipPageBy(1); }

void VXDocumentWindowController::previousPage(QObject *) { flipPageBy(-1); }

void VXDocumentWindowController::flipPage(QObject *sender)
{
    const auto *control = qobject_cast<QTabBar *>(sender);
    flipPageBy(control && control->currentIndex() != 0 ? 1 : -1);
}

void VXDocumentWindowController::firstPage(QObject *) { showPage(0); }

void VXDocumentWindowController::lastPage(QObject *) { showPage(std::numeric_limits<qint64>::max()); }

// The split controls move the split filter by their bindings; a single selected page is shown
// where it lies now.
void VXDocumentWindowController::splitChanged()
{
    setSelectedPages(m_selectedPages);
    m_document->updatePages();
}

void VXDocumentWindowController::pageViewDidChangeLayout(VXPageView *pageView)
{
    const QPointF center = pageView->center();
    m_document->setCenter(pageView == m_rightPage ? QPointF(-center.x(), center.y()) : center);
    m_document->setZoom(pageView->zoom());
}

void VXDocumentWindowController::centerChanged()
{
    const QPointF center = m_document->center();
    if (m_leftPage)
        m_leftPage->setCenter(center);
    if (m_rightPage)
        m_rightPage->setCenter(QPointF(-center.x(), center.y()));
    setWarningColor(m_centerXTF, std::abs(center.x()) - 0.5);
    setWarningColor(m_centerYTF, std::abs(center.y()) - 0.5);
}

void VXDocumentWindowController::zoomChanged()
{
    for (VXPageView *view : {m_leftPage.data(), m_rightPage.data()}) {
        if (view)
            view->setZoom(m_document->zoom());
    }
}

// ---- The page list

QList<int> VXDocumentWindowController::selectedPages() const { return m_selectedPages; }

void VXDocumentWindowController::setSelectedPages(const QList<int> &rows)
{
    m_selectedPages = rows;
    if (rows.size() != 1)
        return;
    const VXPagePtr page = m_pagesController->pageAtRow(rows.first());
    const VXOutputFilter *output = m_document->outputFilter();
    const quint64 side = page ? output->doubleIndexForPage(page) : VXFilter::NotFound;
    const quint64 spread = page ? output->previewIndexForPage(page) : VXFilter::NotFound;
    if (side != VXFilter::NotFound)
        m_adjustPage = qint64(side);
    if (spread != VXFilter::NotFound)
        m_previewPage = qint64(spread);
    m_document->updatePages();
}

void VXDocumentWindowController::selectionChanged()
{
    if (m_pagesTableView)
        setSelectedPages(m_pagesTableView->selectedRows());
    validateMenus();
}

void VXDocumentWindowController::pageListChanged()
{
    m_document->updatePages();
    m_document->updatePaperSize();
    validateMenus();
}

void VXDocumentWindowController::addPage(QObject *)
{
    if (m_addPagePopover && m_addPageButton) {
        const QRect square(QPoint(0, 0), QSize(30, 30));
        m_addPagePopover->showRelativeToRect(square.translated(m_addPageButton->rect().center() - square.center()),
                                             m_addPageButton, platform::Popover::Edge::Bottom);
    }
}

void VXDocumentWindowController::addEmptyPage(QObject *)
{
    if (m_addPagePopover)
        m_addPagePopover->close();
    m_pagesController->addEmptyPage();
}

void VXDocumentWindowController::addImagePage(QObject *)
{
    addPagesFromPanel(pictureExtensions(), QStringLiteral("AddImage"), QStringLiteral("AddImages"), false);
}

void VXDocumentWindowController::addPDFPage(QObject *)
{
    addPagesFromPanel({QStringLiteral("pdf")}, QStringLiteral("AddPDFDocument"), QStringLiteral("AddPDFDocuments"), true);
}

// The pages of the chosen files at the top of the list. PDF additions are named by the number of
// files, picture additions by the number of pages.
void VXDocumentWindowController::addPagesFromPanel(const QStringList &types, const QString &oneName,
                                                    const QString &severalName, bool byFile)
{
    if (m_addPagePopover)
        m_addPagePopover->close();
    platform::OpenPanel panel;
    panel.setAllowedFileTypes(types);
    panel.setAllowsMultipleSelection(true);
    const QPointer<VXDocumentWindowController> self(this);
    panel.beginSheetModalForWindow(m_document->windowForSheet(), [self, oneName, severalName, byFile](int result, const QList<QUrl> &urls) {
        if (!self || result != platform::OpenPanel::OKButton)
            return;
        self->m_pagesController->readPagesOfURLs(urls, [self, oneName, severalName, byFile](const QList<QList<VXPagePtr>> &pagesByFile,
                                                                                           const VXOpenFailures &refused) {
            if (!self)
                return;
            QList<VXPagePtr> pages;
            for (const QList<VXPagePtr> &ofFile : pagesByFile)
                pages += ofFile;
            const qsizetype count = byFile ? pagesByFile.size() : pages.size();
            if (!self->m_pagesController->insertPagesAtRow(pages, 1, count == 1 ? oneName : severalName))
                self->m_document->updatePages();
            if (!refused.isEmpty())
                self->tellRefused(refused);
        });
    });
}

void VXDocumentWindowController::tellRefused(const VXOpenFailures &refused)
{
    platform::logWarning(QStringLiteral("Could not add %1 to \"%2\"").arg(refused.names().join(QStringLiteral(", ")), m_document->displayName()));
    refused.tell(rqs::localized(QStringLiteral("AddPagesRefusedTitle")).replace(QLatin1String("%1"), m_document->displayName()),
                 m_document->windowForSheet());
}

void VXDocumentWindowController::removeSelectedPages(QObject *)
{
    if (!m_pagesTableView)
        return;
    const QList<int> rows = m_pagesTableView->selectedRows();
    // Rows going one by one would leave a single page selected on the way, and the view would
    // move to it: the selection goes first, and the view stays.
    m_pagesTableView->selectionModel()->clearSelection();
    m_pagesController->removeObjectsAtArrangedObjectIndexes(rows);
}

// ---- Help

void VXDocumentWindowController::showHelpPopupOn(QObject *view)
{
    auto *anchor = qobject_cast<QWidget *>(view);
    const VXHelpDescription::Entry *entry = anchor ? VXHelpDescription::entryAtIndex(anchor->property("tag").toInt()) : nullptr;
    if (!entry || !m_helpPopOver)
        return;
    if (m_helpTitle)
        m_helpTitle->setText(rqs::localized(entry->name + QStringLiteral("-Title")));
    if (m_helpShortText)
        m_helpShortText->setText(rqs::localized(entry->name + QStringLiteral("-Short")));
    if (m_helpAutoShow) {
        platform::KeyValue::bind(m_helpAutoShow, QStringLiteral("checked"), platform::UserDefaultsController::sharedUserDefaultsController(),
                                 QStringLiteral("values.") + VXHelpDescription::autoShowKey(entry->name));
        m_helpAutoShow->setVisible(entry->hasAutohelp);
    }
    m_helpAnchorName = entry->name;
    if (m_helpMoreDetails)
        m_helpMoreDetails->setVisible(entry->hasHelp);
    if (QLayout *layout = m_helpPopOver->layout()) {
        QMargins margins = layout->contentsMargins();
        margins.setBottom(entry->hasHelp ? 46 : entry->hasAutohelp ? 38 : 20);
        layout->setContentsMargins(margins);
    }
    connect(m_helpPopOver, &platform::Popover::didClose, this, &VXDocumentWindowController::helpPopoverDidClose, Qt::UniqueConnection);
    m_helpPopOver->showRelativeToRect(helpRowOf(anchor), anchor, platform::Popover::Edge::Right);
}

QRect VXDocumentWindowController::helpRowOf(QWidget *button) const
{
    QWidget *across = m_settingsScroll && m_settingsScroll->isAncestorOf(button) ? m_settingsScroll->viewport() : button->window();
    const int left = across->mapTo(button->window(), QPoint(0, 0)).x() - button->mapTo(button->window(), QPoint(0, 0)).x();
    return QRect(left, 0, across->width(), button->height());
}

void VXDocumentWindowController::fitSettingsColumn()
{
    if (!m_settingsScroll || !m_settingsScroll->widget())
        return;
    const int width = m_settingsScroll->widget()->minimumSizeHint().width() + m_settingsScroll->verticalScrollBar()->sizeHint().width()
        + 2 * m_settingsScroll->frameWidth();
    m_settingsScroll->setMinimumWidth(width);
    m_settingsScroll->setMaximumWidth(std::max(width, m_settingsScroll->maximumWidth()));
}

bool VXDocumentWindowController::showAutoHelpOn(QWidget *view)
{
    if (!view || !view->isVisible())
        return false;
    const VXHelpDescription::Entry *entry = VXHelpDescription::entryAtIndex(view->property("tag").toInt());
    if (!entry || !defaults()->boolForKey(VXHelpDescription::autoShowKey(entry->name)))
        return false;
    showHelpPopupOn(view);
    return true;
}

void VXDocumentWindowController::helpPopoverDidClose()
{
    if (m_helpAutoShow)
        platform::KeyValue::unbind(m_helpAutoShow, QStringLiteral("checked"));
}

QString VXDocumentWindowController::helpAnchorName() const { return m_helpAnchorName; }

void VXDocumentWindowController::openHelpTopic(QObject *) { VXHelpWindow::openHelpPage(m_helpAnchorName); }

// ---- Paper and warnings

void VXDocumentWindowController::paperChanged()
{
    const QSizeF paper = m_document->printInfo().paperSize();
    if (paper.width() > 0 && paper.height() > 0)
        updatePaperRatio(paper.width() / paper.height());
    updateFilterFraction();
}

void VXDocumentWindowController::updatePaperRatio(double ratio)
{
    if (m_paperPreviewLayout)
        m_paperPreviewLayout->setRatio(ratio);
    if (m_paperLayout)
        m_paperLayout->setRatio(ratio);
}

void VXDocumentWindowController::updateFilterFraction()
{
    const double paperWidth = m_document->printInfo().paperSize().width();
    if (m_filterView && paperWidth > 0)
        m_filterView->setFraction(m_filterView->width() / paperWidth);
}

void VXDocumentWindowController::rasterizationChanged()
{
    if (m_rasterizeHeader)
        m_rasterizeHeader->setOverlayColor(m_document->useRasterization() ? QColor(Qt::red) : QColor());
}

void VXDocumentWindowController::testForBigMargins()
{
    const QList<VXPagePtr> pages = m_document->inputFilter()->allPages();
    const QSizeF paper = m_document->printInfo().paperSize();
    if (pages.isEmpty() || paper.height() <= 0 || paper.width() <= 0)
        return;
    const double half = paper.width() * 0.5 / paper.height();
    if (std::abs(half - pages.first()->ratio()) / half > 0.035)
        showAutoHelpOn(m_marginHelp);
}

void VXDocumentWindowController::testForEmptyDocument()
{
    if (m_document->inputFilter()->allPages().isEmpty())
        showAutoHelpOn(m_workflowHelp);
}

// Pages of a damaged file may come out blank; the user hears why once, as the window opens.
void VXDocumentWindowController::testForDamage()
{
    if (m_document->readDamage().isEmpty())
        return;
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("DamagedFileTitle")).replace(QLatin1String("%1"), m_document->displayName()));
    alert.setInformativeText(rqs::localized(QStringLiteral("DamagedFileText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(window(), platform::Alert::Completion());
}

void VXDocumentWindowController::setWarningColor(QWidget *field, double warning)
{
    if (!field)
        return;
    const float g = float(1 - std::clamp(std::isnan(warning) ? 0.0 : warning, 0.0, 1.0));
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QColor::fromRgbF(1, g, g, 1));
    field->setPalette(palette);
}

void VXDocumentWindowController::pulseButton(QWidget *view)
{
    if (!view)
        return;
    auto *glow = new QGraphicsDropShadowEffect(view);
    glow->setObjectName(pulseKey);
    glow->setOffset(0, 0);
    glow->setBlurRadius(5.0);
    glow->setColor(QColor(255, 0, 0, 0));
    // A glow of an earlier pulse goes with its effect.
    view->setGraphicsEffect(glow);
    auto *pulse = new QPropertyAnimation(glow, "color", glow);
    pulse->setDuration(2000);
    pulse->setKeyValueAt(0, QColor(255, 0, 0, 0));
    pulse->setKeyValueAt(0.5, QColor(255, 0, 0, 255));
    pulse->setKeyValueAt(1, QColor(255, 0, 0, 0));
    pulse->setEasingCurve(QEasingCurve::OutQuad);
    pulse->setLoopCount(10);
    const QPointer<QWidget> target(view);
    const QPointer<QGraphicsEffect> effect(glow);
    connect(pulse, &QPropertyAnimation::finished, view, [target, effect] {
        // Not while the animation is still telling that it finished: the effect owns it.
        platform::MainQueue::post([target, effect] {
            if (target && effect && target->graphicsEffect() == effect)
                target->setGraphicsEffect(nullptr);
        });
    });
    pulse->start();
}

// ---- Font

void VXDocumentWindowController::showFontManager(QObject *sender)
{
    if (auto *control = qobject_cast<QWidget *>(sender))
        control->setFocus();
    if (!m_fontChooser) {
        m_fontChooser = new VXFontChooser(window());
        connect(m_fontChooser, &VXFontChooser::fontChosen, this, &VXDocumentWindowController::changeFont);
    }
    m_fontChooser->setFamilyAndSize(m_document->pageNumbersDrawnFontName(), m_document->pageNumbersFontSize());
    m_fontChooser->show();
    m_fontChooser->raise();
    m_fontChooser->activateWindow();
}

void VXDocumentWindowController::changeFont(const QFont &font)
{
    setValue(m_document, QStringLiteral("pageNumbersFontName"), font.family());
    setValue(m_document, QStringLiteral("pageNumbersFontSize"), VXPageNumberFilter::pointSizeOf(font));
}

// ---- Menus

bool VXDocumentWindowController::validateMenuItem(QAction *item)
{
    const QString operation = item->property("action").toString();
    if (operation == removeOperation) {
        const qsizetype count = m_pagesTableView ? m_pagesTableView->selectedRows().size() : 0;
        item->setText(count > 1 ? rqs::localized(QStringLiteral("Delete %lu Pages")).arg(count)
                                : rqs::localized(QStringLiteral("Delete Page")));
        return count > 0;
    }
    if (operation == QLatin1String("revertDocumentToSaved"))
        return m_document->fileURL().isLocalFile() && m_document->isDocumentEdited();
    platform::UndoManager *undoManager = m_document->undoManager();
    if (operation == QLatin1String("undo")) {
        item->setText(rqs::localized(QStringLiteral("Undo %1")).arg(undoManager->undoActionName()).trimmed());
        return undoManager->canUndo();
    }
    if (operation == QLatin1String("redo")) {
        item->setText(rqs::localized(QStringLiteral("Redo %1")).arg(undoManager->redoActionName()).trimmed());
        return undoManager->canRedo();
    }
    return true;
}

void VXDocumentWindowController::validateMenus()
{
    if (!isLoaded())
        return;
    for (QAction *item : window()->findChildren<QAction *>()) {
        if (!item->property("action").isNull())
            item->setEnabled(validateMenuItem(item));
    }
}

void VXDocumentWindowController::undo(QObject *)
{
    m_document->undoManager()->undo();
    validateMenus();
}

void VXDocumentWindowController::redo(QObject *)
{
    m_document->undoManager()->redo();
    validateMenus();
}

// ---- The document's operations

void VXDocumentWindowController::saveDocument(QObject *) { m_document->saveDocument(nullptr); }

void VXDocumentWindowController::saveDocumentAs(QObject *) { m_document->saveDocumentAs(nullptr); }

void VXDocumentWindowController::revertDocumentToSaved(QObject *) { m_document->revertDocumentToSaved(nullptr); }

// The title carries the modified mark "[*]", shown while the document has unsaved changes.
void VXDocumentWindowController::showFileState()
{
    window()->setWindowTitle(m_document->displayName() + QStringLiteral("[*]"));
    window()->setWindowModified(m_document->isDocumentEdited());
    validateMenus();
}

void VXDocumentWindowController::runPageLayout(QObject *sender) { m_document->runPageLayout(sender); }

void VXDocumentWindowController::rotatePaper(QObject *sender) { m_document->rotatePaper(sender); }

void VXDocumentWindowController::saveDefaults(QObject *sender) { m_document->saveDefaults(sender); }

void VXDocumentWindowController::checkPrint(QObject *sender) { sendToDocument("checkPrint", sender); }

void VXDocumentWindowController::printDocument(QObject *sender) { sendToDocument("printDocument", sender); }

void VXDocumentWindowController::printManualDuplex(QObject *sender) { sendToDocument("printManualDuplex", sender); }

void VXDocumentWindowController::saveBooklet(QObject *sender) { sendToDocument("saveBooklet", sender); }

// Printing and export belong to the document's print runs, found by name.
void VXDocumentWindowController::test(QObject *)
{
    QStringList arranged;
    for (int row = 0; row < m_pagesController->rowCount(); ++row) {
        const VXPagePtr page = m_pagesController->pageAtRow(row);
        arranged << (page ? QStringLiteral("page of %1 × %2").arg(page->size().width()).arg(page->size().height())
                          : QStringLiteral("add-page button"));
    }
    QString controller;
    QDebug(&controller).nospace() << m_pagesController;
    platform::logInfo(QStringLiteral("Controller %1\n Array (%2)").arg(controller, arranged.join(QStringLiteral(", "))));
    platform::logInfo(QStringLiteral("Table View: %1").arg(m_pagesTableView && m_pagesTableView->model() ? m_pagesTableView->model()->rowCount() : 0));
}

void VXDocumentWindowController::sendToDocument(const char *operation, QObject *sender)
{
    if (!QMetaObject::invokeMethod(m_document, operation, Q_ARG(QObject *, sender)))
        platform::logWarning(QStringLiteral("The document cannot %1 yet").arg(QLatin1String(operation)));
}
