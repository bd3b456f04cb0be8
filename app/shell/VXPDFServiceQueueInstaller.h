#pragma once

#include "app/shell/VXPDFServiceInstaller.h"

#include "app/shell/VXServiceQueue.h"

#include <QObject>
#include <QString>

class AppDelegate;

// Puts Foldwise into every program's print dialog as a CUPS queue named by the localized
// "PDFServiceName" (see VXServiceQueue). Each step runs when the alert before it ends; the
// application's sheet window carries the alerts. Our queue as it would be added stays as it is;
// an older one of ours is replaced, and one that Foldwise did not make only when the user says
// so. GUI thread.
class VXPDFServiceQueueInstaller : public QObject, public VXPDFServiceInstaller
{
    Q_OBJECT
public:
    // The queue starts foldwisePath when a job comes while no Foldwise runs.
    VXPDFServiceQueueInstaller(AppDelegate &delegate, const QString &foldwisePath);

    // No earlier release installed a service on Linux.
    bool revealOldServiceWorkflow() override;
    void addPDFService() override;
    bool isInstalling() const override;

    // 1000 installs, after the alert has closed; anything else leaves everything as it was.
    void installPDFServiceDidEnd(int returnCode);
    // With 1000: clears the way for the queue (our own old one goes, a foreign one only after
    // asking), then adds it. Anything else ends the installer.
    void createLinkPreparationDidEnd(int returnCode, const QString &queueName);
    void createdLinkSuccess(const QString &queueName);
    // Our queue is there already as add() would make it: it stays, and the user is told so.
    void tellAlreadyThere(const QString &queueName);
    // 1001 opens the help on installing the service.
    void successMessageDismissed(int returnCode);

signals:
    // The user has answered the last alert.
    void finished();

private:
    void finish();
    void askToReplace(const VXServiceQueue &queue);
    void removeThenCreate(const VXServiceQueue &queue);
    // Adds the queue; when CUPS has no Foldwise backend, installs the one that came with this
    // Foldwise first, with an administrator's consent.
    VXServiceQueue::Result add(const VXServiceQueue &queue);
    void reportFailure(const VXServiceQueue &queue, bool forbidden, const QString &reason);
    void leaveAsItWas();

    AppDelegate &m_delegate;
    QString m_foldwisePath;
    bool m_installing = false;
    // The backend that still has to go where CUPS runs it; empty while CUPS has one.
    QString m_backendToInstall;
};
