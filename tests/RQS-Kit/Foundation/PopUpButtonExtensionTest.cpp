#include "RQS-Kit/Foundation/PopUpButtonExtension.h"

#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QStandardItemModel>

namespace {

struct Row
{
    QString text;
    bool enabled;
    bool separator;
    friend bool operator==(const Row &, const Row &) = default;
};

std::ostream &operator<<(std::ostream &stream, const Row &row)
{
    return stream << '"' << row.text.toStdString() << '"' << (row.enabled ? "" : " disabled") << (row.separator ? " separator" : "");
}

QList<Row> rows(const QComboBox &popUp)
{
    const auto *model = qobject_cast<const QStandardItemModel *>(popUp.model());
    QList<Row> list;
    for (int index = 0; index < popUp.count(); ++index) {
        const bool separator = popUp.itemData(index, Qt::AccessibleDescriptionRole).toString() == QStringLiteral("separator");
        list.append({popUp.itemText(index), model->item(index)->isEnabled(), separator});
    }
    return list;
}

} // namespace

TEST(PopUpButtonExtension, CategoriesGroupTheEntriesThatFollowThem)
{
    QComboBox popUp;

    rqs::addEntries(&popUp, {QStringLiteral("Linen-"), QStringLiteral("Linen White"), QStringLiteral("-"),
                             QStringLiteral("Linen Grey"), QStringLiteral("Paper"), QStringLiteral("Paper Rough")});

    const QList<Row> expected{
        {QStringLiteral("Linen"), false, false},
        {QStringLiteral(" White Linen"), true, false},
        {QString(), false, true},
        {QStringLiteral(" Grey Linen"), true, false}, // the category goes on past a separator
        {QStringLiteral("Paper"), true, false},
        {QStringLiteral("Paper Rough"), true, false}, // a plain entry closed the category
    };
    EXPECT_EQ(rows(popUp), expected);
}

TEST(PopUpButtonExtension, EntriesAreTitledThroughTheOverrideTable)
{
    QSLocalizeHelper::setLocalizedString(QStringLiteral("Frames-"), QStringLiteral("RQS-F"));
    QSLocalizeHelper::setLocalizedString(QStringLiteral("Frames Gold"), QStringLiteral("RQS-F#001"));
    QComboBox popUp;

    rqs::addEntries(&popUp, {QStringLiteral("RQS-F"), QStringLiteral("RQS-F#001"), QStringLiteral("Frames")});

    const QList<Row> expected{
        {QStringLiteral("Frames"), false, false},
        {QStringLiteral(" Gold Frames"), true, false},
        {QStringLiteral("Frames"), true, false}, // not longer than the category
    };
    EXPECT_EQ(rows(popUp), expected);
    QSLocalizeHelper::setLocalizedString(QString(), QStringLiteral("RQS-F"));
    QSLocalizeHelper::setLocalizedString(QString(), QStringLiteral("RQS-F#001"));
}

TEST(PopUpButtonExtension, AnEntryWithTitleAndCategory)
{
    QComboBox popUp;

    rqs::addEntryWithTitle(&popUp, QStringLiteral("Gold"));
    rqs::addEntryWithTitle(&popUp, QStringLiteral("Gold"), QStringLiteral("Frames"));

    EXPECT_EQ(popUp.itemText(0), QStringLiteral("Gold"));
    EXPECT_EQ(popUp.itemText(1), QStringLiteral("Gold Frames"));
}
