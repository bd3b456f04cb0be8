#pragma once

#include "app/booklet/VXFactory.h"
#include "app/booklet/VXOpenFailures.h"
#include "app/printing/VXPrintFactory.h"
#include "platform/printing/PrintInfo.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListView>

#include <QList>
#include <QPointer>
#include <QUrl>

class VXDocumentController;
class VXTask;
class VXTaskListModel;

// The batch factory: one task per file in a table, files taken from drops, the open panel and the
// application's open events, shared booklet settings for every task, and printing or exporting
// every waiting task one after another while the window shows which one and how many are left.
// Its window comes from "VXFactoryController.ui" the first time it is asked for. Print-all keeps
// one queue in which a task stands once; removing a task takes it out of the queue; the queue
// moves on with every task's print-done notice. The process's one factory is the shared
// VXFactory. GUI thread.
class VXFactoryController : public VXFactory, public VXPrintFactory
{
    Q_OBJECT
    Q_PROPERTY(platform::Window *window READ loadedWindow WRITE setWindow)
    Q_PROPERTY(QListView *tableView READ tableView WRITE setTableView)
    Q_PROPERTY(QAbstractButton *printButton READ printButton WRITE setPrintButton)
    Q_PROPERTY(QLabel *progressLabel MEMBER m_progressLabel)
    Q_PROPERTY(bool hasTasks READ hasTasks NOTIFY statesChanged)
    Q_PROPERTY(bool hasWaitingTasks READ hasWaitingTasks NOTIFY statesChanged)
    Q_PROPERTY(bool hasCleanableTasks READ hasCleanableTasks NOTIFY statesChanged)
    Q_PROPERTY(bool hasSettings READ hasSettings NOTIFY statesChanged)
    Q_PROPERTY(QString clearButtonName READ clearButtonName NOTIFY statesChanged)

public:
    // The key of the folder export-all starts in; nothing writes it.
    static inline const QString ExportFolderKey = QStringLiteral("ExportFolder");

    // Records itself as the shared factory for as long as it lives.
    explicit VXFactoryController(VXDocumentController *documents, QObject *parent = nullptr);
    ~VXFactoryController() override;

    // The shared factory, or null.
    static VXFactoryController *sharedController();

    // Where a task's settings are edited in a window.
    VXDocumentController *documentController() const;
    // Loaded when first asked for.
    platform::Window *window();
    void setWindow(platform::Window *window);
    QListView *tableView() const;
    void setTableView(QListView *tableView);
    QAbstractButton *printButton() const override;
    void setPrintButton(QAbstractButton *button);

    QList<VXTask *> tasks() const;
    // One task per file that opens as a booklet, named uniquely; the user is told which files
    // were refused. The window comes to the front at once; the files are read away from the GUI
    // thread and join the tasks in the order given, each once it and those before it are read.
    void addURLs(const QList<QUrl> &urls);

    std::optional<QVariantMap> factorySettings() const;
    void setFactorySettings(const std::optional<QVariantMap> &settings) override;
    void tasksStatesHaveChanged();
    // The printer and settings chosen once for the print-all under way; forgotten when it ends.
    std::optional<platform::PrintInfo> batchPrintChoice() const;
    void setBatchPrintChoice(const platform::PrintInfo &chosen);
    bool hasTasks() const;
    bool hasWaitingTasks() const;
    bool hasCleanableTasks() const;
    bool hasSettings() const;
    QString clearButtonName() const;

    // The print router's choices for the factory's prints stay here.
    platform::PrintInfo &printInfo() override;
    // Queues every waiting task not queued yet; an empty name prints on the print info's printer.
    void printOnPrinter(const QString &printerName, bool manual) override;
    // Takes the task out of the table and the print queue; a task being printed goes once its
    // run is over.
    void removeTask(VXTask *task);

    Q_INVOKABLE void showWindow(QObject *sender = nullptr);
    Q_INVOKABLE void openURLs(QObject *sender = nullptr);
    Q_INVOKABLE void resetSettings(QObject *sender = nullptr);
    Q_INVOKABLE void exportAll(QObject *sender = nullptr);
    Q_INVOKABLE void checkPrint(QObject *sender = nullptr);
    Q_INVOKABLE void cleanAllFinished(QObject *sender = nullptr);

signals:
    void statesChanged();

private:
    platform::Window *loadedWindow() const;
    void reloadTable();
    void printNextTask(VXTask *finished);
    void exportNext(QList<QPointer<VXTask>> queue, const QUrl &folder, int count);
    void tellRefused(const VXOpenFailures &refused);
    void showProgress(const QString &text);
    void forget(VXTask *task);
    QString uniqueName(const QString &name) const;
    // Files join as tasks, in the order given, once they and those before them are read.
    void takeArrivals();

    // The files of one addURLs.
    struct ArrivingBatch
    {
        qsizetype left = 0;
        VXOpenFailures refused;
    };
    // A file given, with its task, until it is known whether it opens.
    struct Arrival
    {
        VXTask *task;
        QString path;
        std::optional<bool> opens;
        std::shared_ptr<ArrivingBatch> batch;
    };

    VXDocumentController *m_documents;
    QList<VXTask *> m_tasks;
    std::vector<Arrival> m_arrivals;
    QList<QPointer<VXTask>> m_printJobs;
    QPointer<VXTask> m_printing;
    QString m_printerName;
    bool m_printManual = false;
    std::optional<platform::PrintInfo> m_batchPrintChoice;
    bool m_hasWaitingTasks = false;
    bool m_hasCleanableTasks = false;
    bool m_hasSettings = false;
    platform::PrintInfo m_printInfo;
    std::optional<QVariantMap> m_factorySettings;
    QPointer<platform::Window> m_window;
    QPointer<QListView> m_tableView;
    QPointer<QAbstractButton> m_printButton;
    QLabel *m_progressLabel = nullptr;
    VXTaskListModel *m_model;
};
