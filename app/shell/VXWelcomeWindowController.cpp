#include "app/shell/VXWelcomeWindowController.h"

#include "app/shell/AppDelegate.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"

VXWelcomeWindowController::VXWelcomeWindowController(AppDelegate &delegate)
    : m_delegate(delegate)
{
}

platform::Window *VXWelcomeWindowController::welcomeWindow() { return window(); }

QAbstractButton *VXWelcomeWindowController::checkbox() const { return m_checkbox; }

void VXWelcomeWindowController::setCheckbox(QAbstractButton *checkbox) { m_checkbox = checkbox; }

void VXWelcomeWindowController::openPDFFile(QObject *sender)
{
    forceCloseWindow(sender);
    m_delegate.openDocument(sender);
}

void VXWelcomeWindowController::newEmptyDocument(QObject *sender)
{
    forceCloseWindow(sender);
    m_delegate.openNewDocument(sender);
}

void VXWelcomeWindowController::showBookletFactory(QObject *sender) { m_delegate.showBookletFactory(sender); }

void VXWelcomeWindowController::addPDFService(QObject *sender) { m_delegate.addPDFService(sender); }

void VXWelcomeWindowController::windowDidLoad()
{
    if (m_versionTF)
        m_versionTF->setText(m_versionTF->text().arg(QSSystemInfo::appVersion()));
}
