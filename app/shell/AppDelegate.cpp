#include "app/shell/AppDelegate.h"

#include "app/booklet/Document.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/VXApplicationMover.h"
#include "app/shell/VXBookmarks.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXPDFServiceInstaller.h"
#include "app/shell/VXSoftwareUpdater.h"
#include "app/shell/VXWelcomeWindow.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>

using platform::Window;

namespace {

// The project has no web site of its own yet; these stand where its addresses will.
const QString FeedbackAddress = QStringLiteral("feedback@foldwise.example.org");
const QString FeedURL = QStringLiteral("https://foldwise.example.org/AppCasts/Foldwise.xml");
const QUrl StorePageURL(QStringLiteral("https://foldwise.example.org/rate"));

platform::UserDefaults *defaults() { return platform::UserDefaults::standardUserDefaults(); }

} // namespace

void AppDelegate::initialize()
{
    static bool initialized = false;
    if (initialized)
        return;
    initialized = true;
    defaults()->registerDefaults({
        {FirstRunServiceKey, true},
        {ShowWelcomeAtStartKey, true},
        {SystemServiceNameKey, QStringLiteral("foldwise.desktop")},
    });
    Document::initialize();
    VXPrintHelper::sharedHelper();
    VXDocumentWindowController::setStorePageUrl(StorePageURL);
}

AppDelegate::AppDelegate(VXDocumentController *documents, QObject *parent)
    : QObject(parent)
    , m_documents(documents)
{
    initialize();
    m_waitingTimer.setSingleShot(true);
    m_waitingTimer.setInterval(OpenEventInterval);
    connect(&m_waitingTimer, &QTimer::timeout, this, &AppDelegate::processFiles);
    VXPrintHelper::sharedHelper()->setApplicationServices(this);
    // A task's document has no window: its sheets go on the factory's.
    Document::setSheetWindowFallback([this](const Document *document) {
        Window *factory = document->controllingTask() ? factoryWindow() : nullptr;
        return factory ? factory : windowForSheet();
    });
}

AppDelegate::~AppDelegate()
{
    VXPrintHelper *helper = VXPrintHelper::sharedHelper();
    if (helper->applicationServices() == this)
        helper->setApplicationServices(nullptr);
    Document::setSheetWindowFallback(nullptr);
}

void AppDelegate::setApplicationMover(VXApplicationMover *mover) { m_mover = mover; }

void AppDelegate::setSoftwareUpdater(VXSoftwareUpdater *updater) { m_updater = updater; }

void AppDelegate::setWelcomeWindow(VXWelcomeWindow *welcome) { m_welcome = welcome; }

void AppDelegate::setPDFServiceInstaller(VXPDFServiceInstaller *installer) { m_installer = installer; }

void AppDelegate::setBookmarks(VXBookmarks *bookmarks) { m_bookmarks = bookmarks; }

void AppDelegate::applicationDidFinishLaunching()
{
    if (m_mover)
        m_mover->moveToApplicationsFolderIfNecessary();
    defaults()->registerDefaults({{FeedURLKey, FeedURL}});
    if (m_updater && defaults()->boolForKey(AutomaticChecksKey))
        m_updater->checkForUpdatesInBackground();
    if (defaults()->boolForKey(FirstRunServiceKey))
        lookForOldServiceWorkflows();
    if (m_bookmarks)
        m_bookmarks->activateBookmarks(true);
    if (defaults()->boolForKey(ShowWelcomeAtStartKey) && !Window::keyWindow())
        showWelcomeWindow();
}

void AppDelegate::lookForOldServiceWorkflows()
{
    if (m_installer && m_installer->revealOldServiceWorkflow()) {
        platform::Alert alert;
        alert.setMessageText(rqs::localized(QStringLiteral("OldServiceTitle")));
        alert.setInformativeText(rqs::localized(QStringLiteral("OldServiceText")));
        alert.addButtonWithTitle(rqs::localized(QStringLiteral("OldServiceDelted")));
        alert.addButtonWithTitle(rqs::localized(QStringLiteral("OldServiceLater")));
        alert.beginSheetModalForWindow(windowForSheet(), platform::Alert::Completion());
    }
    defaults()->setBool(false, FirstRunServiceKey);
}

void AppDelegate::applicationWillTerminate()
{
    if (m_bookmarks)
        m_bookmarks->activateBookmarks(false);
}

bool AppDelegate::applicationShouldOpenUntitledFile()
{
    welcomeWindow();
    return false;
}

bool AppDelegate::applicationShouldTerminateAfterLastWindowClosed() const
{
    const bool documentsOpen = m_documents && !m_documents->documents().isEmpty();
    const bool installing = m_installer && m_installer->isInstalling();
    return !documentsOpen && !installing && m_waitingURLs.isEmpty() && !m_waitingTimer.isActive() && m_openQuestions == 0;
}

bool AppDelegate::shouldTerminateNow() const
{
    return !Window::isAnyStandaloneWindowVisible() && applicationShouldTerminateAfterLastWindowClosed();
}

Window *AppDelegate::welcomeWindow()
{
    Window *window = m_welcome ? m_welcome->welcomeWindow() : nullptr;
    if (window)
        window->makeKeyAndOrderFront(this);
    return window;
}

Window *AppDelegate::windowForSheet()
{
    if (Window *key = Window::keyWindow())
        return key;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<Window *>(widget);
        if (window && window->isVisible())
            return window;
    }
    return welcomeWindow();
}

void AppDelegate::openFiles(const QStringList &paths)
{
    for (const QString &path : paths)
        m_waitingURLs.append(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    // Files that arrive while the timer runs join its batch rather than restart it.
    if (!m_waitingURLs.isEmpty() && !m_waitingTimer.isActive())
        m_waitingTimer.start();
}

void AppDelegate::processFiles()
{
    m_waitingTimer.stop();
    if (m_waitingURLs.isEmpty())
        return;
    // The batch leaves the list now, so that files arriving while the user is asked make a
    // batch of their own instead of being dropped with this one.
    const QList<QUrl> batch = std::exchange(m_waitingURLs, {});
    if (batch.size() == 1) {
        emit replyToOpenOrPrint(openAsDocuments(batch) ? OpenSuccess : OpenFailure);
        return;
    }
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("OpenMultipleTitle")));
    alert.setInformativeText(rqs::localized(QStringLiteral("OpenMultipleText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("InFactory")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("AsDocuments")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Cancel")));
    ++m_openQuestions;
    const QPointer<AppDelegate> self(this);
    alert.beginSheetModalForWindow(windowForSheet(), [self, batch](int returnCode) {
        if (!self)
            return;
        --self->m_openQuestions;
        self->chosenWindowsOrFactory(returnCode, batch);
    });
}

void AppDelegate::chosenWindowsOrFactory(int returnCode, const QList<QUrl> &urls)
{
    switch (returnCode) {
    case platform::Alert::FirstButtonReturn:
        if (VXFactoryController *factory = VXFactoryController::sharedController()) {
            factory->addURLs(urls);
            emit replyToOpenOrPrint(OpenSuccess);
            break;
        }
        platform::logWarning(QStringLiteral("There is no batch factory; the files open as documents"));
        [[fallthrough]];
    case platform::Alert::FirstButtonReturn + 1:
        emit replyToOpenOrPrint(openAsDocuments(urls) ? OpenSuccess : OpenFailure);
        break;
    default:
        emit replyToOpenOrPrint(OpenCancel);
        break;
    }
}

bool AppDelegate::openAsDocuments(const QList<QUrl> &urls)
{
    if (!m_documents) {
        platform::logError(QStringLiteral("Could not open %1 files, because there is no document controller").arg(urls.size()));
        return false;
    }
    bool all = true;
    for (const QUrl &url : urls)
        all = m_documents->openDocumentWithContentsOfURL(url, true) && all;
    return all;
}

void AppDelegate::openPDFService(const QUrl &url) { openAsDocuments({url}); }

void AppDelegate::showWelcomeWindow(QObject *) { welcomeWindow(); }

void AppDelegate::sendFeedback(QObject *) { QSSystemInfo::sendFeedbackTo(FeedbackAddress); }

void AppDelegate::rateFoldwise(QObject *)
{
    if (!QDesktopServices::openUrl(StorePageURL))
        platform::logWarning(QStringLiteral("The store page %1 could not be opened").arg(StorePageURL.toString()));
    QSRateUsController::userDidRate();
}

void AppDelegate::checkForUpdate(QObject *)
{
    if (m_updater)
        m_updater->checkForUpdates();
}

void AppDelegate::addPDFService(QObject *)
{
    if (m_installer)
        m_installer->addPDFService();
}

bool AppDelegate::openWebLink(const QString &address)
{
    const QUrl url(address);
    if (url.isValid() && QDesktopServices::openUrl(url))
        return true;
    platform::logWarning(QStringLiteral("Could not open the web page %1").arg(address));
    return false;
}

QString AppDelegate::currentPrinterName() const { return platform::PrinterCache::shared()->defaultPrinterName(); }

Window *AppDelegate::factoryWindow() const
{
    VXFactoryController *factory = VXFactoryController::sharedController();
    return factory ? factory->window() : nullptr;
}

VXPrintFactory *AppDelegate::factory() const { return VXFactoryController::sharedController(); }

// The preferences and the manual duplex set-up are not part of the application yet; the print
// router copes without them.
VXPreferencesWindow *AppDelegate::preferences() const { return nullptr; }

VXManualDuplexSetup *AppDelegate::manualDuplexSetup() const { return nullptr; }
