#include "app/booklet/VXDoublePageFilter.h"

#include "app/booklet/VXDoublePageFilterDelegate.h"

VXDoublePageFilter::VXDoublePageFilter(QObject *parent)
    : QObject(parent)
{
}

VXDoublePageFilterDelegate *VXDoublePageFilter::delegate() const
{
    // A QObject delegate that was destroyed leaves its guard empty.
    if (m_delegateIsObject && !m_delegateObject)
        return nullptr;
    return m_delegate;
}

void VXDoublePageFilter::setDelegate(VXDoublePageFilterDelegate *delegate)
{
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject *>(delegate);
    m_delegateIsObject = !m_delegateObject.isNull();
}

void VXDoublePageFilter::renderPage(int, const QRectF &, double) {}

void VXDoublePageFilter::renderPageLeftNo(quint64, quint64, const QRectF &, double) {}

void VXDoublePageFilter::tellDelegate()
{
    if (VXDoublePageFilterDelegate *target = delegate())
        target->filterDidChange(this);
}
