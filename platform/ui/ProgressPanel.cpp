#include "platform/ui/ProgressPanel.h"

#include "platform/foundation/Progress.h"

#include <QApplication>
#include <QProgressDialog>

#include <cmath>

namespace platform {

namespace {

// Steps of the bar: a tenth of a percent.
constexpr int Steps = 1000;
// How often the bar follows the work once shown, in milliseconds.
constexpr int UpdateInterval = 100;

} // namespace

ProgressPanel::ProgressPanel(std::shared_ptr<Progress> progress, const QString &label, QObject *parent)
    : QObject(parent)
    , m_progress(std::move(progress))
    , m_label(label)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ProgressPanel::show);
    m_timer.start(ShowDelay);
}

ProgressPanel::~ProgressPanel() { close(); }

void ProgressPanel::close()
{
    m_timer.stop();
    if (m_dialog) {
        m_dialog->disconnect(this);
        m_dialog->close();
        m_dialog->deleteLater();
    }
}

void ProgressPanel::show()
{
    if (m_progress->isCancelled())
        return;
    m_dialog = new QProgressDialog(m_label, QProgressDialog::tr("Cancel"), 0, Steps);
    m_dialog->setWindowTitle(QApplication::applicationName());
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    // Closed and deleted by its owner; the timer of its own would show it again after a reset.
    m_dialog->setMinimumDuration(0);
    connect(m_dialog, &QProgressDialog::canceled, this, &ProgressPanel::cancel);
    // Escape rejects the dialog without a word of cancelling.
    connect(m_dialog, &QDialog::rejected, this, &ProgressPanel::cancel);
    update();
    m_dialog->show();
    m_timer.setSingleShot(false);
    disconnect(&m_timer, &QTimer::timeout, this, &ProgressPanel::show);
    connect(&m_timer, &QTimer::timeout, this, &ProgressPanel::update);
    m_timer.start(UpdateInterval);
}

void ProgressPanel::cancel()
{
    if (m_progress->isCancelled())
        return;
    m_timer.stop();
    m_progress->cancel();
    emit cancelled();
}

void ProgressPanel::update()
{
    if (!m_dialog)
        return;
    // Work whose end is not known is shown busy, never as a share of a guess.
    if (m_progress->totalUnitCount() <= 0) {
        m_dialog->setRange(0, 0);
        return;
    }
    m_dialog->setRange(0, Steps);
    m_dialog->setValue(int(std::lround(m_progress->fractionCompleted() * Steps)));
}

} // namespace platform
