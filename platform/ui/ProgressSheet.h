#pragma once

#include <QPointer>
#include <QString>

class QProgressDialog;

namespace platform {

class Window;

// A progress bar over a window (application-modal without one) for a long operation that runs
// in steps on the GUI thread: each step lets the event loop run, so the window keeps drawing
// and the user may cancel between two steps. Shown from the first step on, closed when it goes.
// GUI thread.
class ProgressSheet
{
public:
    ProgressSheet(Window *window, const QString &label);
    ~ProgressSheet();
    ProgressSheet(const ProgressSheet &) = delete;
    ProgressSheet &operator=(const ProgressSheet &) = delete;

    // done of count steps; false once the user cancelled.
    bool setProgress(int done, int count);

private:
    QPointer<QProgressDialog> m_dialog;
};

} // namespace platform
