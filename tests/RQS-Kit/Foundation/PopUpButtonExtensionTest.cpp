#include "RQS-Kit/Foundation/PopUpButtonExtension.h"

#include "RQS-Kit/Foundation/QSCategoryItemDelegate.h"
#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
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

    // The category goes on past a separator; a plain entry closes it. Each entry keeps its whole
    // name, as a list of the same entries shows it.
    EXPECT_EQ(texts(popUp), (QStringList{"Linen", "Linen White", QString(), "Linen Grey", "Paper Rough"}));
    EXPECT_FALSE(qobject_cast<const QStandardItemModel *>(popUp.model())->item(0)->isEnabled()) << "the heading";
    EXPECT_EQ(popUp.itemData(2, Qt::AccessibleDescriptionRole).toString(), "separator");

    // Entries are titled through the override table or with their category.
    QSLocalizeHelper::setLocalizedString("Frames-", "RQS-F");
    QSLocalizeHelper::setLocalizedString("Frames Gold", "RQS-F#001");
    QComboBox frames;
    rqs::addEntries(&frames, {"RQS-F", "RQS-F#001", "Frames"});
    // The last entry is not longer than the category.
    EXPECT_EQ(texts(frames), (QStringList{"Frames", "Frames Gold", "Frames"}));
    QSLocalizeHelper::setLocalizedString(QString(), "RQS-F");
    QSLocalizeHelper::setLocalizedString(QString(), "RQS-F#001");
}

TEST(PopUpButtonExtension, EntriesOfACategoryAreIndentedWithTheirCategoryInLightGreyInFront)
{
    QComboBox popUp;
    rqs::addEntries(&popUp, {"Linen-", "Linen White", "Paper"});
    EXPECT_EQ(popUp.itemData(1, QSCategoryItemDelegate::IndentationRole).toInt(), 1);
    EXPECT_EQ(popUp.itemData(2, QSCategoryItemDelegate::IndentationRole).toInt(), 0);

    QImage row(240, 24, QImage::Format_RGB32);
    row.fill(Qt::white);
    QStyleOptionViewItem option;
    option.initFrom(popUp.view());
    option.rect = row.rect();
    option.state = QStyle::State_Enabled;
    option.palette.setColor(QPalette::Text, Qt::black);
    {
        QPainter painter(&row);
        popUp.itemDelegate()->paint(&painter, option, popUp.model()->index(1, 0));
    }
    // Ink by column: the darkest grey level drawn there, 255 for none.
    QList<int> darkest(row.width(), 255);
    for (int x = 0; x < row.width(); ++x)
        for (int y = 0; y < row.height(); ++y)
            darkest[x] = std::min(darkest[x], qGray(row.pixel(x, y)));
    const auto firstInk = std::find_if(darkest.cbegin(), darkest.cend(), [](int level) { return level < 250; });
    const auto lastInk = std::find_if(darkest.crbegin(), darkest.crend(), [](int level) { return level < 250; });
    ASSERT_NE(firstInk, darkest.cend());
    EXPECT_GE(firstInk - darkest.cbegin(), QSCategoryItemDelegate::IndentPerLevel);
    EXPECT_GE(*firstInk, qGray(QColor(Qt::lightGray).rgb()) - 10) << "the category, in front, in light grey";
    EXPECT_LT(*lastInk, 100) << "the rest of the name in the text colour";
}
