#include "app/shell/VXFactoryController.h"

#include "app/booklet/VXOpenFailures.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/VXTask.h"
#include "app/shell/VXTaskCellView.h"
#include "app/shell/VXTaskListModel.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QStandardPaths>

namespace {

VXTask *taskOf(const platform::Notification &notification) { return qobject_cast<VXTask *>(notification.object); }

// What a document opens: PDFs and the pictures Qt reads.
QStringList openableTypes()
{
    QStringList types{QStringLiteral("pdf")};
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        types << QString::fromLatin1(format);
    return types;
}

} // namespace

VXFactoryController::VXFactoryController(VXDocumentController *documents, QObject *parent)
    : VXFactory(parent)
    , m_documents(documents)
    , m_model(new VXTaskListModel([this] { return m_tasks; }, [this](const QList<QUrl> &urls) { addURLs(urls); }, this))
{
    platform::NotificationCenter *center = platform::NotificationCenter::defaultCenter();
    center->addObserver(this, VXTask::RemoveNotification, nullptr, [this](const platform::Notification &notification) {
        if (VXTask *task = taskOf(notification))
            removeTask(task);
    });
    center->addObserver(this, VXTask::PrintDoneNotification, nullptr, [this](const platform::Notification &notification) {
        printNextTask(taskOf(notification));
    });
    setSharedFactory(this);
}

VXFactoryController::~VXFactoryController()
{
    platform::NotificationCenter::defaultCenter()->removeObserver(this);
    if (m_printButton)
        VXPrintHelper::sharedHelper()->deregisterPrintButton(m_printButton);
    delete m_window;
}

VXFactoryController *VXFactoryController::sharedController() { return qobject_cast<VXFactoryController *>(sharedFactory()); }

VXDocumentController *VXFactoryController::documentController() const { return m_documents; }

// ---- The window

platform::Window *VXFactoryController::window()
{
    if (!m_window) {
        QWidget *root = platform::InterfaceLoader::load(QStringLiteral("VXFactoryController"), this);
        if (!m_window) {
            delete root;
            platform::logError(QStringLiteral("Could not load the batch factory's window"));
        }
    }
    return m_window;
}

platform::Window *VXFactoryController::loadedWindow() const { return m_window; }

void VXFactoryController::setWindow(platform::Window *window)
{
    m_window = window;
    if (!window)
        return;
    window->setWindowTitle(rqs::localized(QStringLiteral("Batch Factory")));
    window->setWindowController(this);
}

QListView *VXFactoryController::tableView() const { return m_tableView; }

void VXFactoryController::setTableView(QListView *tableView)
{
    m_tableView = tableView;
    if (!tableView)
        return;
    tableView->setModel(m_model);
    tableView->setSelectionMode(QAbstractItemView::NoSelection);
    tableView->setDragDropMode(QAbstractItemView::DropOnly);
    tableView->setAcceptDrops(true);
    tableView->setUniformItemSizes(true);
    reloadTable();
}

QAbstractButton *VXFactoryController::printButton() const { return m_printButton; }

void VXFactoryController::setPrintButton(QAbstractButton *button)
{
    VXPrintHelper *router = VXPrintHelper::sharedHelper();
    if (m_printButton)
        router->deregisterPrintButton(m_printButton);
    m_printButton = button;
    router->registerPrintButton(button);
}

void VXFactoryController::reloadTable()
{
    m_model->reload();
    if (!m_tableView)
        return;
    for (int row = 0; row < m_tasks.size(); ++row) {
        auto *cell = new VXTaskCellView;
        cell->setTask(m_tasks.at(row));
        m_tableView->setIndexWidget(m_model->index(row), cell);
    }
}

void VXFactoryController::showWindow(QObject *)
{
    if (platform::Window *shown = window())
        shown->makeKeyAndOrderFront(this);
}

void VXFactoryController::showProgress(const QString &text)
{
    if (m_progressLabel)
        m_progressLabel->setText(text);
}

// ---- The tasks

QList<VXTask *> VXFactoryController::tasks() const { return m_tasks; }

QString VXFactoryController::uniqueName(const QString &name) const
{
    QString candidate = name;
    for (qint64 counter = 1;;) {
        const bool taken = std::any_of(m_tasks.cbegin(), m_tasks.cend(), [&](VXTask *task) { return task->documentName() == candidate; });
        if (!taken)
            return candidate;
        candidate = QStringLiteral("%1 %2").arg(name).arg(++counter);
    }
}

void VXFactoryController::addURLs(const QList<QUrl> &urls)
{
    const auto batch = std::make_shared<ArrivingBatch>();
    batch->left = urls.size();
    for (const QUrl &given : urls) {
        const QFileInfo file(given.toLocalFile());
        const QUrl url = file.isSymLink() ? QUrl::fromLocalFile(file.symLinkTarget()) : given;
        auto *task = new VXTask(url, this);
        m_arrivals.push_back({task, file.filePath(), std::nullopt, batch});
        task->checkOpens([this, task](bool opens) {
            const auto arrival = std::find_if(m_arrivals.begin(), m_arrivals.end(), [task](const Arrival &each) { return each.task == task; });
            if (arrival == m_arrivals.end())
                return;
            arrival->opens = opens;
            takeArrivals();
        });
    }
    showWindow();
}

void VXFactoryController::takeArrivals()
{
    bool added = false;
    QList<VXOpenFailures> refusals;
    while (!m_arrivals.empty() && m_arrivals.front().opens) {
        const Arrival arrival = m_arrivals.front();
        m_arrivals.erase(m_arrivals.begin());
        --arrival.batch->left;
        if (*arrival.opens) {
            arrival.task->setDocumentName(uniqueName(arrival.task->documentName()));
            arrival.task->setSettings(m_factorySettings, true);
            m_tasks << arrival.task;
            added = true;
            platform::logInfo(QStringLiteral("Added \"%1\" to the batch factory").arg(arrival.task->documentName()));
        } else {
            arrival.batch->refused.add(arrival.path, arrival.task->errorMessage());
            arrival.task->deleteLater();
        }
        if (arrival.batch->left == 0 && !arrival.batch->refused.isEmpty())
            refusals << arrival.batch->refused;
    }
    if (added) {
        tasksStatesHaveChanged();
        reloadTable();
    }
    for (const VXOpenFailures &refused : std::as_const(refusals))
        tellRefused(refused);
}

void VXFactoryController::tellRefused(const VXOpenFailures &refused)
{
    // Each file's reading logged why it was refused.
    refused.tell(rqs::localized(QStringLiteral("FactoryRefusedTitle")), window());
}

void VXFactoryController::removeTask(VXTask *task)
{
    if (!m_tasks.removeAll(task))
        return;
    m_printJobs.removeAll(task);
    reloadTable();
    tasksStatesHaveChanged();
    forget(task);
}

void VXFactoryController::forget(VXTask *task)
{
    if (task != m_printing)
        task->deleteLater();
}

void VXFactoryController::cleanAllFinished(QObject *)
{
    const bool finishedOnly = m_hasCleanableTasks;
    for (qsizetype row = m_tasks.size() - 1; row >= 0; --row) {
        VXTask *task = m_tasks.at(row);
        if (!finishedOnly || task->state() >= VXTask::Processing) {
            m_tasks.removeAt(row);
            m_printJobs.removeAll(task);
            forget(task);
        }
    }
    reloadTable();
    tasksStatesHaveChanged();
}

void VXFactoryController::openURLs(QObject *)
{
    platform::OpenPanel panel;
    panel.setAllowsMultipleSelection(true);
    panel.setAllowedFileTypes(openableTypes());
    panel.setFileTypesName(rqs::localized(QStringLiteral("OpenableFilesName")));
    const QPointer<VXFactoryController> self(this);
    panel.beginSheetModalForWindow(window(), [self](int result, const QList<QUrl> &urls) {
        if (self && result == platform::OpenPanel::OKButton)
            self->addURLs(urls);
    });
}

// ---- Settings and states

std::optional<QVariantMap> VXFactoryController::factorySettings() const { return m_factorySettings; }

void VXFactoryController::setFactorySettings(const std::optional<QVariantMap> &settings)
{
    m_factorySettings = settings;
    for (VXTask *task : std::as_const(m_tasks))
        task->setSettings(settings, true);
    tasksStatesHaveChanged();
}

void VXFactoryController::resetSettings(QObject *) { setFactorySettings(std::nullopt); }

void VXFactoryController::tasksStatesHaveChanged()
{
    m_hasSettings = m_factorySettings.has_value();
    m_hasWaitingTasks = false;
    m_hasCleanableTasks = false;
    for (VXTask *task : std::as_const(m_tasks)) {
        m_hasSettings = m_hasSettings || task->state() == VXTask::IndividualSettings;
        m_hasWaitingTasks = m_hasWaitingTasks || task->state() < VXTask::Processing;
        m_hasCleanableTasks = m_hasCleanableTasks || task->state() >= VXTask::Printed;
    }
    emit statesChanged();
}

bool VXFactoryController::hasTasks() const { return !m_tasks.isEmpty(); }

bool VXFactoryController::hasWaitingTasks() const { return m_hasWaitingTasks; }

bool VXFactoryController::hasCleanableTasks() const { return m_hasCleanableTasks; }

bool VXFactoryController::hasSettings() const { return m_hasSettings; }

QString VXFactoryController::clearButtonName() const
{
    return rqs::localized(m_hasCleanableTasks ? QStringLiteral("Clear All Finished") : QStringLiteral("Clear All"));
}

// ---- Printing

platform::PrintInfo &VXFactoryController::printInfo() { return m_printInfo; }

void VXFactoryController::checkPrint(QObject *) { VXPrintHelper::sharedHelper()->printDocument(nullptr); }

void VXFactoryController::printOnPrinter(const QString &printerName, bool manual)
{
    m_printerName = printerName.isEmpty() ? m_printInfo.printerName() : printerName;
    m_printManual = manual;
    for (VXTask *task : std::as_const(m_tasks)) {
        if (task->state() < VXTask::Processing && !m_printJobs.contains(task))
            m_printJobs << task;
    }
    if (!m_printing)
        printNextTask(nullptr);
}

std::optional<platform::PrintInfo> VXFactoryController::batchPrintChoice() const { return m_batchPrintChoice; }

void VXFactoryController::setBatchPrintChoice(const platform::PrintInfo &chosen)
{
    if (m_printing)
        m_batchPrintChoice = chosen;
}

void VXFactoryController::printNextTask(VXTask *finished)
{
    if (finished && finished == m_printing) {
        m_printing = nullptr;
        if (!m_tasks.contains(finished))
            finished->deleteLater();
    }
    if (m_printing)
        return;
    m_printJobs.removeAll(nullptr);
    if (m_printJobs.isEmpty()) {
        // The next print-all asks again.
        m_batchPrintChoice.reset();
        showProgress({});
        return;
    }
    m_printing = m_printJobs.takeFirst();
    showProgress(rqs::localized(QStringLiteral("FactoryPrintProgress"))
                     .arg(m_printing->documentName(), QString::number(m_printJobs.size())));
    m_printing->printDocumentOnPrinter(m_printerName, m_printManual);
}

// ---- Export

void VXFactoryController::exportAll(QObject *)
{
    platform::OpenPanel panel;
    panel.setTitle(rqs::localized(QStringLiteral("ExportAllPanelTitle")));
    panel.setPrompt(rqs::localized(QStringLiteral("ExportAllPanelPrompt")));
    panel.setCanChooseDirectories(true);
    const QString stored = platform::UserDefaults::standardUserDefaults()->stringForKey(ExportFolderKey);
    panel.setDirectoryURL(QUrl::fromLocalFile(stored.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : stored));
    const QPointer<VXFactoryController> self(this);
    panel.beginSheetModalForWindow(window(), [self](int result, const QList<QUrl> &urls) {
        if (!self || result != platform::OpenPanel::OKButton)
            return;
        QList<QPointer<VXTask>> queue;
        for (VXTask *task : std::as_const(self->m_tasks))
            queue << task;
        self->exportNext(queue, urls.first(), int(queue.size()));
    });
}

// One task per turn of the main queue, the next posted once this one is done: the window keeps
// answering between them, and the page steps of one export never run the next export inside it.
void VXFactoryController::exportNext(QList<QPointer<VXTask>> queue, const QUrl &folder, int count)
{
    if (queue.isEmpty()) {
        showProgress({});
        return;
    }
    const QPointer<VXFactoryController> self(this);
    platform::MainQueue::post([self, queue, folder, count]() mutable {
        if (!self)
            return;
        const QPointer<VXTask> task = queue.takeFirst();
        if (task) {
            const int left = int(queue.size());
            self->showProgress(rqs::localized(QStringLiteral("FactoryExportProgress"))
                                   .arg(task->documentName(), QString::number(count - left), QString::number(count), QString::number(left)));
            task->exportTo(folder);
        }
        self->exportNext(queue, folder, count);
    });
}
