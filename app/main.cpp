#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXSingleInstance.h"
#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Foundation/ValueTransformers.h"
#include "platform/foundation/MainQueue.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>
#include <QUrl>

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

void openFilesOf(AppDelegate &delegate, VXSingleInstance::Request request, const QStringList &paths)
{
    if (request == VXSingleInstance::Request::OpenFiles) {
        delegate.openFiles(paths);
        return;
    }
    for (const QString &path : paths)
        delegate.openPDFService(QUrl::fromLocalFile(path));
}

} // namespace

int main(int argc, char **argv)
{
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
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("PDF documents or pictures to open."),
                                 QStringLiteral("[FILES…]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QStringList serviceFiles = parser.values(service);

    VXSingleInstance instance(VXSingleInstance::defaultServerName());
    if (instance.forward(VXSingleInstance::Request::OpenFiles, files)
        && (serviceFiles.isEmpty() || instance.forward(VXSingleInstance::Request::Service, serviceFiles)))
        return 0;
    // Without the socket this process still works; only later launches start processes of their own.
    instance.listen();

    rqs::registerValueTransformers();
    rqs::registerKitClasses();
    VXDocumentController documents;
    AppDelegate delegate(&documents);
    QObject::connect(&instance, &VXSingleInstance::filesReceived, &delegate,
                     [&delegate](VXSingleInstance::Request request, const QStringList &paths) {
                         openFilesOf(delegate, request, paths);
                     });
    QObject::connect(&app, &QApplication::lastWindowClosed, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&documents, &VXDocumentController::documentRemoved, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&delegate, &AppDelegate::replyToOpenOrPrint, &delegate, [&delegate] { quitWhenIdle(&delegate); });
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);

    delegate.applicationDidFinishLaunching();
    if (files.isEmpty() && serviceFiles.isEmpty())
        delegate.applicationShouldOpenUntitledFile();
    openFilesOf(delegate, VXSingleInstance::Request::OpenFiles, files);
    openFilesOf(delegate, VXSingleInstance::Request::Service, serviceFiles);
    quitWhenIdle(&delegate);
    return app.exec();
}
