#pragma once

#include "app/printing/VXApplicationServices.h"
#include "app/shell/VXSingleInstance.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class Document;
class VXApplicationMover;
class VXBookmarks;
class VXDocumentController;
class VXOpenFailures;
class VXPDFServiceInstaller;
class VXSoftwareUpdater;
class VXWelcomeWindow;

namespace platform {
class MainMenu;
} // namespace platform

// The application's own start-up, the files opened from outside, the window application-level
// alerts hang on, and what the printing code asks of the application. Files opened from outside
// are gathered for 0.7 s: a single file opens as a document, several ask whether they go to the
// batch factory or open as documents. The steps whose pieces are not there (mover, updater,
// welcome window, PDF Service, bookmarks) are skipped until they are set. GUI thread.
class AppDelegate : public QObject, public VXApplicationServices
{
    Q_OBJECT
public:
    // What the batch of opened files came to.
    enum OpenReply { OpenSuccess = 0, OpenCancel = 1, OpenFailure = 2 };

    static constexpr int OpenEventInterval = 700; // milliseconds

    static inline const QString FirstRunServiceKey = QStringLiteral("First_Run_Service");
    static inline const QString ShowWelcomeAtStartKey = QStringLiteral("ShowWelcomeAtStart");
    static inline const QString SystemServiceNameKey = QStringLiteral("System_Service_Name");
    static inline const QString FeedURLKey = QStringLiteral("SUFeedURL");
    static inline const QString AutomaticChecksKey = QStringLiteral("SUEnableAutomaticChecks");

    // The class initialisers of the application, in their order, once per process: this class's
    // defaults, the document's, the print router.
    static void initialize();

    // Installs itself as the print router's application services for as long as it lives.
    explicit AppDelegate(VXDocumentController *documents, QObject *parent = nullptr);
    ~AppDelegate() override;

    void setApplicationMover(VXApplicationMover *mover);
    void setSoftwareUpdater(VXSoftwareUpdater *updater);
    void setWelcomeWindow(VXWelcomeWindow *welcome);
    void setPDFServiceInstaller(VXPDFServiceInstaller *installer);
    void setBookmarks(VXBookmarks *bookmarks);

    // Also gives every window with a menu bar the application's menus ("MainMenu").
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // Shows the welcome window instead: the application never opens an untitled document itself.
    bool applicationShouldOpenUntitledFile();
    // The same once the files being read (prints that waited for Foldwise) have opened as no
    // document.
    void openUntitledUnlessDocumentsOpen();
    // Nothing open and nothing on its way: without windows the process has nothing left to do.
    bool applicationShouldTerminateAfterLastWindowClosed() const;
    // No document, factory or welcome window is shown and nothing is on its way; open panels of
    // closed windows do not count.
    bool shouldTerminateNow() const;

    // Shown and made key; null while there is no welcome window.
    platform::Window *welcomeWindow();
    // The key window, else the first visible window, else the welcome window; null when none.
    platform::Window *windowForSheet();

    // Files opened from outside; relative paths are taken from the working folder.
    void openFiles(const QStringList &paths);
    // Dispatches the gathered files (the timer's end).
    void processFiles();
    // The answer to the question about several files: 1000 batch factory, 1001 documents, else
    // cancel.
    void chosenWindowsOrFactory(int returnCode, const QList<QUrl> &urls);
    // Files another program hands over: opened as documents at once, those that cannot be opened
    // told in one alert. A print kept for Foldwise is removed once open; its document saves into
    // the Documents folder. One that cannot be opened is set aside (VXKeptPrints::setAside), and
    // the alert says where.
    void openPDFService(const QList<QUrl> &urls);
    // Opens the prints that wait for Foldwise (VXKeptPrints), but for those in except; those that
    // cannot be opened are told in one alert.
    void openKeptPrints(const QStringList &except);
    // What a later launch of Foldwise hands over: its files, or, with none, the wish to see this
    // Foldwise, whose frontmost window comes to the front (the welcome window when none is shown);
    // or the wish to add the Foldwise printer, asked for on that window. What it names that cannot
    // be opened is told in one alert.
    void openRequested(VXSingleInstance::Request request, const QStringList &paths);

    Q_INVOKABLE void showWelcomeWindow(QObject *sender = nullptr);
    // An empty document.
    Q_INVOKABLE void openNewDocument(QObject *sender = nullptr);
    // The chosen files, each as a document. A panel that leaves no window shown brings the
    // welcome window back: without any window the process would end.
    Q_INVOKABLE void openDocument(QObject *sender = nullptr);
    // Closes the documents one after another, each asking about unsaved changes as its window's
    // close button does; a Cancel keeps that document and the rest open. readyToQuit once all
    // have closed.
    Q_INVOKABLE void terminate(QObject *sender = nullptr);
    // The batch factory's window; while there is none, the files chosen in the open panel take
    // the road of files put into the factory.
    Q_INVOKABLE void showBookletFactory(QObject *sender = nullptr);
    // The editor of the user's own picture frames.
    Q_INVOKABLE void showFrameBuilder(QObject *sender = nullptr);
    // Logged when there is no preferences window.
    Q_INVOKABLE void showPreferences(QObject *sender = nullptr);
    // The name, version and purpose of the program.
    Q_INVOKABLE void showAbout(QObject *sender = nullptr);
    Q_INVOKABLE void openHomePage(QObject *sender = nullptr);
    Q_INVOKABLE void openFacebook(QObject *sender = nullptr);
    Q_INVOKABLE void openTwitter(QObject *sender = nullptr);
    // The address in the sender's "webLink" property.
    Q_INVOKABLE void openWebLink(QObject *sender);
    Q_INVOKABLE void sendFeedback(QObject *sender = nullptr);
    // Opens the store page and stops the rate-us prompt for this version.
    Q_INVOKABLE void rateFoldwise(QObject *sender = nullptr);
    // Without an updater, tells the version and that updates come with the system's packages.
    Q_INVOKABLE void checkForUpdate(QObject *sender = nullptr);
    Q_INVOKABLE void addPDFService(QObject *sender = nullptr);
    // Opens the address in the user's browser; false (logged, and the user told with the address
    // to copy) when it cannot.
    static bool openWebLink(const QString &address);
    // Whether the path names something that exists (a symbolic link counts by what it points to),
    // and whether the user the process runs as may write it, as access(2) answers. A path no file
    // can have (empty, or holding a null character) is neither.
    static bool fileExists(const QString &path);
    static bool canGetAccessToFile(const QString &path);

    QString currentPrinterName() const override;
    platform::Window *factoryWindow() const override;
    VXPrintFactory *factory() const override;
    VXPreferencesWindow *preferences() const override;
    VXManualDuplexSetup *manualDuplexSetup() const override;

signals:
    // Once per dispatched batch.
    void replyToOpenOrPrint(int reply);
    void readyToQuit();

private:
    void lookForOldServiceWorkflows();
    // The key window, else the first visible window; null when none is shown.
    static platform::Window *shownWindowForSheet();
    // What follows the opening of one file of a request: the request's failures hold the file's
    // already when it did not open.
    using FileOpened = std::function<void(const QUrl &url, Document *document, VXOpenFailures &failures)>;
    // Each file as a document; opened follows for each as its opening ends. Once the last has
    // ended, those that could not be opened are told in one alert, then done follows with
    // whether all opened.
    void openAsDocuments(const QList<QUrl> &urls, const std::function<void(bool all)> &done = {}, const FileOpened &opened = {});
    // Answers the platform once a batch of opened files has opened.
    std::function<void(bool all)> replyOnceOpened();
    // Files chosen by the user for what follows; the welcome window comes back when none is left.
    void chooseFiles(const std::function<void(const QList<QUrl> &urls)> &chosen);
    // Runs the call once no file is being read for a document.
    void afterOpenings(const std::function<void()> &call);
    void tell(const QString &title, const QString &text);
    void closeNextDocumentThenQuit();
    static void tellCannotOpen(const QString &address);

    QPointer<VXDocumentController> m_documents;
    QList<QUrl> m_waitingURLs;
    QTimer m_waitingTimer;
    int m_openQuestions = 0;
    VXApplicationMover *m_mover = nullptr;
    VXSoftwareUpdater *m_updater = nullptr;
    VXWelcomeWindow *m_welcome = nullptr;
    VXPDFServiceInstaller *m_installer = nullptr;
    VXBookmarks *m_bookmarks = nullptr;
    std::unique_ptr<platform::MainMenu> m_mainMenu;
};
