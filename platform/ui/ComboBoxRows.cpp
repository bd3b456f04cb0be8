#include "platform/ui/ComboBoxRows.h"

#include <QComboBox>
#include <QListView>
#include <QStandardItemModel>

namespace platform {

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

} // namespace platform
