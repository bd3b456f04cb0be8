#include "app/booklet/VXReverseFilter.h"

VXReverseFilter::VXReverseFilter(QObject *parent)
    : VXFilter(parent)
{
}

VXPagePtr VXReverseFilter::objectAtIndexedSubscript(quint64 index) const
{
    // Unsigned on purpose: an index at or past the count wraps past the input's end and reads nothing.
    return VXFilter::objectAtIndexedSubscript(count() - 1 - index);
}

quint64 VXReverseFilter::indexForPage(const VXPagePtr &page) const
{
    const quint64 index = VXFilter::indexForPage(page);
    return index == NotFound ? NotFound : count() - 1 - index;
}
