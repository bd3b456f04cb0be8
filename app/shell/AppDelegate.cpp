#include "app/shell/AppDelegate.h"

#include "app/booklet/Document.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/VXApplicationMover.h"
#include "app/shell/VXBookmarks.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXPDFServiceInstaller.h"
#include "app/shell/VXSoftwareUpdater.h"
#include "app/shell/VXWelcomeWindow.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrinterList.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QFileInfo>

using platform::Window;

namespace {

// The project has no web site of its own yet; these stand where its addresses will.
const QString FeedbackAddress = QStringLiteral("feedback@foldwise.example.org");
const QString FeedURL = QStringLiteral("https://foldwise.example.org/AppCasts/Foldwise.xml");

platform::UserDefaults *defaults() { return platform::UserDefaults::standardUserDefaults(); }

QString localized(const QString &key, const QString &english)
{
    return platform::Bundle::mainBundle()->localizedStringForKey(key, english);
}

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
    VXPrintHelper::installDefaultAlert();
    Document::setSheetWindowFallback([this](const Document *) { return windowForSheet(); });
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
        alert.setMessageText(localized(QStringLiteral("OldServiceTitle"), QStringLiteral("An older Foldwise service is installed")));
        alert.setInformativeText(localized(QStringLiteral("OldServiceText"),
                                           QStringLiteral("It is shown in the file manager. Please delete it: this release installs its own.")));
        alert.addButtonWithTitle(localized(QStringLiteral("OldServiceDelted"), QStringLiteral("I Deleted It")));
        alert.addButtonWithTitle(localized(QStringLiteral("OldServiceLater"), QStringLiteral("Later")));
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
    return !documentsOpen && m_waitingURLs.isEmpty() && !m_waitingTimer.isActive() && m_openQuestions == 0;
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
    alert.setMessageText(localized(QStringLiteral("OpenMultipleTitle"), QStringLiteral("Several files were opened at once")));
    alert.setInformativeText(localized(QStringLiteral("OpenMultipleText"),
                                       QStringLiteral("Add them to the batch factory as one task each, or open each as a document?")));
    alert.addButtonWithTitle(localized(QStringLiteral("InFactory"), QStringLiteral("In Batch Factory")));
    alert.addButtonWithTitle(localized(QStringLiteral("AsDocuments"), QStringLiteral("As Documents")));
    alert.addButtonWithTitle(localized(QStringLiteral("Cancel"), QStringLiteral("Cancel")));
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
        // Until the batch factory exists its files open as documents.
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

QString AppDelegate::currentPrinterName() const { return platform::PrinterList::defaultPrinterName(); }

// The batch factory, the preferences and the manual duplex set-up are not part of the
// application yet; the print router copes without them.
Window *AppDelegate::factoryWindow() const { return nullptr; }

VXPrintFactory *AppDelegate::factory() const { return nullptr; }

VXPreferencesWindow *AppDelegate::preferences() const { return nullptr; }

VXManualDuplexSetup *AppDelegate::manualDuplexSetup() const { return nullptr; }
