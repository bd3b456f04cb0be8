#include "RQS-Kit/Controls/QSListView.h"
#include "RQS-Kit/Controls/QSOpenableListEntryView.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewUndo.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

namespace {

// What the list's client hears of the selection and of removals, by row title.
struct SelectionClient : QObject, QSListViewDelegate
{
    bool canOpen = true;
    QStringList heard;
    static QString name(const QSListEntryView *entry) { return entry ? entry->title() : QStringLiteral("none"); }
    void listViewDidSelectEntry(QSListView *, QSListEntryView *entry) override { heard << "selected " + name(entry); }
    void listViewDidRemoveEntry(QSListView *, QSListEntryView *entry) override { heard << "removed " + name(entry); }
    bool listViewCanOpenEntry(QSListView *, QSListEntryView *entry) override
    {
        heard << "may open " + name(entry);
        return canOpen;
    }
};

// A shown list of three openable rows, A at the bottom, laid out without animation.
class ListSelection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::FrameAnimation::setDefaultDuration(0);
        window.resize(349, 300);
        list = new QSListView(&window);
        list->setGeometry(0, 0, 349, 300);
        list->setDelegate(&client);
        for (const char *title : {"A", "B", "C"}) {
            auto *row = new QSOpenableListEntryView;
            row->setTitle(QString::fromLatin1(title));
            list->addListEntry(row);
        }
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        settle();
        client.heard.clear();
    }
    void TearDown() override { platform::FrameAnimation::setDefaultDuration(0.25); }

    void settle()
    {
        list->updateListLayout(QSListView::Immediate);
        QCoreApplication::processEvents();
    }
    // A click on the row's header, where a user clicks to open it.
    void click(QSListEntryView *entry)
    {
        QSRowView *header = static_cast<QSOpenableListEntryView *>(entry)->rowView();
        QTest::mouseClick(header, Qt::LeftButton, {}, header->rect().center());
        settle();
    }
    QSListEntryView *row(qsizetype index) const { return list->entries().at(index); }

    QWidget window;
    QSListView *list = nullptr;
    SelectionClient client;
};

} // namespace

TEST_F(ListSelection, AClickSelectsARowAndASecondClickOnItDeselectsIt)
{
    click(row(1));
    EXPECT_EQ(list->selectedEntry(), row(1));
    EXPECT_EQ(list->selectedIndex(), 1);
    EXPECT_TRUE(row(1)->selected());
    EXPECT_EQ(row(1)->state(), 2) << "open";
    click(row(2));
    EXPECT_EQ(list->selectedIndex(), 2);
    EXPECT_FALSE(row(1)->selected()) << "one row at a time";
    click(row(2));
    EXPECT_EQ(list->selectedEntry(), nullptr);
    EXPECT_EQ(list->selectedIndex(), -1);
    EXPECT_EQ(row(2)->state(), 0) << "closed again";
    EXPECT_EQ(client.heard, QStringList({"may open B", "selected B", "may open C", "selected C", "may open C", "selected none"}));
}

TEST_F(ListSelection, AClientThatLetsNoRowOpenKeepsTheSelectionAsItIs)
{
    click(row(0));
    client.canOpen = false;
    client.heard.clear();
    click(row(2));
    click(row(0));
    EXPECT_EQ(list->selectedEntry(), row(0)) << "neither another row nor the selected one's second click changes it";
    EXPECT_EQ(client.heard, QStringList({"may open C", "may open A"}));
}

TEST_F(ListSelection, RemovingTheSelectedRowDeselectsItFirstAndUndoBringsItBackUnselected)
{
    click(row(1));
    client.heard.clear();
    QSListEntryView *removed = row(1);
    ASSERT_TRUE(list->removeListEntryAtIndex(1));
    settle();
    EXPECT_EQ(client.heard, QStringList({"selected none", "removed B"}));
    EXPECT_EQ(list->selectedIndex(), -1);
    EXPECT_FALSE(removed->selected());

    platform::undoManagerForView(list)->undo();
    settle();
    ASSERT_EQ(list->entries().size(), 3);
    EXPECT_EQ(row(1), removed);
    EXPECT_EQ(list->selectedIndex(), -1);
    click(row(1));
    EXPECT_EQ(list->selectedEntry(), removed) << "and it can be selected again";
}

// A row names itself in logs by what it is and its title.
TEST(ListEntries, ARowsDescriptionNamesItsClassAndTitle)
{
    QSOpenableListEntryView row;
    row.setTitle(QStringLiteral("Drop shadow"));
    const QString description = row.description();
    EXPECT_TRUE(description.startsWith(QStringLiteral("QSOpenableListEntryView(0x"))) << description.toStdString();
    EXPECT_TRUE(description.endsWith(QStringLiteral(": Drop shadow"))) << description.toStdString();
}
