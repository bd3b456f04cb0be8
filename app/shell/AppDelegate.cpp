#include "app/shell/AppDelegate.h"

#include "app/booklet/Document.h"
#include "app/booklet/VXOpenFailures.h"
#include "app/printing/VXPreferencesWindow.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/VXApplicationMover.h"
#include "app/shell/VXBookmarks.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXKeptPrints.h"
#include "app/shell/VXManualDuplexController.h"
#include "app/shell/VXPDFServiceInstaller.h"
#include "app/shell/VXPreferencesController.h"
#include "app/shell/VXRealHomeDirectory.h"
#include "app/shell/VXServiceQueue.h"
#include "app/shell/VXSoftwareUpdater.h"
#include "app/shell/VXWelcomeWindow.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Controls/QSAboutBoxController.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/MainMenu.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMenuBar>
#include <QStandardPaths>

#include <unistd.h>

using platform::Window;

namespace {

// The project has no web site of its own yet; these stand where its addresses will.
const QString FeedbackAddress = QStringLiteral("feedback@foldwise.example.org");
const QString FeedURL = QStringLiteral("https://foldwise.example.org/AppCasts/Foldwise.xml");
const QUrl StorePageURL(QStringLiteral("https://foldwise.example.org/rate"));
const QString HomePageAddress = QStringLiteral("https://foldwise.example.org/");
const QString FacebookAddress = QStringLiteral("https://www.facebook.com/foldwise.example");
const QString TwitterAddress = QStringLiteral("https://twitter.com/foldwise_example");

platform::UserDefaults *defaults() { return platform::UserDefaults::standardUserDefaults(); }

// The C string would end at a null character and name another file.
bool isAccessible(const QString &path, int mode)
{
    return !path.isEmpty() && !path.contains(QChar::Null) && ::access(QFile::encodeName(path).constData(), mode) == 0;
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
    platform::PrinterCache::shared()->leaveOutDeviceScheme(VXServiceQueue::Scheme);
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
    m_mainMenu.reset();
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
    if (auto *menus = qobject_cast<QMenuBar *>(platform::InterfaceLoader::load(QStringLiteral("MainMenu"), this)))
        m_mainMenu = std::make_unique<platform::MainMenu>(menus);
    else
        platform::logError(QStringLiteral("The application's menus \"MainMenu\" could not be loaded"));
    if (m_mover)
        m_mover->moveToApplicationsFolderIfNecessary();
    defaults()->registerDefaults({{FeedURLKey, FeedURL}});
    if (m_updater && defaults()->boolForKey(AutomaticChecksKey))
        m_updater->checkForUpdatesInBackground();
    if (defaults()->boolForKey(FirstRunServiceKey))
        lookForOldServiceWorkflows();
    if (m_bookmarks)
        m_bookmarks->activateBookmarks(true);
    // Files given at start show windows of their own, only a little later.
    const bool documentsComing = !m_waitingURLs.isEmpty() || (m_documents && (!m_documents->documents().isEmpty() || m_documents->isOpening()));
    if (defaults()->boolForKey(ShowWelcomeAtStartKey) && !Window::keyWindow() && !documentsComing)
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

void AppDelegate::terminate(QObject *) { closeNextDocumentThenQuit(); }

void AppDelegate::closeNextDocumentThenQuit()
{
    const QList<Document *> open = m_documents ? m_documents->documents() : QList<Document *>();
    if (open.isEmpty()) {
        emit readyToQuit();
        return;
    }
    const QPointer<Document> document(open.first());
    const QPointer<AppDelegate> self(this);
    document->canClose([self, document](bool allowed) {
        if (!self || !document || !allowed)
            return;
        document->close();
        if (self->m_documents && self->m_documents->documents().contains(document)) {
            platform::logWarning(QStringLiteral("A document did not close; Foldwise goes on running"));
            return;
        }
        self->closeNextDocumentThenQuit();
    });
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
    const bool documentsOpen = m_documents && (!m_documents->documents().isEmpty() || m_documents->isOpening());
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

Window *AppDelegate::shownWindowForSheet()
{
    if (Window *key = Window::keyWindow())
        return key;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<Window *>(widget);
        if (window && window->isVisible())
            return window;
    }
    return nullptr;
}

Window *AppDelegate::windowForSheet()
{
    if (Window *shown = shownWindowForSheet())
        return shown;
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
        openAsDocuments(batch, replyOnceOpened());
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
    // Without a window shown (files given at launch) the question stands alone: the welcome
    // window would only stand behind it, to be left over whatever the answer.
    alert.beginSheetModalForWindow(shownWindowForSheet(), [self, batch](int returnCode) {
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
        openAsDocuments(urls, replyOnceOpened());
        break;
    default:
        emit replyToOpenOrPrint(OpenCancel);
        break;
    }
}

void AppDelegate::openAsDocuments(const QList<QUrl> &urls, const std::function<void(bool all)> &done, const FileOpened &opened)
{
    if (urls.isEmpty()) {
        if (done)
            done(true);
        return;
    }
    if (!m_documents) {
        platform::logError(QStringLiteral("Could not open %1 files, because there is no document controller").arg(urls.size()));
        if (done)
            done(false);
        return;
    }
    struct Batch { qsizetype waiting; bool all = true; };
    const auto batch = std::make_shared<Batch>(Batch{urls.size()});
    const auto failures = std::make_shared<VXOpenFailures>();
    for (const QUrl &url : urls) {
        m_documents->openDocumentWithContentsOfURL(url, true, [batch, failures, done, opened, url](Document *document) {
            if (opened)
                opened(url, document, *failures);
            batch->all = batch->all && document;
            if (--batch->waiting > 0)
                return;
            failures->tell();
            if (done)
                done(batch->all);
        }, failures);
    }
}

std::function<void(bool all)> AppDelegate::replyOnceOpened()
{
    const QPointer<AppDelegate> self(this);
    return [self](bool all) {
        if (self)
            emit self->replyToOpenOrPrint(all ? OpenSuccess : OpenFailure);
    };
}

void AppDelegate::openPDFService(const QList<QUrl> &urls)
{
    openAsDocuments(urls, {}, [](const QUrl &url, Document *document, VXOpenFailures &failures) {
        const QString path = url.toLocalFile();
        if (!VXKeptPrints::contains(path))
            return;
        if (!document) {
            // Left where it waits, it would come back with the same alert at every start; one
            // whose opening the user stopped waits for the next.
            if (!failures.contains(path))
                return;
            if (const QString aside = VXKeptPrints::setAside(path); !aside.isEmpty())
                failures.explain(path, rqs::localized(QStringLiteral("KeptPrintSetAsideText")).arg(aside));
            return;
        }
        // The print's own folder is removed now; the open document no longer needs the file's name.
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        document->setFolderForSaving(QFileInfo(documents).isDir() ? documents : VXRealHomeDirectory());
        VXKeptPrints::remove(path);
    });
}

void AppDelegate::openKeptPrints(const QStringList &except)
{
    QList<QUrl> urls;
    for (const QString &path : VXKeptPrints::waiting()) {
        if (except.contains(path))
            continue;
        platform::logInfo(QStringLiteral("Opening %1, printed to Foldwise while it could not open it").arg(path));
        urls << QUrl::fromLocalFile(path);
    }
    openPDFService(urls);
}

void AppDelegate::openRequested(VXSingleInstance::Request request, const QStringList &paths)
{
    if (request == VXSingleInstance::Request::Service) {
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        openPDFService(urls);
    } else if (request == VXSingleInstance::Request::AddPDFService) {
        if (Window *window = windowForSheet())
            window->makeKeyAndOrderFront(this);
        addPDFService();
    } else if (!paths.isEmpty()) {
        openFiles(paths);
    } else if (Window *window = windowForSheet()) {
        window->makeKeyAndOrderFront(this);
    }
}

void AppDelegate::showWelcomeWindow(QObject *) { welcomeWindow(); }

void AppDelegate::showFrameBuilder(QObject *) { QSMaterialBuilder::sharedMaterialBuilder().showWindow(nullptr); }

void AppDelegate::openNewDocument(QObject *)
{
    if (m_documents)
        m_documents->newDocument();
    else
        platform::logError(QStringLiteral("Could not make a new document, because there is no document controller"));
}

void AppDelegate::openDocument(QObject *)
{
    chooseFiles([this](const QList<QUrl> &urls) { openAsDocuments(urls); });
}

void AppDelegate::showBookletFactory(QObject *)
{
    if (Window *window = factoryWindow()) {
        window->makeKeyAndOrderFront(this);
        return;
    }
    chooseFiles([this](const QList<QUrl> &urls) { chosenWindowsOrFactory(platform::Alert::FirstButtonReturn, urls); });
}

void AppDelegate::chooseFiles(const std::function<void(const QList<QUrl> &urls)> &chosen)
{
    QStringList types{QStringLiteral("pdf")};
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        types.append(QString::fromLatin1(format));
    platform::OpenPanel panel;
    panel.setAllowedFileTypes(types);
    panel.setFileTypesName(rqs::localized(QStringLiteral("OpenableFilesName")));
    panel.setAllowsMultipleSelection(true);
    // Counted as a question, so that the process does not end while the panel is the only window.
    ++m_openQuestions;
    const QPointer<AppDelegate> self(this);
    panel.beginSheetModalForWindow(Window::keyWindow(), [self, chosen](int result, const QList<QUrl> &urls) {
        if (!self)
            return;
        --self->m_openQuestions;
        if (result == platform::OpenPanel::OKButton)
            chosen(urls);
        // The files chosen have no windows until they are read.
        self->afterOpenings([self] {
            if (self && !Window::isAnyStandaloneWindowVisible())
                self->showWelcomeWindow();
        });
    });
}

void AppDelegate::afterOpenings(const std::function<void()> &call)
{
    if (m_documents)
        m_documents->afterOpenings(call);
    else
        call();
}

void AppDelegate::openUntitledUnlessDocumentsOpen()
{
    const QPointer<AppDelegate> self(this);
    afterOpenings([self] {
        if (self && (!self->m_documents || self->m_documents->documents().isEmpty()))
            self->applicationShouldOpenUntitledFile();
    });
}

void AppDelegate::showPreferences(QObject *)
{
    if (VXPreferencesWindow *window = preferences())
        window->showWindow();
    else
        platform::logInfo(QStringLiteral("There is no preferences window to show"));
}

void AppDelegate::tell(const QString &title, const QString &text)
{
    platform::Alert alert;
    alert.setAlertStyle(platform::Alert::Style::Informational);
    alert.setMessageText(title);
    alert.setInformativeText(text);
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(Window::keyWindow(), platform::Alert::Completion());
}

void AppDelegate::showAbout(QObject *)
{
    QSAboutBoxController *about = QSAboutBoxController::sharedAboutBox();
    about->setAppLink(HomePageAddress);
    about->setFacebookLink(FacebookAddress);
    about->setTwitterLink(TwitterAddress);
    about->setBugMail(FeedbackAddress);
    about->setRequestMail(FeedbackAddress);
    about->showWindow(nullptr);
}

void AppDelegate::openHomePage(QObject *) { openWebLink(HomePageAddress); }

void AppDelegate::openFacebook(QObject *) { openWebLink(FacebookAddress); }

void AppDelegate::openTwitter(QObject *) { openWebLink(TwitterAddress); }

void AppDelegate::openWebLink(QObject *sender)
{
    const QString address = sender ? sender->property("webLink").toString() : QString();
    if (address.isEmpty())
        platform::logWarning(QStringLiteral("A web link without an address was chosen"));
    else
        openWebLink(address);
}

void AppDelegate::sendFeedback(QObject *)
{
    if (!QSSystemInfo::sendFeedbackTo(FeedbackAddress))
        tellCannotOpen(FeedbackAddress);
}

void AppDelegate::rateFoldwise(QObject *)
{
    openWebLink(StorePageURL.toString());
    QSRateUsController::userDidRate();
}

void AppDelegate::checkForUpdate(QObject *)
{
    if (m_updater) {
        m_updater->checkForUpdates();
        return;
    }
    tell(rqs::localized(QStringLiteral("NoUpdaterTitle")).arg(QSSystemInfo::appVersion()),
         rqs::localized(QStringLiteral("NoUpdaterText")));
}

void AppDelegate::addPDFService(QObject *)
{
    // One under way is answered first: a second launch asking again does not stack its alerts.
    if (m_installer && !m_installer->isInstalling())
        m_installer->addPDFService();
}

bool AppDelegate::openWebLink(const QString &address)
{
    const QUrl url(address);
    if (url.isValid() && QDesktopServices::openUrl(url))
        return true;
    platform::logWarning(QStringLiteral("Could not open the web page %1").arg(address));
    tellCannotOpen(address);
    return false;
}

bool AppDelegate::fileExists(const QString &path) { return isAccessible(path, F_OK); }

bool AppDelegate::canGetAccessToFile(const QString &path) { return isAccessible(path, W_OK); }

// Otherwise the user chose a menu item and nothing happened.
void AppDelegate::tellCannotOpen(const QString &address)
{
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("CannotOpenAddressTitle")));
    alert.setInformativeText(rqs::localized(QStringLiteral("CannotOpenAddressText")).replace(QLatin1String("%1"), address));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(Window::keyWindow(), platform::Alert::Completion());
}

QString AppDelegate::currentPrinterName() const { return platform::PrinterCache::shared()->defaultPrinterName(); }

Window *AppDelegate::factoryWindow() const
{
    VXFactoryController *factory = VXFactoryController::sharedController();
    return factory ? factory->window() : nullptr;
}

VXPrintFactory *AppDelegate::factory() const { return VXFactoryController::sharedController(); }

VXPreferencesWindow *AppDelegate::preferences() const { return VXPreferencesController::sharedController(); }

VXManualDuplexSetup *AppDelegate::manualDuplexSetup() const { return VXManualDuplexController::sharedController(); }
