#include "app/shell/VXTask.h"

#include "app/booklet/Document.h"
#include "app/booklet/VXDocumentReading.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Alert.h"

#include <QDir>
#include <QFileInfo>

namespace {

void deleteDocumentLater(Document *document)
{
    if (document)
        document->deleteLater();
}

platform::NotificationCenter *center() { return platform::NotificationCenter::defaultCenter(); }

} // namespace

VXTask::VXTask(const QUrl &url, QObject *parent)
    : VXControllingTask(parent)
    , m_url(url)
    , m_document(nullptr, deleteDocumentLater)
{
    m_documentName = QFileInfo(url.toLocalFile()).completeBaseName();
    if (m_documentName.isEmpty())
        m_documentName = rqs::localized(QStringLiteral("Unknown"));
}

VXTask::~VXTask()
{
    center()->removeObserver(this);
    if (m_document)
        m_document->setControllingTask(nullptr);
}

QString VXTask::stateName(qint32 state)
{
    static const QStringList names{QStringLiteral("Default Settings"), QStringLiteral("Shared Settings"),
                                   QStringLiteral("Individual Settings"), QStringLiteral("Processing"),
                                   QStringLiteral("Printed"), QStringLiteral("Exported"), QStringLiteral("Failed")};
    return names.value(state, QStringLiteral("Unknown"));
}

QUrl VXTask::bookletURL() const { return m_bookletURL; }

QString VXTask::documentName() const { return m_documentName; }

void VXTask::setDocumentName(const QString &name) { m_documentName = name; }

QString VXTask::errorMessage() const { return m_errorMessage; }

std::optional<QVariantMap> VXTask::settings() const { return m_settings; }

void VXTask::setSettings(const std::optional<QVariantMap> &settings, bool forAll)
{
    m_settings = settings;
    m_settingsForAll = forAll;
    updateReadyState();
}

qint32 VXTask::state() const { return m_state; }

void VXTask::setState(qint32 state)
{
    m_state = state;
    m_processed = state >= Processing;
    emit stateChanged(state);
    if (VXFactoryController *factory = VXFactoryController::sharedController())
        factory->tasksStatesHaveChanged();
}

bool VXTask::processed() const { return m_processed; }

void VXTask::setProcessed(bool processed)
{
    const bool wasProcessed = std::exchange(m_processed, processed);
    if (wasProcessed && !processed)
        updateReadyState();
}

void VXTask::updateReadyState()
{
    if (!m_processed)
        setState(!m_settings ? DefaultSettings : m_settingsForAll ? SharedSettings : IndividualSettings);
}

void VXTask::fail(const QString &message)
{
    m_errorMessage = message;
    setState(Failed);
}

Document *VXTask::documentWithoutWindow()
{
    if (!m_document) {
        std::optional<Document::Contents> contents = std::exchange(m_contents, std::nullopt);
        if (!contents)
            contents = Document::readContents(m_url.toLocalFile(), false);
        if (!opens(*contents))
            return nullptr;
        m_document.reset(new Document);
        m_document->openWithContents(m_url, std::move(*contents));
    }
    m_document->setSettingsDictionary(m_settings);
    m_document->setControllingTask(this);
    return m_document.get();
}

void VXTask::checkOpens(const std::function<void(bool opens)> &checked)
{
    VXDocumentReading::start(m_url, false, this, [this, checked](Document::Contents contents) {
        const bool readable = opens(contents);
        if (readable)
            m_contents = std::move(contents);
        checked(readable);
    });
}

bool VXTask::opens(const Document::Contents &contents)
{
    if (contents.failure == Document::Contents::Failure::None)
        return true;
    // The reading logged why.
    fail(contents.failureText());
    return false;
}

void VXTask::releaseDocument()
{
    if (!m_document)
        return;
    m_document->setControllingTask(nullptr);
    m_document.reset();
}

void VXTask::editSettings()
{
    VXFactoryController *factory = VXFactoryController::sharedController();
    VXDocumentController *documents = factory ? factory->documentController() : nullptr;
    const QPointer<VXTask> self(this);
    const auto opened = [self](Document *document) {
        if (!self)
            return;
        // The reading logged why it did not open.
        if (!document)
            return;
        document->setSettingsDictionary(self->m_settings);
        document->setControllingTask(self);
    };
    if (documents)
        documents->openDocumentWithContentsOfURL(m_url, true, opened);
    else
        opened(nullptr);
}

// ---- Printing

std::optional<platform::PrintInfo> VXTask::batchPrintChoice() const
{
    const VXFactoryController *factory = VXFactoryController::sharedController();
    return factory ? factory->batchPrintChoice() : std::nullopt;
}

void VXTask::printChoiceMade(const platform::PrintInfo &chosen)
{
    if (VXFactoryController *factory = VXFactoryController::sharedController())
        factory->setBatchPrintChoice(chosen);
}

void VXTask::printDocumentOnPrinter(const QString &printerName, bool manual)
{
    Document *document = m_state < Processing ? documentWithoutWindow() : nullptr;
    if (!document) {
        platform::logInfo(QStringLiteral("\"%1\" is not printed, because it is %2").arg(m_documentName, stateName(m_state)));
        // Later, so that the queue moves on from its own turn rather than inside it.
        const QPointer<VXTask> self(this);
        platform::MainQueue::post([self] {
            if (self)
                self->postPrintDone();
        });
        return;
    }
    setState(Processing);
    m_printing = true;
    center()->addObserver(this, Document::DidPrintNotification, document, [this](const platform::Notification &) {
        setState(Printed);
    });
    center()->addObserver(this, Document::ConnectionRemovedNotification, document, [this](const platform::Notification &) {
        documentConnectionRemoved();
    });
    if (manual)
        document->printManualDuplexWithPrinter(printerName);
    else
        document->printAutomaticDuplex(printerName);
}

void VXTask::documentConnectionRemoved()
{
    if (!m_printing || (m_document && m_document->controllingTask() == this))
        return;
    m_printing = false;
    // A manual duplex run lets go of the task before it tells that it printed; that notice comes
    // right after this one, so the run's end is read once both are in.
    const QPointer<VXTask> self(this);
    platform::MainQueue::post([self] {
        if (self)
            self->finishPrint();
    });
}

void VXTask::finishPrint()
{
    center()->removeObserver(this);
    releaseDocument();
    if (m_state == Processing)
        setProcessed(false);
    postPrintDone();
}

void VXTask::postPrintDone() { center()->post(PrintDoneNotification, this); }

// ---- Export

void VXTask::exportTo(const QUrl &folder)
{
    if (m_state >= Processing)
        return;
    const QDir directory(folder.toLocalFile());
    const QString name = QStringLiteral("%1 - Booklet.pdf").arg(m_documentName);
    m_bookletURL = QUrl::fromLocalFile(directory.filePath(name));
    if (!QFileInfo::exists(m_bookletURL.toLocalFile())) {
        exportBooklet();
        return;
    }
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("OverwriteFileTitle")).replace(QLatin1String("%1"), name));
    alert.setInformativeText(rqs::localized(QStringLiteral("OverwriteFileText")).replace(QLatin1String("%1"), directory.dirName()));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Replace")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Cancel")));
    VXFactoryController *factory = VXFactoryController::sharedController();
    const QPointer<VXTask> self(this);
    alert.beginSheetModalForWindow(factory ? factory->window() : nullptr, [self](int returnCode) {
        if (self && returnCode == platform::Alert::FirstButtonReturn)
            self->exportBooklet();
    });
}

void VXTask::exportBooklet()
{
    if (m_state >= Processing || m_bookletURL.isEmpty())
        return;
    Document *document = documentWithoutWindow();
    if (!document)
        return;
    setState(Processing);
    QString failure;
    if (document->exportBookletToURL(m_bookletURL, &failure)) {
        setState(Exported);
    } else {
        // The row's state says that it failed; its alert says why.
        fail(failure.isEmpty() ? rqs::localized(QStringLiteral("ErrorWhileExportingDocument")) : failure);
    }
    releaseDocument();
}

void VXTask::removeTask() { center()->post(RemoveNotification, this); }
