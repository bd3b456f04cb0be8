#include "NumberedPages.h"

#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXReverseFilter.h"
#include "app/booklet/VXSplitFilter.h"

#include <QHash>

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

// Every output filter over every page count checked against a booklet built sheet by sheet the
// way it is folded, independently of the filters' index formulas.
namespace {

constexpr double Creep = 0.01;

struct Side
{
    VXPagePtr left, right;
    int type;
    quint64 sheet; // creep steps
};

struct Spread { VXPagePtr left, right; double percent; };

struct Booklet { QList<Side> sides; QList<Spread> spreads; };

// Spreads of a folded booklet from the order in which its pages are read.
void appendSpreads(QList<Spread> &spreads, const QList<VXPagePtr> &reading)
{
    const qsizetype last = reading.size() / 2;
    for (qsizetype k = 0; k <= last; ++k)
        spreads.append({k == 0 ? nullptr : reading[2 * k - 1], k == last ? nullptr : reading[2 * k],
                        double(k) / double(last)});
}

// Saddle stitching of consecutive booklets of up to pagesPerBooklet pages; every booklet but the
// last optionally gets a blank sheet at its centre.
Booklet saddleStitched(const VXFilter &source, quint64 pagesPerBooklet, bool blankSheets)
{
    Booklet booklet;
    const quint64 c = source.count();
    for (quint64 first = 0; first < c; first += pagesPerBooklet) {
        const quint64 pages = std::min(pagesPerBooklet, c - first);
        const bool isLast = first + pages >= c;
        for (quint64 r = 0; r < pages / 2; ++r) {
            const VXPagePtr low = source[first + r];
            const VXPagePtr high = source[first + pages - 1 - r];
            const int type = r == 0 ? 0 : (r == pages / 2 - 1 ? 1 : 2);
            booklet.sides.append(r % 2 == 0 ? Side{high, low, type, r / 2} : Side{low, high, type, r / 2});
        }
        if (blankSheets && !isLast) {
            for (int i = 0; i < 2; ++i)
                booklet.sides.append({VXPage::emptyPage(), VXPage::emptyPage(), 2, pages / 4});
        }
        QList<VXPagePtr> reading;
        for (quint64 i = first; i < first + pages; ++i)
            reading.append(source[i]);
        appendSpreads(booklet.spreads, reading);
    }
    return booklet;
}

// Straight order: sheet k carries pages 4k, 4k + 1 outside and 4k + 2, 4k + 3 inside. Nested and
// folded, the front half reads each sheet's outer right and inner left page going inwards, the
// back half each sheet's inner right and outer left page coming out again.
Booklet straight(const VXFilter &source)
{
    Booklet booklet;
    const quint64 c = source.count();
    const quint64 sides = c / 2;
    for (quint64 i = 0; i < sides; ++i) {
        const int type = i == 0 ? 0 : (i == sides - 1 ? 1 : 2);
        booklet.sides.append({source[2 * i], source[2 * i + 1], type, i / 2});
    }
    QList<VXPagePtr> reading;
    for (quint64 k = 0; k < c / 4; ++k)
        reading << source[4 * k + 1] << source[4 * k + 2];
    for (quint64 k = c / 4; k-- > 0;)
        reading << source[4 * k + 3] << source[4 * k];
    appendSpreads(booklet.spreads, reading);
    return booklet;
}

enum class Output { Saddle, Straight, Split };

struct ChainCase { Output output; quint64 splitPages; bool reverse; };

std::string caseName(const ::testing::TestParamInfo<ChainCase> &info)
{
    const ChainCase c = info.param;
    std::string name = c.output == Output::Saddle ? "Saddle" : c.output == Output::Straight ? "Straight" : "Split";
    if (c.output == Output::Split)
        name += std::to_string(c.splitPages);
    return name + (c.reverse ? "Reversed" : "");
}

std::vector<ChainCase> allCases()
{
    std::vector<ChainCase> cases;
    for (const bool reverse : {false, true}) {
        cases.push_back({Output::Saddle, 0, reverse});
        cases.push_back({Output::Straight, 0, reverse});
        for (quint64 s = 4; s <= 40; s += 4)
            cases.push_back({Output::Split, s, reverse});
    }
    return cases;
}

class FilterChainInvariants : public ::testing::TestWithParam<ChainCase>
{
protected:
    void check(int pageCount, bool blankSheets);
};

void FilterChainInvariants::check(int pageCount, bool blankSheets)
{
    const ChainCase c = GetParam();
    NumberedPages doc(pageCount);
    VXReverseFilter reverse;
    reverse.setInput(&doc.input);
    VXFilter &source = c.reverse ? static_cast<VXFilter &>(reverse) : doc.input;

    std::unique_ptr<VXOutputFilter> filter;
    Booklet expected;
    if (c.output == Output::Split) {
        auto split = std::make_unique<VXSplitFilter>();
        split->setSplitPages(c.splitPages);
        split->setAddEmptyPages(blankSheets);
        split->setCreep(Creep);
        filter = std::move(split);
        expected = saddleStitched(source, c.splitPages, blankSheets);
    } else {
        auto creep = std::make_unique<VXCreepFilter>();
        creep->setStraightOrder(c.output == Output::Straight);
        creep->setCreep(Creep);
        filter = std::move(creep);
        expected = c.output == Output::Straight ? straight(source) : saddleStitched(source, source.count(), false);
    }
    filter->setInput(&source);

    const quint64 padded = std::max<quint64>(4, (quint64(pageCount) + 3) / 4 * 4);
    ASSERT_EQ(filter->count(), padded);
    ASSERT_EQ(filter->doubleCount(), quint64(expected.sides.size()));
    ASSERT_EQ(filter->previewCount(), quint64(expected.spreads.size()));

    QHash<VXPage *, int> onSides;
    for (quint64 i = 0; i < filter->doubleCount(); ++i) {
        const Side &side = expected.sides[qsizetype(i)];
        const VXPagePtr left = filter->doublePageAtIndex(i, true);
        const VXPagePtr right = filter->doublePageAtIndex(i, false);
        ASSERT_EQ(left, side.left) << "side " << i;
        ASSERT_EQ(right, side.right) << "side " << i;
        ASSERT_NE(left, nullptr) << "side " << i;
        ASSERT_NE(right, nullptr) << "side " << i;
        ASSERT_EQ(filter->pageTypeForDoublePage(i), side.type) << "side " << i;
        ASSERT_DOUBLE_EQ(filter->offsetForDoublePage(i, true).x(), double(side.sheet) * Creep) << "side " << i;
        ASSERT_DOUBLE_EQ(filter->offsetForDoublePage(i, false).x(), -double(side.sheet) * Creep) << "side " << i;
        ++onSides[left.get()];
        ++onSides[right.get()];
    }

    QHash<VXPage *, int> onSpreads;
    QList<VXPagePtr> read;
    for (quint64 j = 0; j < filter->previewCount(); ++j) {
        const Spread &spread = expected.spreads[qsizetype(j)];
        const VXPagePtr left = filter->previewPageAtIndex(j, true);
        const VXPagePtr right = filter->previewPageAtIndex(j, false);
        ASSERT_EQ(left, spread.left) << "spread " << j;
        ASSERT_EQ(right, spread.right) << "spread " << j;
        ASSERT_DOUBLE_EQ(filter->percentPreviewAtIndex(j), spread.percent) << "spread " << j;
        for (const VXPagePtr &page : {left, right}) {
            if (page) {
                ++onSpreads[page.get()];
                read.append(page);
            }
        }
    }

    // Saddle-stitched booklets, one after another, read in the source's order.
    if (c.output != Output::Straight) {
        for (quint64 i = 0; i < padded; ++i)
            ASSERT_EQ(read.value(qsizetype(i)), source[i]) << "reading position " << i;
    }

    for (const VXPagePtr &page : doc.pages) {
        ASSERT_EQ(onSides.value(page.get()), 1);
        ASSERT_EQ(onSpreads.value(page.get()), 1);
        const quint64 side = filter->doubleIndexForPage(page);
        ASSERT_LT(side, filter->doubleCount());
        ASSERT_TRUE(filter->doublePageAtIndex(side, true) == page || filter->doublePageAtIndex(side, false) == page)
            << "side " << side;
        const quint64 spread = filter->previewIndexForPage(page);
        ASSERT_LT(spread, filter->previewCount());
        ASSERT_TRUE(filter->previewPageAtIndex(spread, true) == page || filter->previewPageAtIndex(spread, false) == page)
            << "spread " << spread;
    }
    // Everything on the sides that is not a real page is the shared blank filler.
    const quint64 blanks = 2 * filter->doubleCount() - quint64(pageCount);
    ASSERT_EQ(quint64(onSides.value(VXPage::emptyPage().get())), blanks);

    // The filler, a stranger and no page at all lie on no side; the view of the filler asks for the
    // offset of side NotFound, which once came out as a shift of about 2^62 creep steps.
    for (const VXPagePtr &page : {VXPage::emptyPage(), std::make_shared<VXPage>(), VXPagePtr()}) {
        const quint64 side = filter->doubleIndexForPage(page);
        ASSERT_EQ(side, VXFilter::NotFound);
        ASSERT_EQ(filter->previewIndexForPage(page), VXFilter::NotFound);
        ASSERT_EQ(filter->offsetForDoublePage(side, true), QPointF());
        ASSERT_EQ(filter->offsetForDoublePage(side, false), QPointF());
    }
    // Past their counts the saddle and per-booklet formulas pointed back at real pages, and the
    // percentage past a full last booklet divided by zero.
    const quint64 sides = filter->doubleCount(), spreads = filter->previewCount();
    for (const quint64 side : {sides, sides + 1, sides + 5, VXFilter::NotFound}) {
        ASSERT_EQ(filter->doublePageAtIndex(side, true), nullptr) << "side " << side;
        ASSERT_EQ(filter->doublePageAtIndex(side, false), nullptr) << "side " << side;
        ASSERT_EQ(filter->offsetForDoublePage(side, true), QPointF()) << "side " << side;
    }
    for (const quint64 spread : {spreads, spreads + 1, VXFilter::NotFound}) {
        ASSERT_EQ(filter->previewPageAtIndex(spread, true), nullptr) << "spread " << spread;
        ASSERT_EQ(filter->previewPageAtIndex(spread, false), nullptr) << "spread " << spread;
        if (c.output == Output::Split) {
            ASSERT_EQ(filter->percentPreviewAtIndex(spread), 0.0) << "spread " << spread;
        }
    }
}

} // namespace

TEST_P(FilterChainInvariants, HoldForEveryPageCount)
{
    for (const bool blankSheets : {false, true}) {
        if (blankSheets && GetParam().output != Output::Split)
            continue;
        for (int pages = 0; pages <= 200; ++pages) {
            check(pages, blankSheets);
            if (HasFailure()) {
                ADD_FAILURE() << pages << " pages" << (blankSheets ? " with blank sheets" : "");
                return;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Chains, FilterChainInvariants, ::testing::ValuesIn(allCases()), caseName);
