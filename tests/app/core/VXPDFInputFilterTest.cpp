#include "NumberedPages.h"

#include "platform/Log.h"

#include <QPushButton>

#include <gtest/gtest.h>

struct PaddingCase
{
    int pages;
    quint64 count;
    const char *list;
};

void PrintTo(const PaddingCase &c, std::ostream *os) { *os << c.pages << " pages"; }

class VXPDFInputFilterPadding : public ::testing::TestWithParam<PaddingCase>
{
};

TEST_P(VXPDFInputFilterPadding, PadsToAMultipleOfFourWithTheSharedBlankPage)
{
    const PaddingCase c = GetParam();
    NumberedPages doc(c.pages);
    EXPECT_EQ(doc.input.count(), c.count);
    EXPECT_EQ(doc.list(doc.input), QString::fromLatin1(c.list));
}

INSTANTIATE_TEST_SUITE_P(Counts, VXPDFInputFilterPadding,
                         ::testing::Values(PaddingCase{0, 4, "X X X X -"},
                                           PaddingCase{1, 4, "1 X X X -"},
                                           PaddingCase{4, 4, "1 2 3 4 -"},
                                           PaddingCase{5, 8, "1 2 3 4 5 X X X -"},
                                           PaddingCase{8, 8, "1 2 3 4 5 6 7 8 -"},
                                           PaddingCase{9, 12, "1 2 3 4 5 6 7 8 9 X X X -"}));

TEST(VXPDFInputFilter, IndexesArePositionsAmongTheRealPages)
{
    NumberedPages doc(3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(doc.input.indexForPage(doc.pages[i]), quint64(i));
    EXPECT_EQ(doc.input.indexForPage(VXPage::emptyPage()), VXFilter::NotFound);
    EXPECT_EQ(doc.input.indexForPage(std::make_shared<VXPage>()), VXFilter::NotFound);
    EXPECT_EQ(doc.input.indexForPage(nullptr), VXFilter::NotFound);
}

TEST(VXPDFInputFilter, AddButtonStaysOutOfThePageOperations)
{
    NumberedPages doc(5);
    QPushButton button;
    ASSERT_TRUE(doc.input.setAddButton(&button));

    EXPECT_EQ(doc.input.addButton(), &button);
    EXPECT_EQ(doc.input.allPages(), doc.pages);
    EXPECT_EQ(doc.input.count(), 8u);
    EXPECT_EQ(doc.input.indexForPage(doc.pages[0]), 0u);
    EXPECT_EQ(doc.list(doc.input), QStringLiteral("1 2 3 4 5 X X X -"));

    const VXPagePtr first = std::make_shared<VXPage>();
    ASSERT_TRUE(doc.input.insertPage(first, 0));
    EXPECT_EQ(doc.input.allPages().first(), first);
    EXPECT_EQ(doc.input[0], first);
    EXPECT_EQ(doc.input.indexForPage(doc.pages[0]), 1u);

    doc.input.removeAllPages();
    EXPECT_EQ(doc.input.addButton(), &button);
    EXPECT_TRUE(doc.input.allPages().isEmpty());
    EXPECT_EQ(doc.input.count(), 4u);
}

TEST(VXPDFInputFilter, ReplacingTheAddButtonKeepsOnlyTheNewOne)
{
    VXPDFInputFilter input;
    QPushButton first;
    QPushButton second;
    ASSERT_TRUE(input.setAddButton(&first));
    ASSERT_TRUE(input.setAddButton(&second));
    EXPECT_EQ(input.addButton(), &second);
}

TEST(VXPDFInputFilter, AnAddButtonThatIsDestroyedIsForgotten)
{
    VXPDFInputFilter input;
    {
        QPushButton button;
        input.setAddButton(&button);
    }
    EXPECT_EQ(input.addButton(), nullptr);
}

TEST(VXPDFInputFilter, RefusesAMissingAddButtonAndKeepsTheOldOne)
{
    VXPDFInputFilter input;
    QPushButton button;
    input.setAddButton(&button);
    platform::LogCapture log;
    EXPECT_FALSE(input.setAddButton(nullptr));
    EXPECT_EQ(input.addButton(), &button);
    EXPECT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().value(0).startsWith(QStringLiteral("Warning: ")));
}

TEST(VXPDFInputFilter, InsertsWithinTheListAndRefusesPastItsEnd)
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
    EXPECT_EQ(doc.input.allPages().size(), 4);
    EXPECT_EQ(log.lines().size(), 2);
}

TEST(VXPDFInputFilter, RefusesMissingPages)
{
    VXPDFInputFilter input;
    platform::LogCapture log;
    EXPECT_FALSE(input.addPage(nullptr));
    EXPECT_FALSE(input.insertPage(nullptr, 0));
    EXPECT_TRUE(input.allPages().isEmpty());
    EXPECT_EQ(log.lines().size(), 2);
}

TEST(VXPDFInputFilter, RemovesEveryOccurrenceOfAPage)
{
    NumberedPages doc(3);
    doc.input.addPage(doc.pages[1]);
    doc.input.removePage(doc.pages[1]);
    EXPECT_EQ(doc.input.allPages(), (QList<VXPagePtr>{doc.pages[0], doc.pages[2]}));
    doc.input.removePage(std::make_shared<VXPage>());
    EXPECT_EQ(doc.input.allPages().size(), 2);
}
