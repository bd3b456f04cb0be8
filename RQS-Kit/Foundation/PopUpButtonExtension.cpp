#include "RQS-Kit/Foundation/PopUpButtonExtension.h"

#include "RQS-Kit/Foundation/QSCategoryItemDelegate.h"
#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include <QComboBox>
#include <QStandardItemModel>

namespace rqs {

namespace {

void addHeading(QComboBox *popUp, const QString &category)
{
    popUp->addItem(category);
    // A heading answers no choice; the combo box's own model lets rows be switched off.
    if (auto *model = qobject_cast<QStandardItemModel *>(popUp->model()))
        model->item(popUp->count() - 1)->setEnabled(false);
}

// Grey categories and indented rows need the category delegate; other rows draw as before with it.
void useCategoryDelegate(QComboBox *popUp)
{
    if (!qobject_cast<QSCategoryItemDelegate *>(popUp->itemDelegate()))
        popUp->setItemDelegate(new QSCategoryItemDelegate(popUp));
}

} // namespace

void addEntries(QComboBox *popUp, const QStringList &entries)
{
    if (!popUp)
        return;
    QString category;
    for (const QString &entry : entries) {
        const QString title = QSLocalizeHelper::localizedString(entry);
        if (entry == QStringLiteral("-")) {
            popUp->insertSeparator(popUp->count());
        } else if (title.endsWith(QLatin1Char('-'))) {
            category = title.chopped(1);
            addHeading(popUp, category);
        } else if (!category.isEmpty() && title.size() > category.size() && title.startsWith(category)) {
            addEntryWithTitle(popUp, title, category);
            popUp->setItemData(popUp->count() - 1, 1, QSCategoryItemDelegate::IndentationRole);
        } else {
            popUp->addItem(title);
            category.clear();
        }
    }
}

void addEntryWithTitle(QComboBox *popUp, const QString &title, const QString &category)
{
    if (!popUp)
        return;
    popUp->addItem(title);
    if (category.isEmpty())
        return;
    popUp->setItemData(popUp->count() - 1, category, QSCategoryItemDelegate::CategoryRole);
    useCategoryDelegate(popUp);
}

} // namespace rqs
