#include "platform/ui/QtDialogParts.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QListView>
#include <QStandardItemModel>

namespace platform {

namespace {

const QString PagesPerSheetGroup = QStringLiteral("pagesPerSheetButtonGroup");

void hideGroupsIn(const QObject &dialog)
{
    for (QWidget *group : dialog.findChildren<QWidget *>(PagesPerSheetGroup))
        group->hide();
}

// Lives as a child of the dialog. The dialogs it opens are its children, made whole by the time
// they are polished, right before they show.
class PagesPerSheetHider : public QObject
{
public:
    explicit PagesPerSheetHider(QDialog &dialog)
        : QObject(&dialog)
    {
        dialog.installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            if (auto *opened = qobject_cast<QDialog *>(static_cast<QChildEvent *>(event)->child()))
                hideGroupsIn(*opened);
        }
        return false;
    }
};

} // namespace

bool withholdComboBoxRow(QComboBox &box, int row)
{
    auto *items = qobject_cast<QStandardItemModel *>(box.model());
    auto *list = qobject_cast<QListView *>(box.view());
    QStandardItem *item = items ? items->item(row) : nullptr;
    if (!item || !list)
        return false;
    list->setRowHidden(row, true);
    item->setEnabled(false);
    return true;
}

void hidePagesPerSheet(QDialog &dialog)
{
    hideGroupsIn(dialog);
    new PagesPerSheetHider(dialog);
}

} // namespace platform
