#include "platform/ui/OpenPanel.h"

#include "platform/ui/DialogPresenter.h"

#include <QFileDialog>

namespace platform {

namespace {

OpenPanel::Responder &responder()
{
    static OpenPanel::Responder shared;
    return shared;
}

} // namespace

QStringList OpenPanel::allowedFileTypes() const { return m_allowedFileTypes; }

void OpenPanel::setAllowedFileTypes(const QStringList &types) { m_allowedFileTypes = types; }

bool OpenPanel::allowsMultipleSelection() const { return m_allowsMultipleSelection; }

void OpenPanel::setAllowsMultipleSelection(bool allows) { m_allowsMultipleSelection = allows; }

void OpenPanel::beginSheetModalForWindow(Window *window, Completion completion) const
{
    auto *dialog = new QFileDialog;
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(m_allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!m_allowedFileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString &type : m_allowedFileTypes)
            patterns << QStringLiteral("*.") + type;
        dialog->setNameFilter(patterns.join(QLatin1Char(' ')));
    }
    DialogPresenter::Responder answer;
    if (const Responder &stand = responder())
        answer = [stand](QDialog &shown) { return stand(static_cast<QFileDialog &>(shown)); };
    DialogPresenter::present(dialog, window, answer, [completion](QDialog *shown, int result) {
        const QList<QUrl> urls = shown ? static_cast<QFileDialog *>(shown)->selectedUrls() : QList<QUrl>();
        if (result != OKButton || urls.isEmpty())
            completion(CancelButton, {});
        else
            completion(OKButton, urls);
    });
}

void OpenPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
