#include "NumberedPages.h"

#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXReverseFilter.h"
#include "app/booklet/VXSplitFilter.h"

#include <QHash>

#include <algorithm>
#include <array>

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

// Nested sheets, outermost first, each as its outer left, outer right, inner left and inner right page.
using Sheets = QList<std::array<VXPagePtr, 4>>;

// A booklet folded from its sheets: the front half reads each sheet's outer right and inner left
// page going inwards, the back half each sheet's inner right and outer left page coming out again.
void appendFolded(Booklet &booklet, const Sheets &sheets)
{
    QList<VXPagePtr> reading;
    for (qsizetype k = 0; k < sheets.size(); ++k) {
        booklet.sides.append({sheets[k][0], sheets[k][1], k == 0 ? 0 : 2, quint64(k)});
        booklet.sides.append({sheets[k][2], sheets[k][3], k == sheets.size() - 1 ? 1 : 2, quint64(k)});
        reading << sheets[k][1] << sheets[k][2];
    }
    for (qsizetype k = sheets.size(); k-- > 0;)
        reading << sheets[k][3] << sheets[k][0];
    const qsizetype last = reading.size() / 2;
    for (qsizetype k = 0; k <= last; ++k)
        booklet.spreads.append({.left = k == 0 ? nullptr : reading[2 * k - 1], .right = k == last ? nullptr : reading[2 * k],
                                .percent = double(k) / double(last)});
}

// The source's pages as sheets are filled: saddle-stitched booklets of up to pagesPerBooklet pages,
// where sheet k of a booklet of P pages carries P - 1 - 2k and 2k outside and 2k + 1 and P - 2 - 2k
// inside, every booklet but the last optionally with a blank sheet at its centre; or in straight
// order, where sheet k carries 4k and 4k + 1 outside and 4k + 2 and 4k + 3 inside.
Booklet folded(const VXFilter &source, quint64 pagesPerBooklet, bool straightOrder, bool blankSheets)
{
    Booklet booklet;
    const quint64 c = source.count();
    for (quint64 first = 0; first < c; first += pagesPerBooklet) {
        const quint64 pages = std::min(pagesPerBooklet, c - first);
        Sheets sheets;
        for (quint64 k = 0; k < pages / 4; ++k) {
            const quint64 low = first + (straightOrder ? 4 * k : 2 * k);
            const quint64 high = straightOrder ? low + 1 : first + pages - 1 - 2 * k;
            sheets.append(straightOrder ? std::array{source[low], source[high], source[low + 2], source[low + 3]}
                                        : std::array{source[high], source[low], source[low + 1], source[high - 1]});
        }
        appendFolded(booklet, sheets);
        if (blankSheets && first + pages < c) {
            for (int i = 0; i < 2; ++i)
                booklet.sides.append({VXPage::emptyPage(), VXPage::emptyPage(), 2, pages / 4});
        }
    }
    return booklet;
}

// splitPages 0 stands for the creep filter alone.
struct Chain { quint64 splitPages; bool straightOrder, blankSheets, reverse; };

void check(const Chain &chain, int pageCount)
{
    NumberedPages doc(pageCount);
    VXReverseFilter reverse;
    reverse.setInput(&doc.input);
    VXFilter &source = chain.reverse ? static_cast<VXFilter &>(reverse) : doc.input;
    VXCreepFilter creep;
    creep.setStraightOrder(chain.straightOrder);
    creep.setCreep(Creep);
    VXSplitFilter split;
    split.setSplitPages(chain.splitPages);
    split.setAddEmptyPages(chain.blankSheets);
    split.setCreep(Creep);
    VXOutputFilter &filter = chain.splitPages ? static_cast<VXOutputFilter &>(split) : creep;
    filter.setInput(&source);
    const Booklet expected = folded(source, chain.splitPages ? chain.splitPages : source.count(), chain.straightOrder,
                                    chain.blankSheets);

    const quint64 padded = std::max<quint64>(4, (quint64(pageCount) + 3) / 4 * 4);
    ASSERT_EQ(filter.count(), padded);
    ASSERT_EQ(filter.doubleCount(), quint64(expected.sides.size()));
    ASSERT_EQ(filter.previewCount(), quint64(expected.spreads.size()));

    // Where each page was found walking the sides and the spreads.
    QMultiHash<VXPage *, quint64> sideOf;
    for (quint64 i = 0; i < filter.doubleCount(); ++i) {
        const Facing &side = expected.sides[qsizetype(i)];
        ASSERT_EQ(filter.pageTypeForDoublePage(i), side.type) << "side " << i;
        for (const bool left : {true, false}) {
            const VXPagePtr page = filter.doublePageAtIndex(i, left);
            ASSERT_NE(page, nullptr) << "side " << i;
            ASSERT_EQ(page, left ? side.left : side.right) << "side " << i;
            ASSERT_DOUBLE_EQ(filter.offsetForDoublePage(i, left).x(), (left ? 1 : -1) * double(side.sheet) * Creep) << "side " << i;
            sideOf.insert(page.get(), i);
        }
    }

    QMultiHash<VXPage *, quint64> spreadOf;
    QList<VXPagePtr> read;
    for (quint64 j = 0; j < filter.previewCount(); ++j) {
        const Facing &spread = expected.spreads[qsizetype(j)];
        ASSERT_DOUBLE_EQ(filter.percentPreviewAtIndex(j), spread.percent) << "spread " << j;
        for (const bool left : {true, false}) {
            const VXPagePtr page = filter.previewPageAtIndex(j, left);
            ASSERT_EQ(page, left ? spread.left : spread.right) << "spread " << j;
            if (page) {
                spreadOf.insert(page.get(), j);
                read.append(page);
            }
        }
    }

    // Saddle-stitched booklets, one after another, read in the source's order.
    for (quint64 i = 0; !chain.straightOrder && i < padded; ++i)
        ASSERT_EQ(read.value(qsizetype(i)), source[i]) << "reading position " << i;

    // Every page lies on exactly one side and one spread, where the look-ups of the page point.
    for (const VXPagePtr &page : doc.pages) {
        ASSERT_EQ(sideOf.values(page.get()), QList<quint64>{filter.doubleIndexForPage(page)});
        ASSERT_EQ(spreadOf.values(page.get()), QList<quint64>{filter.previewIndexForPage(page)});
    }
    // Everything on the sides that is not a real page is the shared blank filler.
    ASSERT_EQ(quint64(sideOf.count(VXPage::emptyPage().get())), 2 * filter.doubleCount() - quint64(pageCount));

    // The filler, a stranger and no page at all lie on no side; the view of the filler asks for the
    // offset of side NotFound, which once came out as a shift of about 2^62 creep steps.
    for (const VXPagePtr &page : {VXPage::emptyPage(), std::make_shared<VXPage>(), VXPagePtr()}) {
        ASSERT_EQ(filter.doubleIndexForPage(page), VXFilter::NotFound);
        ASSERT_EQ(filter.previewIndexForPage(page), VXFilter::NotFound);
    }
    // Past their counts the saddle and per-booklet formulas pointed back at real pages, and the
    // percentage past a full last booklet divided by zero.
    const quint64 sides = filter.doubleCount(), spreads = filter.previewCount();
    for (const quint64 side : {sides, sides + 1, sides + 5, VXFilter::NotFound}) {
        for (const bool left : {true, false}) {
            ASSERT_EQ(filter.doublePageAtIndex(side, left), nullptr) << "side " << side;
            ASSERT_EQ(filter.offsetForDoublePage(side, left), QPointF()) << "side " << side;
        }
    }
    for (const quint64 spread : {spreads, spreads + 1, VXFilter::NotFound}) {
        for (const bool left : {true, false})
            ASSERT_EQ(filter.previewPageAtIndex(spread, left), nullptr) << "spread " << spread;
        if (chain.splitPages) {
            ASSERT_EQ(filter.percentPreviewAtIndex(spread), 0.0) << "spread " << spread;
        }
    }
}

} // namespace

TEST(FilterChainInvariants, HoldForEveryChainAndPageCount)
{
    QList<Chain> chains;
    for (const bool reverse : {false, true}) {
        chains << Chain{0, false, false, reverse} << Chain{0, true, false, reverse};
        for (quint64 s = 4; s <= 40; s += 4)
            chains << Chain{s, false, false, reverse} << Chain{s, false, true, reverse};
    }
    for (const Chain &chain : chains) {
        SCOPED_TRACE(testing::Message() << "split into " << chain.splitPages << (chain.straightOrder ? ", straight" : "")
                                        << (chain.blankSheets ? ", with blank sheets" : "") << (chain.reverse ? ", reversed" : ""));
        for (int pages = 0; pages <= 200; ++pages) {
            check(chain, pages);
            ASSERT_FALSE(HasFailure()) << pages << " pages";
        }
    }
}
