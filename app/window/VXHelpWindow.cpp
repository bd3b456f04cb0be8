#include "app/window/VXHelpWindow.h"

#include "platform/foundation/Log.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

VXHelpWindow *VXHelpWindow::sharedHelpWindow()
{
    static VXHelpWindow *shared = new VXHelpWindow;
    return shared;
}

VXHelpWindow::VXHelpWindow()
    : m_browser(new QTextBrowser(this))
{
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(true);
    setCentralWidget(m_browser);
    resize(560, 640);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { setWindowTitle(pageTitle()); });
}

bool VXHelpWindow::showPage(const QString &path)
{
    if (!QFileInfo(path).isReadable()) {
        platform::logWarning(QStringLiteral("Could not read the help page %1").arg(path));
        return false;
    }
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    setWindowTitle(pageTitle());
    makeKeyAndOrderFront(nullptr);
    return true;
}

QString VXHelpWindow::pageTitle() const { return m_browser->documentTitle(); }
