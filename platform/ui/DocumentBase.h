#pragma once

#include "platform/ui/UndoManager.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace platform {

class Window;

// What a document of the application is beneath its own content: the file it was read from and
// the type it was read as, its windows, its undo manager, saving and the check before closing.
// A document works the same without any window (the batch factory's documents have none).
//
// Nothing is ever written but on a save call: there is no autosave. The file a document was
// opened from is its source and is never written over; the first Save asks for a new file, which
// becomes the document's own, and later Saves write there. The document counts as edited while
// its undo manager is away from the saved state. GUI thread.
class DocumentBase : public QObject
{
    Q_OBJECT
public:
    enum class SaveOperation {
        Save,   // the document's own file, which it keeps
        SaveAs, // a new file, which becomes the document's file
        SaveTo, // a copy; the document keeps its file
    };
    using Completion = std::function<void(bool succeeded)>;

    explicit DocumentBase(QObject *parent = nullptr);
    ~DocumentBase() override;

    // The content of the file; the type is the one the caller determined. False (logged), with the
    // document as it was, when the file cannot be read as a document; reason then says why, in a
    // sentence the user reads.
    virtual bool readFromURL(const QUrl &url, const QString &type, QString *reason) = 0;
    // False (logged) when nothing was written; reason then says why, in the system's words.
    virtual bool writeToURL(const QUrl &url, const QString &type, QString *reason) = 0;
    // Types that writeToURL writes, each also the extension of its files; the first is the one
    // a document of another type is saved as.
    virtual QStringList writableTypes() const = 0;

    // Reads the file and, when that succeeds, takes it as the document's source file; reason as
    // readFromURL gives it.
    bool openURL(const QUrl &url, const QString &type, QString *reason = nullptr);

    QUrl fileURL() const;
    // The file as the document's source, which Save will not write over.
    void setFileURL(const QUrl &url);
    // True once the document has saved itself into its file.
    bool ownsFile() const;
    QString fileType() const;
    void setFileType(const QString &type);
    // Where the save panels start: the source file's folder, unless another is set for a source
    // kept where nobody looks (a print handed over by another program).
    QString folderForSaving() const;
    void setFolderForSaving(const QString &folder);
    // The file's name, or "Untitled" for a document without a file.
    QString displayName() const;

    // False (logged) for a type it cannot write, for the source file and when writing fails;
    // reason then says why.
    bool saveToURL(const QUrl &url, const QString &type, SaveOperation operation, QString *reason = nullptr);
    // The user's Save: the document's own file; otherwise the save panel asks for a new file of
    // the first writable type, beside the source and never under its name. A failed save is
    // told, naming the file and the reason.
    void saveDocument(Completion completion);
    // The user's Save As: the save panel, then a save to the chosen file, told as Save's.
    void saveDocumentAs(Completion completion);
    // After the user confirms, reads the file again, forgetting the changes and their undo.
    // Does nothing without a file or without changes. A file that cannot be read is told, and the
    // document stays as it is.
    void revertDocumentToSaved(Completion completion);

    bool isDocumentEdited() const;
    // Edited also marks a change that cannot be undone; not edited takes the present state as
    // the saved one.
    void setDocumentEdited(bool edited);

    UndoManager *undoManager();

    // The windows showing the document, in the order they were added; they belong to the caller.
    void addWindow(Window *window);
    void removeWindow(Window *window);
    QList<Window *> windows() const;
    // The live document that shows the window, or null.
    static DocumentBase *documentForWindow(const QWidget *window);
    // Why nothing was written to the file, for an alert: the file and the reason, and that a file
    // of that name stays as it was where there is one.
    static QString notWrittenText(const QUrl &url, const QString &reason);
    // The window sheets of the document go on: the last one added, or null.
    virtual Window *windowForSheet() const;
    // Makes the document's windows when it has none and brings them to the front. A document
    // without windows of its own does nothing.
    virtual void showWindows();

    // The check before closing: an edited document asks whether to save first. The completion
    // runs on a later turn of the main queue.
    virtual void canClose(Completion completion);
    // Closes the windows and emits didClose; the document goes on existing for its owner.
    virtual void close();
    // Closing as the window's close button does: the check, then close when it allows.
    void performClose();

signals:
    void didClose();
    void editedChanged(bool edited);
    // The file, and with it the display name, changed.
    void fileURLChanged();
    // The content was read again from the file.
    void reverted();

protected:
    // The file whose content the document now holds, read some other way than by openURL, taken
    // as its source as openURL takes it.
    void openedURL(const QUrl &url, const QString &type);

private:
    void takeFile(const QUrl &url, const QString &type, bool owned);
    // Reverting once the user confirmed; a file that cannot be read is told.
    void readAgain(const Completion &completion);
    // The alert that says the document was not reverted and why; the completion gets false.
    void tellRevertFailure(const QString &text, const Completion &completion);
    // The alert that says what was not written where and why; the completion gets false.
    void tellSaveFailure(const QUrl &url, const QString &reason, const Completion &completion);
    void announceEdited();
    QString proposedName() const;

    QUrl m_fileURL;
    QString m_fileType;
    bool m_ownsFile = false;
    QString m_folderForSaving;
    bool m_edited = false;
    bool m_announcedEdited = false;
    UndoManager m_undoManager;
    QList<QPointer<Window>> m_windows;
};

} // namespace platform
