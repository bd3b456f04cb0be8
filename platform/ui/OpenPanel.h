#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>

class QFileDialog;

namespace platform {

class Window;

// Asks for existing files or folders to open (Qt's file dialog). Shown as a sheet on a window, or
// application-modal when there is none; the completion runs on a later turn of the main queue with
// OKButton and the chosen files in the dialog's order, or CancelButton and none. GUI thread.
class OpenPanel
{
public:
    static constexpr int CancelButton = 0;
    static constexpr int OKButton = 1;

    using Completion = std::function<void(int result, const QList<QUrl> &urls)>;
    // Stands in for the user: while one is set, the panel is not shown; the responder chooses in
    // the prepared dialog as the user would (selectFile) and returns OKButton or CancelButton.
    using Responder = std::function<int(QFileDialog &dialog)>;

    // Extensions without the point; empty allows every file.
    QStringList allowedFileTypes() const;
    void setAllowedFileTypes(const QStringList &types);
    // What the dialog's filter calls the allowed types, in front of their patterns.
    QString fileTypesName() const;
    void setFileTypesName(const QString &name);
    bool allowsMultipleSelection() const;
    void setAllowsMultipleSelection(bool allows);
    // Folders only when set; files otherwise.
    bool canChooseDirectories() const;
    void setCanChooseDirectories(bool chooses);
    // Where the panel starts; empty leaves it to the dialog.
    QUrl directoryURL() const;
    void setDirectoryURL(const QUrl &url);

    // The dialog's window title and its accept button's text; empty leaves Qt's.
    QString title() const;
    void setTitle(const QString &title);
    QString prompt() const;
    void setPrompt(const QString &prompt);

    void beginSheetModalForWindow(Window *window, Completion completion) const;

    static void setResponder(Responder responder);

private:
    QStringList m_allowedFileTypes;
    QString m_fileTypesName;
    bool m_allowsMultipleSelection = false;
    bool m_canChooseDirectories = false;
    QUrl m_directoryURL;
    QString m_title;
    QString m_prompt;
};

} // namespace platform
