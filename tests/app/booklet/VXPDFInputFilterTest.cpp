#include "NumberedPages.h"

#include "platform/foundation/Log.h"

#include <QPushButton>

#include <gtest/gtest.h>

TEST(VXPDFInputFilter, PadsToAMultipleOfFourWithTheSharedBlankPage)
{
    const std::pair<int, const char *> cases[] = {
        {0, "X X X X -"}, {1, "1 X X X -"}, {4, "1 2 3 4 -"}, {5, "1 2 3 4 5 X X X -"}, {9, "1 2 3 4 5 6 7 8 9 X X X -"}};
    for (const auto &[pages, list] : cases) {
        NumberedPages doc(pages);
        EXPECT_EQ(doc.list(doc.input), list);
        for (int i = 0; i < pages; ++i)
            EXPECT_EQ(doc.input.indexForPage(doc.pages[i]), quint64(i));
        for (const VXPagePtr &stranger : {VXPage::emptyPage(), std::make_shared<VXPage>(), VXPagePtr()})
            EXPECT_EQ(doc.input.indexForPage(stranger), VXFilter::NotFound) << pages;
    }
}

TEST(VXPDFInputFilter, AddButtonStaysOutOfThePageOperations)
{
    NumberedPages doc(5);
    QPushButton button;
    ASSERT_TRUE(doc.input.setAddButton(&button));
    EXPECT_EQ(doc.input.allPages(), doc.pages);
    EXPECT_EQ(doc.list(doc.input), "1 2 3 4 5 X X X -");

    const VXPagePtr first = std::make_shared<VXPage>();
    ASSERT_TRUE(doc.input.insertPage(first, 0));
    EXPECT_EQ(doc.input[0], first);
    EXPECT_EQ(doc.input.indexForPage(doc.pages[0]), 1u);
    doc.input.removeAllPages();
    EXPECT_EQ(doc.input.addButton(), &button);
    EXPECT_EQ(doc.input.count(), 4u);

    // A missing button is refused and the old one kept; a replaced or destroyed one is forgotten.
    platform::LogCapture log;
    EXPECT_FALSE(doc.input.setAddButton(nullptr));
    EXPECT_EQ(doc.input.addButton(), &button);
    EXPECT_EQ(log.lines().size(), 1);
    {
        QPushButton second;
        ASSERT_TRUE(doc.input.setAddButton(&second));
        EXPECT_EQ(doc.input.addButton(), &second);
    }
    EXPECT_EQ(doc.input.addButton(), nullptr);
}

TEST(VXPDFInputFilter, EditsTheListAndRefusesWhatCannotBeInIt)
{
    NumberedPages doc(2);
    const VXPagePtr middle = std::make_shared<VXPage>();
    const VXPagePtr last = std::make_shared<VXPage>();
    ASSERT_TRUE(doc.input.insertPage(middle, 1));
    ASSERT_TRUE(doc.input.insertPage(last, 3));
    EXPECT_EQ(doc.input.allPages(), (QList<VXPagePtr>{doc.pages[0], middle, doc.pages[1], last}));

    platform::LogCapture log;
    EXPECT_FALSE(doc.input.insertPage(std::make_shared<VXPage>(), 5));
    EXPECT_FALSE(doc.input.insertPage(std::make_shared<VXPage>(), VXFilter::NotFound));
    EXPECT_FALSE(doc.input.addPage(nullptr));
    EXPECT_FALSE(doc.input.insertPage(nullptr, 0));
    EXPECT_EQ(doc.input.allPages().size(), 4);
    EXPECT_EQ(log.lines().size(), 4);

    // Every occurrence of a page goes; a page that is not there changes nothing.
    doc.input.addPage(middle);
    doc.input.removePage(middle);
    doc.input.removePage(std::make_shared<VXPage>());
    EXPECT_EQ(doc.input.allPages(), (QList<VXPagePtr>{doc.pages[0], doc.pages[1], last}));
}
