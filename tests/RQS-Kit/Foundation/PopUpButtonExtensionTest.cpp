#include "RQS-Kit/Foundation/PopUpButtonExtension.h"

#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QStandardItemModel>

namespace {

QStringList texts(const QComboBox &popUp)
{
    QStringList list;
    for (int index = 0; index < popUp.count(); ++index)
        list.append(popUp.itemText(index));
    return list;
}

} // namespace

TEST(PopUpButtonExtension, CategoriesGroupTheEntriesThatFollowThemTitledThroughTheOverrideTable)
{
    QComboBox popUp;
    rqs::addEntries(&popUp, {"Linen-", "Linen White", "-", "Linen Grey", "Paper Rough"});

    // The category goes on past a separator; a plain entry closes it.
    EXPECT_EQ(texts(popUp), (QStringList{"Linen", " White Linen", QString(), " Grey Linen", "Paper Rough"}));
    EXPECT_FALSE(qobject_cast<const QStandardItemModel *>(popUp.model())->item(0)->isEnabled()) << "the heading";
    EXPECT_EQ(popUp.itemData(2, Qt::AccessibleDescriptionRole).toString(), "separator");

    // Entries are titled through the override table or with their category.
    QSLocalizeHelper::setLocalizedString("Frames-", "RQS-F");
    QSLocalizeHelper::setLocalizedString("Frames Gold", "RQS-F#001");
    QComboBox frames;
    rqs::addEntries(&frames, {"RQS-F", "RQS-F#001", "Frames"});
    // The last entry is not longer than the category.
    EXPECT_EQ(texts(frames), (QStringList{"Frames", " Gold Frames", "Frames"}));
    QSLocalizeHelper::setLocalizedString(QString(), "RQS-F");
    QSLocalizeHelper::setLocalizedString(QString(), "RQS-F#001");
}
