#pragma once

#include <QDialog>

#include <functional>

namespace platform {

class Window;

// Runs a dialog the way every alert and panel of the application runs: as a sheet of a window, or
// application-modal when there is none. Its end is handled on a later turn of the main queue, never
// inside the closing dialog, so that the handler may start the next sheet or panel. GUI thread.
class DialogPresenter
{
public:
    // Receives the dialog, still alive, and its result; the dialog is deleted right after. A
    // dialog that went away with its window arrives as null with the result 0 (cancelled).
    using Completion = std::function<void(QDialog *dialog, int result)>;
    // Answers for the user without showing the dialog: edits it as the user would and returns
    // the result the dialog would finish with.
    using Responder = std::function<int(QDialog &dialog)>;

    // Takes ownership of the dialog. With a responder the dialog is never shown.
    static void present(QDialog *dialog, Window *window, const Responder &responder, Completion completion);
};

} // namespace platform
