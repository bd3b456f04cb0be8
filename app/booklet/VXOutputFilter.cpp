#include "app/booklet/VXOutputFilter.h"

#include "platform/foundation/Log.h"

#include <algorithm>
#include <cmath>

VXOutputFilter::VXOutputFilter(QObject *parent)
    : VXFilter(parent)
{
}

bool VXOutputFilter::straightOrder() const { return m_straightOrder; }

void VXOutputFilter::setStraightOrder(bool straightOrder)
{
    if (m_straightOrder == straightOrder)
        return;
    m_straightOrder = straightOrder;
    emit straightOrderChanged(straightOrder);
}

quint64 VXOutputFilter::doubleCount() const { return count() / 2; }
quint64 VXOutputFilter::previewCount() const { return count() / 2 + 1; }

VXPagePtr VXOutputFilter::doublePageAtIndex(quint64 side, bool isLeft) const
{
    // Saddle-stitch formulas would reach back into real pages past the last side.
    if (side >= doubleCount())
        return nullptr;
    const quint64 c = count();
    if (m_straightOrder)
        return objectAtIndexedSubscript(isLeft ? 2 * side : 2 * side + 1);
    const bool lowOnRight = side % 2 == 0;
    return objectAtIndexedSubscript(isLeft == lowOnRight ? c - 1 - side : side);
}

VXPagePtr VXOutputFilter::previewPageAtIndex(quint64 spread, bool isLeft) const
{
    if (spread >= previewCount())
        return nullptr;
    if (!m_straightOrder)
        return objectAtIndexedSubscript(isLeft ? 2 * spread - 1 : 2 * spread);

    // What a reader sees when straight-order sheets are nested and folded. Indexes below 0 wrap
    // past the end and read no page: the covers have one page each.
    const quint64 sheets = doubleCount() / 2;
    if (spread < sheets)
        return objectAtIndexedSubscript(isLeft ? 4 * spread - 2 : 4 * spread + 1);
    if (spread == sheets)
        return objectAtIndexedSubscript(isLeft ? 4 * sheets - 2 : 4 * sheets - 1);
    const quint64 mirrored = 2 * sheets - spread;
    return objectAtIndexedSubscript(isLeft ? 4 * mirrored : 4 * mirrored - 1);
}

double VXOutputFilter::percentPreviewAtIndex(quint64 spread) const
{
    return double(spread) / double(previewCount() - 1);
}

quint64 VXOutputFilter::doubleIndexForPage(const VXPagePtr &page) const
{
    const quint64 p = indexForPage(page);
    const quint64 c = count();
    if (p >= c)
        return NotFound;
    return m_straightOrder ? p / 2 : std::min(p, c - 1 - p);
}

quint64 VXOutputFilter::previewIndexForPage(const VXPagePtr &page) const
{
    const quint64 p = indexForPage(page);
    if (p >= count())
        return NotFound;
    if (!m_straightOrder)
        return (p + 1) / 2;
    switch (p % 4) {
    case 1:
        return p / 4;
    case 2:
        return p / 4 + 1;
    case 3:
        return previewCount() - p / 4 - 2;
    default:
        return previewCount() - p / 4 - 1;
    }
}

int VXOutputFilter::pageTypeForDoublePage(quint64 side) const
{
    if (side == 0)
        return FirstSide;
    return side == doubleCount() - 1 ? CentreSide : OtherSide;
}

QPointF VXOutputFilter::offsetForDoublePage(quint64 side, bool isLeft) const
{
    return side < doubleCount() ? inputOffset(side, isLeft) : QPointF();
}

QPointF VXOutputFilter::inputOffset(quint64 side, bool isLeft) const
{
    const auto *outputInput = qobject_cast<const VXOutputFilter *>(input());
    return outputInput ? outputInput->offsetForDoublePage(side, isLeft) : QPointF();
}

QPointF VXOutputFilter::inputOffsetWithCreep(quint64 side, bool isLeft, double shift) const
{
    const QPointF start = inputOffset(side, isLeft);
    return QPointF(isLeft ? start.x() + shift : start.x() - shift, start.y());
}

bool VXOutputFilter::isValidCreep(double creep)
{
    // A zero paper width makes the document's creep infinite; such a shift would move every page away.
    if (std::isfinite(creep))
        return true;
    platform::logWarning(QStringLiteral("Could not set a creep of %1, because it is no finite number").arg(creep));
    return false;
}
