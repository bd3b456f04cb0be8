#include "platform/ui/DialogPresenter.h"

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Window.h"

#include <QPointer>

namespace platform {

namespace {

void finish(const QPointer<QDialog> &dialog, int result, const DialogPresenter::Completion &completion)
{
    completion(dialog.data(), dialog ? result : QDialog::Rejected);
    if (dialog)
        dialog->deleteLater();
}

} // namespace

void DialogPresenter::present(QDialog *dialog, Window *window, const Responder &responder, Completion completion)
{
    const QPointer<QDialog> guarded(dialog);
    if (responder) {
        const int result = responder(*dialog);
        MainQueue::post([guarded, result, completion] { finish(guarded, result, completion); });
        return;
    }
    if (window && window->beginSheet(dialog, [guarded, completion](int result) { finish(guarded, result, completion); }))
        return;
    dialog->setWindowModality(Qt::ApplicationModal);
    QObject::connect(dialog, &QDialog::finished, dialog, [guarded, completion](int result) {
        MainQueue::post([guarded, result, completion] { finish(guarded, result, completion); });
    });
    // open() would make it window-modal again.
    dialog->show();
}

} // namespace platform
