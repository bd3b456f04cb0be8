#include "RQS-Kit/Foundation/PopUpButtonExtension.h"

#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QStandardItemModel>

namespace {

struct Row { QString text; bool enabled; bool separator; friend bool operator==(const Row &, const Row &) = default; };

std::ostream &operator<<(std::ostream &stream, const Row &row)
{
    return stream << '"' << row.text.toStdString() << '"' << (row.enabled ? "" : " disabled") << (row.separator ? " separator" : "");
}

QList<Row> rows(const QComboBox &popUp)
{
    const auto *model = qobject_cast<const QStandardItemModel *>(popUp.model());
    QList<Row> list;
    for (int index = 0; index < popUp.count(); ++index) {
        const bool separator = popUp.itemData(index, Qt::AccessibleDescriptionRole).toString() == "separator";
        list.append({popUp.itemText(index), model->item(index)->isEnabled(), separator});
    }
    return list;
}

} // namespace

TEST(PopUpButtonExtension, CategoriesGroupTheEntriesThatFollowThem)
{
    QComboBox popUp;
    rqs::addEntries(&popUp, {"Linen-", "Linen White", "-", "Linen Grey", "Paper Rough"});

    const QList<Row> expected{
        {"Linen", false, false},
        {" White Linen", true, false},
        {QString(), false, true},
        {" Grey Linen", true, false}, // the category goes on past a separator
        {"Paper Rough", true, false}, // a plain entry closes the category
    };
    EXPECT_EQ(rows(popUp), expected);
}

TEST(PopUpButtonExtension, EntriesAreTitledThroughTheOverrideTableOrWithTheirCategory)
{
    QSLocalizeHelper::setLocalizedString("Frames-", "RQS-F");
    QSLocalizeHelper::setLocalizedString("Frames Gold", "RQS-F#001");
    QComboBox popUp;
    rqs::addEntries(&popUp, {"RQS-F", "RQS-F#001", "Frames"});
    EXPECT_EQ(popUp.itemText(1), " Gold Frames");
    EXPECT_EQ(popUp.itemText(2), "Frames") << "not longer than the category";
    QSLocalizeHelper::setLocalizedString(QString(), "RQS-F");
    QSLocalizeHelper::setLocalizedString(QString(), "RQS-F#001");
}
