#include "app/shell/AppDelegate.h"
#include "app/shell/VXApplicationsFolderMover.h"
#include "app/shell/VXBookmarkStore.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXPDFServiceQueueInstaller.h"
#include "app/shell/VXPreferencesController.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXWelcomeWindowController.h"
#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Foundation/ValueTransformers.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OpenFileLimit.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/ImageReaderPlugins.h"
#include "platform/pdf/PdfDrawingLimit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QPointer>

#include <chrono>
#include <cstdlib>


namespace {

// Ends the process once no window of its own is shown and nothing is open or on its way: a
// desktop process without windows could neither be seen nor quit by the user.
void quitWhenIdle(AppDelegate *delegate)
{
    const QPointer<AppDelegate> guarded(delegate);
    platform::MainQueue::post([guarded] {
        if (guarded && guarded->shouldTerminateNow())
            QApplication::quit();
    });
}

// Hands the launch's errand to the running Foldwise; a launch with no files brings it to the front.
bool forwardToRunning(VXSingleInstance &instance, const QStringList &files, const QStringList &serviceFiles, bool addPrinter)
{
    if (addPrinter && !instance.forward(VXSingleInstance::Request::AddPDFService, {}))
        return false;
    if (addPrinter && files.isEmpty() && serviceFiles.isEmpty())
        return true;
    if (serviceFiles.isEmpty())
        return instance.forward(VXSingleInstance::Request::OpenFiles, files);
    return (files.isEmpty() || instance.forward(VXSingleInstance::Request::OpenFiles, files))
        && instance.forward(VXSingleInstance::Request::Service, serviceFiles);
}

// Every window shows it; Qt reads the picture through its SVG icon plugin.
void setApplicationIcon()
{
    const QString path = platform::Bundle::mainBundle()->pathForResource(QStringLiteral("foldwise"), QStringLiteral("svg"));
    const QIcon icon(path);
    if (path.isEmpty() || icon.pixmap(64).isNull()) {
        platform::logWarning(QStringLiteral("Could not load the application icon \"%1\"").arg(path));
        return;
    }
    QApplication::setWindowIcon(icon);
}

int runFoldwise(int argc, char **argv)
{
    platform::routeQtMessagesToLog();
    platform::raiseOpenFileLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Foldwise"));
    QApplication::setOrganizationName(QStringLiteral("Foldwise"));
    QApplication::setApplicationVersion(QStringLiteral(FOLDWISE_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Turns PDF documents and pictures into printable booklets."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption service(QStringLiteral("service"),
                                     QStringLiteral("Open FILE, handed over by another program, as a booklet at once."),
                                     QStringLiteral("FILE"));
    parser.addOption(service);
    const QCommandLineOption addService(QStringLiteral("add-pdf-service"),
                                        QStringLiteral("Add the printer that opens what other programs print in Foldwise."));
    parser.addOption(addService);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("PDF documents or pictures to open."),
                                 QStringLiteral("[FILES…]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QStringList serviceFiles = parser.values(service);

    VXSingleInstance instance(VXSingleInstance::defaultServerName());
    if (forwardToRunning(instance, files, serviceFiles, parser.isSet(addService)))
        return 0;
    // Without the socket this process still works; only later launches start processes of their own.
    instance.listen();
    platform::ImageReaderPlugins::loadInBackground();

    rqs::registerValueTransformers();
    rqs::registerKitClasses();
    rqs::registerKitFilters();
    setApplicationIcon();
    VXDocumentController documents;
    VXFactoryController factory(&documents);
    AppDelegate delegate(&documents);
    VXPreferencesController preferences;
    VXBookmarkStore bookmarks(VXBookmarkStore::defaultFilePath());
    delegate.setBookmarks(&bookmarks);
    VXApplicationsFolderMover mover(QSMoveApplication::forThisProcess());
    delegate.setApplicationMover(&mover);
    VXPDFServiceQueueInstaller installer(delegate, QApplication::applicationFilePath());
    delegate.setPDFServiceInstaller(&installer);
    VXWelcomeWindowController welcome(delegate);
    delegate.setWelcomeWindow(&welcome);
    QObject::connect(&installer, &VXPDFServiceQueueInstaller::finished, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&instance, &VXSingleInstance::filesReceived, &delegate,
                     [&delegate](VXSingleInstance::Request request, const QStringList &paths) {
                         delegate.openRequested(request, paths);
                     });
    QObject::connect(&app, &QApplication::lastWindowClosed, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&documents, &VXDocumentController::documentRemoved, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&documents, &VXDocumentController::openingEnded, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&delegate, &AppDelegate::replyToOpenOrPrint, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    QObject::connect(&delegate, &AppDelegate::readyToQuit, &app, &QApplication::quit);

    delegate.openFiles(files);
    delegate.openRequested(VXSingleInstance::Request::Service, serviceFiles);
    delegate.openKeptPrints(serviceFiles);
    delegate.applicationDidFinishLaunching();
    // Prints that waited for Foldwise are being read as documents by now.
    if (files.isEmpty() && serviceFiles.isEmpty())
        delegate.openUntitledUnlessDocumentsOpen();
    if (parser.isSet(addService))
        delegate.addPDFService();
    quitWhenIdle(&delegate);
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    const int status = runFoldwise(argc, argv);
    // A page still held by a drawing operation that poppler cannot stop, or a thread still letting
    // go of what it drew with, would have what it uses torn down under it by the exit: the
    // process ends without tearing down.
    if (!platform::PdfDrawingLimit::processMayTearDown()) {
        platform::UserDefaults::standardUserDefaults()->synchronize();
        std::_Exit(status);
    }
    return status;
}
