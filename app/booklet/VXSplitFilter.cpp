#include "app/booklet/VXSplitFilter.h"

#include <algorithm>

// The shape of the split booklet for the input's current pages. Every count is a multiple of 4
// pages, so a full booklet has an even number of sides and a side's parity is its parity within
// its booklet.
struct VXSplitFilter::Layout
{
    quint64 pages;          // N, the padded input
    quint64 pagesPerSplit;  // S
    quint64 fullSides;      // sides of a full booklet, blank sheet included
    quint64 fullSheets;     // sheets of a full booklet, blank sheet included
    quint64 booklets;       // B
    quint64 sides;          // D
    quint64 lastSides;      // sides of the last, shorter booklet; 0 when every booklet is full
    quint64 sidesOfFull;    // sides of all full booklets together
    quint64 spreadsPerFull; // reading spreads of a full booklet

    quint64 pagesOfFull() const { return pagesPerSplit * (sidesOfFull / fullSides); }
};

VXSplitFilter::VXSplitFilter(QObject *parent)
    : VXOutputFilter(parent)
{
}

quint64 VXSplitFilter::splitPages() const { return m_splitPages; }

void VXSplitFilter::setSplitPages(quint64 splitPages)
{
    quint64 stored = std::min(splitPages, MaximumSplitPages) & ~quint64(3);
    if (stored < 5)
        stored = 4;
    if (stored == m_splitPages)
        return;
    m_splitPages = stored;
    emit splitPagesChanged(stored);
    emit splitBookletsChanged(splitBooklets());
}

bool VXSplitFilter::addEmptyPages() const { return m_addEmptyPages; }

void VXSplitFilter::setAddEmptyPages(bool addEmptyPages)
{
    if (m_addEmptyPages == addEmptyPages)
        return;
    m_addEmptyPages = addEmptyPages;
    emit addEmptyPagesChanged(addEmptyPages);
}

double VXSplitFilter::creep() const { return m_creep; }

void VXSplitFilter::setCreep(double creep)
{
    if (!isValidCreep(creep) || m_creep == creep)
        return;
    m_creep = creep;
    emit creepChanged(creep);
}

quint64 VXSplitFilter::splitBooklets() const
{
    return (count() + m_splitPages - 1) / m_splitPages;
}

void VXSplitFilter::setSplitBooklets(quint64 splitBooklets)
{
    const quint64 pages = count();
    const quint64 current = VXSplitFilter::splitBooklets();
    const quint64 sheets = pages / 4;
    quint64 booklets = std::max<quint64>(1, std::min(sheets, splitBooklets));
    quint64 pagesPerBooklet = 0;
    for (;;) {
        pagesPerBooklet = 4 * std::max<quint64>(1, (sheets + booklets - 1) / booklets);
        const quint64 made = (pages + pagesPerBooklet - 1) / pagesPerBooklet;
        if (made == booklets || booklets >= sheets)
            break;
        booklets = current < splitBooklets ? booklets + 1 : booklets - 1;
    }
    const quint64 before = m_splitPages;
    setSplitPages(pagesPerBooklet);
    // A bound control that asked for a count it cannot have is told the count it got.
    if (m_splitPages == before && splitBooklets != current)
        emit splitBookletsChanged(current);
}

VXSplitFilter::Layout VXSplitFilter::layout() const
{
    Layout l{};
    l.pages = count();
    l.pagesPerSplit = m_splitPages;
    const quint64 pagesPerFull = m_splitPages + (m_addEmptyPages ? 4 : 0);
    l.fullSides = pagesPerFull / 2;
    l.fullSheets = pagesPerFull / 4;
    l.booklets = (l.pages + m_splitPages - 1) / m_splitPages;
    l.sides = l.pages / 2 + (m_addEmptyPages ? 2 * l.booklets - 2 : 0);
    l.lastSides = l.sides % l.fullSides;
    l.sidesOfFull = l.sides - l.lastSides;
    l.spreadsPerFull = m_splitPages / 2 + 1;
    return l;
}

quint64 VXSplitFilter::doubleCount() const { return layout().sides; }

// Each booklet of P pages reads as P / 2 + 1 spreads.
quint64 VXSplitFilter::previewCount() const
{
    const Layout l = layout();
    return l.pages / 2 + l.booklets;
}

VXPagePtr VXSplitFilter::doublePageAtIndex(quint64 side, bool isLeft) const
{
    const Layout l = layout();
    // Past the last side the per-booklet formulas reach back into the last booklet's pages.
    if (side >= l.sides)
        return nullptr;
    const quint64 inBooklet = side % l.fullSides;
    const bool inFull = side < l.sidesOfFull;
    if (m_addEmptyPages && inFull && inBooklet >= l.fullSides - 2)
        return VXPage::emptyPage();

    const quint64 booklet = side / l.fullSides;
    const quint64 size = inFull ? l.pagesPerSplit : 2 * l.lastSides;
    const quint64 first = l.pagesPerSplit * booklet;
    const bool lowOnRight = side % 2 == 0;
    const quint64 index = isLeft == lowOnRight ? first + size - 1 - inBooklet : first + inBooklet;
    return objectAtIndexedSubscript(index);
}

int VXSplitFilter::pageTypeForDoublePage(quint64 side) const
{
    const Layout l = layout();
    const quint64 inBooklet = side % l.fullSides;
    const quint64 last = side < l.sidesOfFull ? l.pagesPerSplit / 2 : l.lastSides;
    if (inBooklet == 0)
        return FirstSide;
    return inBooklet == last - 1 ? CentreSide : OtherSide;
}

QPointF VXSplitFilter::offsetForDoublePage(quint64 side, bool isLeft) const
{
    const Layout l = layout();
    if (side >= l.sides)
        return QPointF();
    return inputOffsetWithCreep(side, isLeft, double((side / 2) % l.fullSheets) * m_creep);
}

quint64 VXSplitFilter::doubleIndexForPage(const VXPagePtr &page) const
{
    const Layout l = layout();
    const quint64 p = indexForPage(page);
    if (p >= l.pages)
        return NotFound;
    const quint64 S = l.pagesPerSplit;
    const quint64 pagesOfFull = l.pagesOfFull();
    quint64 inBooklet = p % S;
    if (p >= pagesOfFull) {
        if (p - pagesOfFull >= l.lastSides)
            inBooklet = 2 * l.lastSides - 1 - inBooklet;
    } else if (inBooklet >= S / 2) {
        inBooklet = S - 1 - inBooklet;
    }
    return l.fullSides * (p / S) + inBooklet;
}

VXPagePtr VXSplitFilter::previewPageAtIndex(quint64 spread, bool isLeft) const
{
    const Layout l = layout();
    if (spread >= l.pages / 2 + l.booklets)
        return nullptr;
    const quint64 inBooklet = spread % l.spreadsPerFull;
    const quint64 booklet = spread / l.spreadsPerFull;
    if (isLeft && inBooklet == 0)
        return nullptr;
    if (!isLeft && inBooklet == l.pagesPerSplit / 2)
        return nullptr;
    // A shorter last booklet's back cover reads its missing right half from past the end: no page.
    return objectAtIndexedSubscript((isLeft ? 2 * spread - 1 : 2 * spread) - 2 * booklet);
}

quint64 VXSplitFilter::previewIndexForPage(const VXPagePtr &page) const
{
    const Layout l = layout();
    const quint64 p = indexForPage(page);
    if (p >= l.pages)
        return NotFound;
    return (p / l.pagesPerSplit) * l.spreadsPerFull + p % 2 + (p / 2) % (l.pagesPerSplit / 2);
}

double VXSplitFilter::percentPreviewAtIndex(quint64 spread) const
{
    const Layout l = layout();
    const quint64 spreads = l.pages / 2 + l.booklets;
    // Past the last spread the last booklet's share would be divided by zero when it is full.
    if (spread >= spreads)
        return 0.0;
    const quint64 lastSpreads = spreads % l.spreadsPerFull;
    const quint64 fullSpreads = spreads - lastSpreads;
    if (spread < fullSpreads)
        return double(spread % l.spreadsPerFull) / double(l.pagesPerSplit / 2);
    return double(spread - fullSpreads) / double(lastSpreads - 1);
}
