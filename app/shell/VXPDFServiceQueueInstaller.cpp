#include "app/shell/VXPDFServiceQueueInstaller.h"

#include "app/shell/AppDelegate.h"
#include "app/shell/VXCupsBackendInstall.h"
#include "app/window/VXHelpWindow.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PasswordPanel.h"

#include <QFileInfo>

namespace {

constexpr int OK = platform::Alert::FirstButtonReturn;
constexpr int SecondButton = platform::Alert::FirstButtonReturn + 1;

// Where the project will tell how to add the queue by hand.
const QString ManualInstallAddress = QStringLiteral("https://foldwise.example.org/help/pdf-service");
const QString HelpAnchor = QStringLiteral("HowTo-PDFServiceInstall");

QString queueName() { return rqs::localized(QStringLiteral("PDFServiceName")); }

void show(platform::Window *window, const QString &title, const QString &text, const QStringList &buttons, platform::Alert::Completion completion)
{
    platform::Alert alert;
    alert.setMessageText(title);
    alert.setInformativeText(text);
    for (const QString &button : buttons)
        alert.addButtonWithTitle(button);
    alert.beginSheetModalForWindow(window, std::move(completion));
}

} // namespace

VXPDFServiceQueueInstaller::VXPDFServiceQueueInstaller(AppDelegate &delegate, const QString &foldwisePath)
    : m_delegate(delegate)
    , m_foldwisePath(foldwisePath)
{
}

bool VXPDFServiceQueueInstaller::revealOldServiceWorkflow() { return false; }

bool VXPDFServiceQueueInstaller::isInstalling() const { return m_installing; }

void VXPDFServiceQueueInstaller::finish()
{
    m_installing = false;
    emit finished();
}

void VXPDFServiceQueueInstaller::addPDFService()
{
    m_installing = true;
    const QString text = rqs::localized(QStringLiteral("InstallServiceText"))
                             .arg(rqs::localized(QStringLiteral("InstallServiceAuto")));
    show(m_delegate.windowForSheet(), rqs::localized(QStringLiteral("InstallServiceTitle")), text,
         {rqs::localized(QStringLiteral("CreateThisUser")), rqs::localized(QStringLiteral("Cancel"))},
         [this](int returnCode) { installPDFServiceDidEnd(returnCode); });
}

void VXPDFServiceQueueInstaller::installPDFServiceDidEnd(int returnCode)
{
    if (returnCode != OK) {
        leaveAsItWas();
        return;
    }
    // After the alert has gone, so that the next one does not meet it.
    platform::MainQueue::post([this] { createLinkPreparationDidEnd(OK, queueName()); });
}

void VXPDFServiceQueueInstaller::createLinkPreparationDidEnd(int returnCode, const QString &name)
{
    if (returnCode != OK) {
        leaveAsItWas();
        return;
    }
    VXServiceQueue queue(name, m_foldwisePath);
    // The desktop's way: the right is asked for when the server wants it.
    queue.setCredentialsSource([name](const QString &) {
        return platform::PasswordPanel::ask(rqs::localized(QStringLiteral("ServiceAuthenticateText")).arg(name), QString());
    });
    QString error;
    switch (queue.state(&error)) {
    case VXServiceQueue::State::Missing: {
        const VXServiceQueue::Result added = add(queue);
        if (added.ok)
            createdLinkSuccess(name);
        else
            reportFailure(queue, added.forbidden, added.reason);
        break;
    }
    case VXServiceQueue::State::Current:
        tellAlreadyThere(name);
        break;
    case VXServiceQueue::State::Ours:
        removeThenCreate(queue);
        break;
    case VXServiceQueue::State::Foreign:
        askToReplace(queue);
        break;
    case VXServiceQueue::State::Unknown:
        reportFailure(queue, false, error);
        break;
    }
}

VXServiceQueue::Result VXPDFServiceQueueInstaller::add(const VXServiceQueue &queue)
{
    m_backendToInstall.clear();
    VXServiceQueue::Result added = queue.add();
    const QString shipped = VXCupsBackendInstall::shippedWith(m_foldwisePath);
    if (added.ok || !added.notPossible || shipped.isEmpty() || QFileInfo::exists(VXCupsBackendInstall::destination()))
        return added;
    platform::logInfo(QStringLiteral("CUPS has no Foldwise backend; installing %1 as %2").arg(shipped, VXCupsBackendInstall::destination()));
    if (VXCupsBackendInstall::installAsAdministrator(shipped))
        return queue.add();
    m_backendToInstall = shipped;
    added.forbidden = true;
    return added;
}

void VXPDFServiceQueueInstaller::askToReplace(const VXServiceQueue &queue)
{
    const QString name = queue.name();
    show(m_delegate.windowForSheet(), rqs::localized(QStringLiteral("ReplaceServiceTitle")).arg(name),
         rqs::localized(QStringLiteral("ReplaceServiceText")),
         {rqs::localized(QStringLiteral("Replace")), rqs::localized(QStringLiteral("Cancel"))},
         [this, queue](int returnCode) {
             if (returnCode == OK)
                 removeThenCreate(queue);
             else
                 leaveAsItWas();
         });
}

void VXPDFServiceQueueInstaller::removeThenCreate(const VXServiceQueue &queue)
{
    const VXServiceQueue::Result removed = queue.remove();
    if (removed.ok) {
        createLinkPreparationDidEnd(OK, queue.name());
        return;
    }
    // A user who may not remove the printer cannot do so in the printer settings either: an
    // administrator's command replaces it as it adds it.
    if (removed.forbidden) {
        m_backendToInstall.clear();
        reportFailure(queue, true, removed.reason);
        return;
    }
    platform::logError(QStringLiteral("Could not remove the printer %1 to overwrite, because \"%2\"").arg(queue.name(), removed.reason));
    const QString name = queue.name();
    // "OK" tries again: the user may have removed the printer meanwhile.
    show(m_delegate.windowForSheet(), rqs::localized(QStringLiteral("OverwriteFailedTitle")).arg(name),
         rqs::localized(QStringLiteral("OverwriteFailedText")).arg(removed.reason),
         {rqs::localized(QStringLiteral("OK")), rqs::localized(QStringLiteral("Cancel"))},
         [this, name](int returnCode) { createLinkPreparationDidEnd(returnCode, name); });
}

void VXPDFServiceQueueInstaller::reportFailure(const VXServiceQueue &queue, bool forbidden, const QString &reason)
{
    platform::logError(QStringLiteral("Could not add the printer %1, because \"%2\"").arg(queue.name(), reason));
    const QString command = m_backendToInstall.isEmpty()
        ? queue.administratorCommand()
        : VXCupsBackendInstall::administratorCommand(m_backendToInstall) + QStringLiteral(" && ") + queue.administratorCommand();
    const QString text = forbidden ? rqs::localized(QStringLiteral("ServiceRightsText")).arg(command)
                                   : rqs::localized(QStringLiteral("ServiceFailedText")).arg(reason);
    show(m_delegate.windowForSheet(), rqs::localized(QStringLiteral("ServiceFailedTitle")).arg(queue.name()),
         text, {rqs::localized(QStringLiteral("OK")), rqs::localized(QStringLiteral("More Information"))},
         [this](int returnCode) {
             if (returnCode == SecondButton)
                 AppDelegate::openWebLink(ManualInstallAddress);
             finish();
         });
}

void VXPDFServiceQueueInstaller::createdLinkSuccess(const QString &name)
{
    platform::logInfo(QStringLiteral("Added the printer %1, which opens what is printed to it in Foldwise").arg(name));
    show(m_delegate.windowForSheet(), rqs::localized(QStringLiteral("ServiceSuccessTitle")),
         rqs::localized(QStringLiteral("ServiceSuccessText")).arg(name),
         {rqs::localized(QStringLiteral("Ok")), rqs::localized(QStringLiteral("More Information"))},
         [this](int returnCode) { successMessageDismissed(returnCode); });
}

// Replacing it with itself would need the right to administer printers, for nothing.
void VXPDFServiceQueueInstaller::tellAlreadyThere(const QString &name)
{
    platform::logInfo(QStringLiteral("The PDF Service printer was left as it was: %1 is there already as Foldwise adds it").arg(name));
    show(m_delegate.windowForSheet(), rqs::localized(QStringLiteral("ServiceThereTitle")).arg(name),
         rqs::localized(QStringLiteral("ServiceThereText")),
         {rqs::localized(QStringLiteral("OK")), rqs::localized(QStringLiteral("More Information"))},
         [this](int returnCode) { successMessageDismissed(returnCode); });
}

void VXPDFServiceQueueInstaller::successMessageDismissed(int returnCode)
{
    finish();
    if (returnCode == SecondButton)
        VXHelpWindow::openHelpPage(HelpAnchor);
}

void VXPDFServiceQueueInstaller::leaveAsItWas()
{
    platform::logInfo(QStringLiteral("The PDF Service printer was left as it was"));
    finish();
}
