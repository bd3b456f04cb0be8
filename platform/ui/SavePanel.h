#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QFileDialog;

namespace platform {

class Window;

// Asks where to save a file (Qt's file dialog). Shown as a sheet on a window, or
// application-modal when there is none; the completion runs on a later turn of the main queue with
// OKButton and the chosen file, or CancelButton and an empty URL. GUI thread.
class SavePanel
{
public:
    static constexpr int CancelButton = 0;
    static constexpr int OKButton = 1;

    using Completion = std::function<void(int result, const QUrl &url)>;
    // Stands in for the user: while one is set, the panel is not shown; the responder chooses in
    // the prepared dialog as the user would (selectFile) and returns OKButton or CancelButton.
    using Responder = std::function<int(QFileDialog &dialog)>;

    // Extensions without the point; a chosen name without one of them gets the first.
    QStringList allowedFileTypes() const;
    void setAllowedFileTypes(const QStringList &types);
    QString nameFieldStringValue() const;
    void setNameFieldStringValue(const QString &name);
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
    QUrl withAllowedExtension(const QUrl &url) const;

    QStringList m_allowedFileTypes;
    QString m_nameFieldStringValue;
    QUrl m_directoryURL;
    QString m_title;
    QString m_prompt;
};

} // namespace platform
