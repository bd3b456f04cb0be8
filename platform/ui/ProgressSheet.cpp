#include "platform/ui/ProgressSheet.h"

#include "platform/ui/Window.h"

#include <QApplication>
#include <QProgressDialog>

namespace platform {

ProgressSheet::ProgressSheet(Window *window, const QString &label)
{
    // Tools without widgets (the export harness) run without a bar.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    m_dialog = new QProgressDialog(window);
    m_dialog->setLabelText(label);
    m_dialog->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    m_dialog->setMinimumDuration(0);
    // Closed by its owner, so that it stays up until the last step has been taken.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
}

ProgressSheet::~ProgressSheet()
{
    if (m_dialog) {
        m_dialog->close();
        m_dialog->deleteLater();
    }
}

bool ProgressSheet::setProgress(int done, int count)
{
    // Gone with its window: the operation goes on without a bar.
    if (!m_dialog)
        return true;
    m_dialog->setMaximum(count);
    m_dialog->setValue(done);
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

} // namespace platform
