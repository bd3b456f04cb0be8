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

    // Shows the page (an HTML file) and brings the window to the front; false, logged, when the
    // page cannot be read.
    bool showPage(const QString &path);
    QString pageTitle() const;

private:
    VXHelpWindow();

    QTextBrowser *m_browser;
};
