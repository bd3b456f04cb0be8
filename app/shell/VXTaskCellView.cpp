#include "app/shell/VXTaskCellView.h"

#include "app/booklet/VXStyleKit.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXTask.h"
#include "app/shell/VXTaskStateBackgroundView.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Alert.h"
#include "platform/ui/FileViewer.h"
#include "platform/ui/InterfaceLoader.h"

#include <QAbstractButton>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct RowImages
{
    QImage edit, reset, reveal, info;
};

const RowImages &rowImages()
{
    static const RowImages images = [] {
        const platform::BundlePtr bundle = platform::Bundle::mainBundle();
        return RowImages{bundle->imageNamed(QStringLiteral("FactoryRow-Edit")), bundle->imageNamed(QStringLiteral("FactoryRow-Reset")),
                         bundle->imageNamed(QStringLiteral("FactoryRow-Reveal")), bundle->imageNamed(QStringLiteral("FactoryRow-Info"))};
    }();
    return images;
}

} // namespace

VXTaskCellView::VXTaskCellView(QWidget *parent)
    : platform::View(parent)
{
    platform::InterfaceLoader::registerClass<VXTaskStateBackgroundView>(QStringLiteral("VXTaskStateBackgroundView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (QWidget *content = platform::InterfaceLoader::load(QStringLiteral("VXTaskCellView"), this))
        layout->addWidget(content);
    setTask(nullptr);
}

void VXTaskCellView::setTask(VXTask *task)
{
    disconnect(m_stateBinding);
    m_task = task;
    if (task) {
        setState(task->state());
        m_stateBinding = connect(task, &VXTask::stateChanged, this, &VXTaskCellView::setState);
    } else {
        setState(-1);
    }
    if (m_documentNameTF)
        m_documentNameTF->setText(task ? task->documentName() : rqs::localized(QStringLiteral("Unknown")));
}

void VXTaskCellView::setState(qint32 state)
{
    m_state = state;
    const RowImages &images = rowImages();
    QImage left, right;
    QGradientStops gradient = VXStyleKit::factoryRowStateBkgGradientWaiting();
    switch (state) {
    case VXTask::DefaultSettings:
        right = images.edit;
        break;
    case VXTask::SharedSettings:
    case VXTask::IndividualSettings:
        left = images.reset;
        right = images.edit;
        break;
    case VXTask::Processing:
        break;
    case VXTask::Printed:
        left = images.reset;
        gradient = VXStyleKit::factoryRowStateBkgGradientSuccess();
        break;
    case VXTask::Exported:
        left = images.reset;
        right = images.reveal;
        gradient = VXStyleKit::factoryRowStateBkgGradientSuccess();
        break;
    case VXTask::Failed:
        right = images.info;
        gradient = VXStyleKit::factoryRowStateBkgGradientFailed();
        break;
    default:
        gradient = VXStyleKit::factoryRowStateBkgGradientFailed();
        break;
    }
    if (m_stateTF)
        m_stateTF->setText(rqs::localized(VXTask::stateName(state)));
    setLeftActionImage(left, right);
    if (m_stateBackground)
        m_stateBackground->setGradient(gradient);
    // A row being printed stays until its run is over.
    if (m_removeButton)
        m_removeButton->setEnabled(m_task && state != VXTask::Processing);
}

void VXTaskCellView::setLeftActionImage(const QImage &left, const QImage &right)
{
    for (const auto &[button, image] : {std::pair{m_leftButton, &left}, {m_rightButton, &right}}) {
        if (!button)
            continue;
        button->setIcon(QIcon(QPixmap::fromImage(*image)));
        button->setEnabled(!image->isNull());
        // Out of sight rather than greyed, as the row has no use for it in this state.
        button->setVisible(!image->isNull());
    }
}

void VXTaskCellView::leftAction(QObject *)
{
    if (!m_task)
        return;
    VXFactoryController *factory = VXFactoryController::sharedController();
    if (m_state == VXTask::IndividualSettings)
        m_task->setSettings(factory ? factory->factorySettings() : std::nullopt, true);
    else if (m_state == VXTask::SharedSettings)
        m_task->setSettings(std::nullopt, false);
    else
        m_task->setProcessed(false);
}

void VXTaskCellView::rightAction(QObject *)
{
    if (!m_task)
        return;
    if (m_state < VXTask::Processing)
        m_task->editSettings();
    else if (m_state == VXTask::Exported)
        platform::FileViewer::selectFile(m_task->bookletURL().toLocalFile());
    else if (m_state == VXTask::Failed)
        showError();
}

void VXTaskCellView::showError()
{
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("TaskFailedTitle")).replace(QLatin1String("%1"), m_task->documentName()));
    alert.setAlertStyle(platform::Alert::Style::Critical);
    alert.setInformativeText(m_task->errorMessage());
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    VXFactoryController *factory = VXFactoryController::sharedController();
    alert.beginSheetModalForWindow(factory ? factory->window() : nullptr, platform::Alert::Completion());
}

void VXTaskCellView::removeTask(QObject *)
{
    if (m_task)
        m_task->removeTask();
}

void VXTaskCellView::drawRect(const QRectF &) { VXStyleKit::drawFactoryRowBkgWithFrame(bounds()); }
