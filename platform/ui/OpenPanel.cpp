#include "platform/ui/OpenPanel.h"

#include "platform/ui/DialogPresenter.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>

namespace platform {

namespace {

OpenPanel::Responder &responder()
{
    static OpenPanel::Responder shared;
    return shared;
}

// Qt's dialog answers with the rows selected in its list, whenever there are any: a typed name
// that the filter hides has no row, and of several names typed one after the other one may lose
// its row's selection as the next is typed. The file name field holds every name the user chose,
// typed or clicked, and Qt reads them from there itself once no row is selected.
QList<QUrl> chosenFiles(QFileDialog &dialog)
{
    const auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    const auto *list = dialog.findChild<QAbstractItemView *>(QStringLiteral("listView"));
    if (dialog.fileMode() != QFileDialog::Directory && field && !field->text().isEmpty() && list && list->selectionModel())
        list->selectionModel()->clear();
    return dialog.selectedUrls();
}

} // namespace

QStringList OpenPanel::allowedFileTypes() const { return m_allowedFileTypes; }

void OpenPanel::setAllowedFileTypes(const QStringList &types) { m_allowedFileTypes = types; }

QString OpenPanel::fileTypesName() const { return m_fileTypesName; }

void OpenPanel::setFileTypesName(const QString &name) { m_fileTypesName = name; }

bool OpenPanel::allowsMultipleSelection() const { return m_allowsMultipleSelection; }

void OpenPanel::setAllowsMultipleSelection(bool allows) { m_allowsMultipleSelection = allows; }

bool OpenPanel::canChooseDirectories() const { return m_canChooseDirectories; }

void OpenPanel::setCanChooseDirectories(bool chooses) { m_canChooseDirectories = chooses; }

QUrl OpenPanel::directoryURL() const { return m_directoryURL; }

void OpenPanel::setDirectoryURL(const QUrl &url) { m_directoryURL = url; }

QString OpenPanel::title() const { return m_title; }

void OpenPanel::setTitle(const QString &title) { m_title = title; }

QString OpenPanel::prompt() const { return m_prompt; }

void OpenPanel::setPrompt(const QString &prompt) { m_prompt = prompt; }

void OpenPanel::beginSheetModalForWindow(Window *window, Completion completion) const
{
    auto *dialog = new QFileDialog;
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(m_canChooseDirectories ? QFileDialog::Directory
                        : m_allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (m_canChooseDirectories)
        dialog->setOption(QFileDialog::ShowDirsOnly);
    if (!m_directoryURL.isEmpty())
        dialog->setDirectoryUrl(m_directoryURL);
    if (!m_allowedFileTypes.isEmpty() && !m_canChooseDirectories) {
        QStringList patterns;
        for (const QString &type : m_allowedFileTypes)
            patterns << QStringLiteral("*.") + type;
        const QString joined = patterns.join(QLatin1Char(' '));
        dialog->setNameFilter(m_fileTypesName.isEmpty() ? joined : QStringLiteral("%1 (%2)").arg(m_fileTypesName, joined));
    }
    if (!m_title.isEmpty())
        dialog->setWindowTitle(m_title);
    if (!m_prompt.isEmpty())
        dialog->setLabelText(QFileDialog::Accept, m_prompt);
    DialogPresenter::Responder answer;
    if (const Responder &stand = responder())
        answer = [stand](QDialog &shown) { return stand(static_cast<QFileDialog &>(shown)); };
    DialogPresenter::present(dialog, window, answer, [completion](QDialog *shown, int result) {
        const QList<QUrl> urls = shown ? chosenFiles(*static_cast<QFileDialog *>(shown)) : QList<QUrl>();
        if (result != OKButton || urls.isEmpty())
            completion(CancelButton, {});
        else
            completion(OKButton, urls);
    });
}

void OpenPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
