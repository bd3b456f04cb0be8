#include "app/window/VXHelpWindow.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

VXHelpWindow *VXHelpWindow::sharedHelpWindow()
{
    static VXHelpWindow *shared = new VXHelpWindow;
    return shared;
}

bool VXHelpWindow::openHelpPage(const QString &anchor)
{
    const platform::BundlePtr bundle = platform::Bundle::mainBundle();
    const QString book = bundle->objectForInfoDictionaryKey(QStringLiteral("CFBundleHelpBookName")).toString();
    const QString page = book.isEmpty() ? QString() : bundle->pathForResource(anchor, QStringLiteral("html"), book);
    if (page.isEmpty()) {
        platform::logWarning(QStringLiteral("No help on \"%1\" to open").arg(anchor));
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(page)) || sharedHelpWindow()->showPage(page);
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
