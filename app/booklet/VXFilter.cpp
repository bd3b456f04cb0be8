#include "app/booklet/VXFilter.h"

#include <algorithm>

VXFilter::VXFilter(QObject *parent)
    : QObject(parent)
{
}

VXFilter *VXFilter::input() const { return m_input.data(); }
void VXFilter::setInput(VXFilter *input) { m_input = input; }

quint64 VXFilter::paddedCount(quint64 pageCount)
{
    return std::max<quint64>(4, (pageCount + 3) / 4 * 4);
}

quint64 VXFilter::count() const
{
    return paddedCount(m_input ? m_input->count() : 0);
}

VXPagePtr VXFilter::objectAtIndexedSubscript(quint64 index) const
{
    const quint64 inputCount = m_input ? m_input->count() : 0;
    if (index < inputCount)
        return m_input->objectAtIndexedSubscript(index);
    if (index < count())
        return VXPage::emptyPage();
    return nullptr;
}

quint64 VXFilter::indexForPage(const VXPagePtr &page) const
{
    return m_input ? m_input->indexForPage(page) : NotFound;
}
