#pragma once

#include "platform/ui/Window.h"

class QTextBrowser;

// The application's own window for its help pages, for a desktop that has no browser to open
// them in. Links between the pages stay in the window. GUI thread.
class VXHelpWindow : public platform::Window
{
    Q_OBJECT
public:
    static VXHelpWindow *sharedHelpWindow();
    // Opens the page of that name of the application's help book in the desktop's browser, or in
    // the shared window when the desktop has none; false (logged) when the book has no such page.
    static bool openHelpPage(const QString &anchor);

    // Shows the page (an HTML file) and brings the window to the front; false, logged, when the
    // page cannot be read.
    bool showPage(const QString &path);
    QString pageTitle() const;

private:
    VXHelpWindow();

    QTextBrowser *m_browser;
};
