#pragma once

#include "app/booklet/Document.h"
#include "app/booklet/VXControllingTask.h"

#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// One file of the batch factory. It reads the file away from the GUI thread when the file joins,
// and keeps what it read for a window-less document made only while it is needed (to print, to
// export) and let go afterwards, so that a long batch holds one document at a time; a run after
// the first reads the file again. It hands the document its settings; and follows its state from
// waiting (default, shared or individual settings) through processing to printed, exported or
// failed. Every print it is asked for ends with exactly one "kVXTaskPrintDoneNotification",
// whatever happened. GUI thread.
class VXTask : public VXControllingTask
{
    Q_OBJECT
    Q_PROPERTY(qint32 state READ state NOTIFY stateChanged)

public:
    enum State : qint32 {
        DefaultSettings = 0,
        SharedSettings = 1,
        IndividualSettings = 2,
        Processing = 3,
        Printed = 4,
        Exported = 5,
        Failed = 6,
    };

    static inline const QString PrintDoneNotification = QStringLiteral("kVXTaskPrintDoneNotification");
    static inline const QString RemoveNotification = QStringLiteral("kVXTaskRemoveNotification");

    explicit VXTask(const QUrl &url, QObject *parent = nullptr);
    ~VXTask() override;

    // The row text of a state ("Unknown" outside 0 to 6), not localized.
    static QString stateName(qint32 state);

    QUrl bookletURL() const;
    QString documentName() const;
    void setDocumentName(const QString &name);
    QString errorMessage() const;

    std::optional<QVariantMap> settings() const override;
    // Also moves a waiting task to the state its settings give.
    void setSettings(const std::optional<QVariantMap> &settings, bool forAll) override;
    // The factory's choice for the print-all under way.
    std::optional<platform::PrintInfo> batchPrintChoice() const override;
    void printChoiceMade(const platform::PrintInfo &chosen) override;

    qint32 state() const;
    void setState(qint32 state);
    // States 3 to 6.
    bool processed() const;
    // Back to waiting when set to false.
    void setProcessed(bool processed);
    void updateReadyState();

    // Makes the document when there is none, of what checkOpens read (read now when a run before
    // took it), then hands it the settings and takes control of it. Null, with the task failed,
    // when the file does not open as a booklet.
    Document *documentWithoutWindow();
    // Whether the file opens as a booklet, read away from the GUI thread and kept for the
    // document; checked is called on the GUI thread, unless the task goes first. A file that does
    // not open fails the task with the reason.
    void checkOpens(const std::function<void(bool opens)> &checked);
    // Opens the file in a document window whose settings come back to this task or the factory.
    void editSettings();
    // A task that is not waiting, or whose file does not open, only posts the print-done notice.
    void printDocumentOnPrinter(const QString &printerName, bool manual);
    // A waiting task only; an existing booklet file is replaced only when the user says so.
    void exportTo(const QUrl &folder);
    void exportBooklet();
    void removeTask();

signals:
    void stateChanged(qint32 state);

private:
    void fail(const QString &message);
    // False, with the task failed, when what was read is no booklet.
    bool opens(const Document::Contents &contents);
    void documentConnectionRemoved();
    void finishPrint();
    void postPrintDone();
    void releaseDocument();

    QUrl m_url;
    QUrl m_bookletURL;
    QString m_documentName;
    QString m_errorMessage;
    std::optional<QVariantMap> m_settings;
    bool m_settingsForAll = false;
    qint32 m_state = DefaultSettings;
    bool m_processed = false;
    std::optional<Document::Contents> m_contents;
    std::unique_ptr<Document, void (*)(Document *)> m_document;
    bool m_printing = false;
};
