#include "NumberedPages.h"

#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXReverseFilter.h"
#include "app/booklet/VXSplitFilter.h"

#include <QHash>

#include <algorithm>

#include <gtest/gtest.h>

// Every output filter over every page count checked against a booklet built sheet by sheet the
// way it is folded, independently of the filters' index formulas.
namespace {

constexpr double Creep = 0.01;

// Two facing pages: a printed side with its page type and its sheet (creep steps), or a spread of
// the folded booklet with how far through its booklet it lies.
struct Facing
{
    VXPagePtr left, right;
    int type = 0;
    quint64 sheet = 0;
    double percent = 0;
};

struct Booklet { QList<Facing> sides, spreads; };

// Spreads of a folded booklet from the order in which its pages are read.
void appendSpreads(QList<Facing> &spreads, const QList<VXPagePtr> &reading)
{
    const qsizetype last = reading.size() / 2;
    for (qsizetype k = 0; k <= last; ++k)
        spreads.append({.left = k == 0 ? nullptr : reading[2 * k - 1], .right = k == last ? nullptr : reading[2 * k],
                        .percent = double(k) / double(last)});
}

// Saddle stitching of consecutive booklets of up to pagesPerBooklet pages; every booklet but the
// last optionally gets a blank sheet at its centre.
Booklet saddleStitched(const VXFilter &source, quint64 pagesPerBooklet, bool blankSheets)
{
    Booklet booklet;
    const quint64 c = source.count();
    for (quint64 first = 0; first < c; first += pagesPerBooklet) {
        const quint64 pages = std::min(pagesPerBooklet, c - first);
        for (quint64 r = 0; r < pages / 2; ++r) {
            const VXPagePtr low = source[first + r];
            const VXPagePtr high = source[first + pages - 1 - r];
            const int type = r == 0 ? 0 : (r == pages / 2 - 1 ? 1 : 2);
            booklet.sides.append(r % 2 == 0 ? Facing{high, low, type, r / 2} : Facing{low, high, type, r / 2});
        }
        if (blankSheets && first + pages < c) {
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

struct Chain { Output output; quint64 splitPages; bool blankSheets; bool reverse; };

void check(const Chain &chain, int pageCount)
{
    NumberedPages doc(pageCount);
    VXReverseFilter reverse;
    reverse.setInput(&doc.input);
    VXFilter &source = chain.reverse ? static_cast<VXFilter &>(reverse) : doc.input;
    VXCreepFilter creep;
    VXSplitFilter split;
    VXOutputFilter *filter = &creep;
    Booklet expected;
    if (chain.output == Output::Split) {
        split.setSplitPages(chain.splitPages);
        split.setAddEmptyPages(chain.blankSheets);
        split.setCreep(Creep);
        filter = &split;
        expected = saddleStitched(source, chain.splitPages, chain.blankSheets);
    } else {
        creep.setStraightOrder(chain.output == Output::Straight);
        creep.setCreep(Creep);
        expected = chain.output == Output::Straight ? straight(source) : saddleStitched(source, source.count(), false);
    }
    filter->setInput(&source);

    const quint64 padded = std::max<quint64>(4, (quint64(pageCount) + 3) / 4 * 4);
    ASSERT_EQ(filter->count(), padded);
    ASSERT_EQ(filter->doubleCount(), quint64(expected.sides.size()));
    ASSERT_EQ(filter->previewCount(), quint64(expected.spreads.size()));

    // Where each page was found walking the sides and the spreads.
    QMultiHash<VXPage *, quint64> sideOf;
    for (quint64 i = 0; i < filter->doubleCount(); ++i) {
        const Facing &side = expected.sides[qsizetype(i)];
        ASSERT_EQ(filter->pageTypeForDoublePage(i), side.type) << "side " << i;
        for (const bool left : {true, false}) {
            const VXPagePtr page = filter->doublePageAtIndex(i, left);
            ASSERT_NE(page, nullptr) << "side " << i;
            ASSERT_EQ(page, left ? side.left : side.right) << "side " << i;
            ASSERT_DOUBLE_EQ(filter->offsetForDoublePage(i, left).x(), (left ? 1 : -1) * double(side.sheet) * Creep) << "side " << i;
            sideOf.insert(page.get(), i);
        }
    }

    QMultiHash<VXPage *, quint64> spreadOf;
    QList<VXPagePtr> read;
    for (quint64 j = 0; j < filter->previewCount(); ++j) {
        const Facing &spread = expected.spreads[qsizetype(j)];
        ASSERT_DOUBLE_EQ(filter->percentPreviewAtIndex(j), spread.percent) << "spread " << j;
        for (const bool left : {true, false}) {
            const VXPagePtr page = filter->previewPageAtIndex(j, left);
            ASSERT_EQ(page, left ? spread.left : spread.right) << "spread " << j;
            if (page) {
                spreadOf.insert(page.get(), j);
                read.append(page);
            }
        }
    }

    // Saddle-stitched booklets, one after another, read in the source's order.
    for (quint64 i = 0; chain.output != Output::Straight && i < padded; ++i)
        ASSERT_EQ(read.value(qsizetype(i)), source[i]) << "reading position " << i;

    // Every page lies on exactly one side and one spread, where the look-ups of the page point.
    for (const VXPagePtr &page : doc.pages) {
        ASSERT_EQ(sideOf.values(page.get()), QList<quint64>{filter->doubleIndexForPage(page)});
        ASSERT_EQ(spreadOf.values(page.get()), QList<quint64>{filter->previewIndexForPage(page)});
    }
    // Everything on the sides that is not a real page is the shared blank filler.
    ASSERT_EQ(quint64(sideOf.count(VXPage::emptyPage().get())), 2 * filter->doubleCount() - quint64(pageCount));

    // The filler, a stranger and no page at all lie on no side; the view of the filler asks for the
    // offset of side NotFound, which once came out as a shift of about 2^62 creep steps.
    for (const VXPagePtr &page : {VXPage::emptyPage(), std::make_shared<VXPage>(), VXPagePtr()}) {
        ASSERT_EQ(filter->doubleIndexForPage(page), VXFilter::NotFound);
        ASSERT_EQ(filter->previewIndexForPage(page), VXFilter::NotFound);
    }
    // Past their counts the saddle and per-booklet formulas pointed back at real pages, and the
    // percentage past a full last booklet divided by zero.
    const quint64 sides = filter->doubleCount(), spreads = filter->previewCount();
    for (const quint64 side : {sides, sides + 1, sides + 5, VXFilter::NotFound}) {
        for (const bool left : {true, false}) {
            ASSERT_EQ(filter->doublePageAtIndex(side, left), nullptr) << "side " << side;
            ASSERT_EQ(filter->offsetForDoublePage(side, left), QPointF()) << "side " << side;
        }
    }
    for (const quint64 spread : {spreads, spreads + 1, VXFilter::NotFound}) {
        for (const bool left : {true, false})
            ASSERT_EQ(filter->previewPageAtIndex(spread, left), nullptr) << "spread " << spread;
        if (chain.output == Output::Split) {
            ASSERT_EQ(filter->percentPreviewAtIndex(spread), 0.0) << "spread " << spread;
        }
    }
}

} // namespace

TEST(FilterChainInvariants, HoldForEveryChainAndPageCount)
{
    QList<Chain> chains;
    for (const bool reverse : {false, true}) {
        chains << Chain{Output::Saddle, 0, false, reverse} << Chain{Output::Straight, 0, false, reverse};
        for (quint64 s = 4; s <= 40; s += 4)
            chains << Chain{Output::Split, s, false, reverse} << Chain{Output::Split, s, true, reverse};
    }
    for (const Chain &chain : chains) {
        SCOPED_TRACE(testing::Message() << "output " << int(chain.output) << ", split into " << chain.splitPages
                                        << (chain.blankSheets ? " with blank sheets" : "") << (chain.reverse ? ", reversed" : ""));
        for (int pages = 0; pages <= 200; ++pages) {
            check(chain, pages);
            ASSERT_FALSE(HasFailure()) << pages << " pages";
        }
    }
}
