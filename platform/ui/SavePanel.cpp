#include "platform/ui/SavePanel.h"

#include "platform/ui/DialogPresenter.h"

#include <QFileDialog>
#include <QFileInfo>

namespace platform {

namespace {

SavePanel::Responder &responder()
{
    static SavePanel::Responder shared;
    return shared;
}

} // namespace

QStringList SavePanel::allowedFileTypes() const { return m_allowedFileTypes; }

void SavePanel::setAllowedFileTypes(const QStringList &types) { m_allowedFileTypes = types; }

QString SavePanel::nameFieldStringValue() const { return m_nameFieldStringValue; }

void SavePanel::setNameFieldStringValue(const QString &name) { m_nameFieldStringValue = name; }

QUrl SavePanel::directoryURL() const { return m_directoryURL; }

void SavePanel::setDirectoryURL(const QUrl &url) { m_directoryURL = url; }

QUrl SavePanel::withAllowedExtension(const QUrl &url) const
{
    if (m_allowedFileTypes.isEmpty() || url.isEmpty())
        return url;
    const QString suffix = QFileInfo(url.toLocalFile()).suffix();
    if (m_allowedFileTypes.contains(suffix, Qt::CaseInsensitive))
        return url;
    return QUrl::fromLocalFile(url.toLocalFile() + QLatin1Char('.') + m_allowedFileTypes.first());
}

QString SavePanel::title() const { return m_title; }

void SavePanel::setTitle(const QString &title) { m_title = title; }

QString SavePanel::prompt() const { return m_prompt; }

void SavePanel::setPrompt(const QString &prompt) { m_prompt = prompt; }

void SavePanel::beginSheetModalForWindow(Window *window, Completion completion) const
{
    auto *dialog = new QFileDialog;
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (!m_allowedFileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString &type : m_allowedFileTypes)
            patterns << QStringLiteral("*.") + type;
        dialog->setNameFilter(patterns.join(QLatin1Char(' ')));
        dialog->setDefaultSuffix(m_allowedFileTypes.first());
    }
    if (m_directoryURL.isLocalFile())
        dialog->setDirectory(m_directoryURL.toLocalFile());
    dialog->selectFile(m_nameFieldStringValue);

    if (!m_title.isEmpty())
        dialog->setWindowTitle(m_title);
    if (!m_prompt.isEmpty())
        dialog->setLabelText(QFileDialog::Accept, m_prompt);
    DialogPresenter::Responder answer;
    if (const Responder &stand = responder())
        answer = [stand](QDialog &shown) { return stand(static_cast<QFileDialog &>(shown)); };
    const SavePanel panel = *this;
    DialogPresenter::present(dialog, window, answer, [panel, completion](QDialog *shown, int result) {
        const QList<QUrl> urls = shown ? static_cast<QFileDialog *>(shown)->selectedUrls() : QList<QUrl>();
        if (result != OKButton || urls.isEmpty() || !urls.first().isLocalFile())
            completion(CancelButton, QUrl());
        else
            completion(OKButton, panel.withAllowedExtension(urls.first()));
    });
}

void SavePanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
