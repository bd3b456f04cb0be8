#include "app/window/VXDoublePageFilterView.h"

#include "app/booklet/VXFilter.h"
#include "platform/foundation/GuardedPointers.h"

VXDoublePageFilterView::VXDoublePageFilterView(QWidget *parent)
    : platform::View(parent)
    , m_leftNo(VXFilter::NotFound)
    , m_rightNo(VXFilter::NotFound)
{
}

quint64 VXDoublePageFilterView::leftNo() const { return m_leftNo; }

void VXDoublePageFilterView::setLeftNo(quint64 leftNo)
{
    m_leftNo = leftNo;
    setNeedsDisplay(true);
}

quint64 VXDoublePageFilterView::rightNo() const { return m_rightNo; }

void VXDoublePageFilterView::setRightNo(quint64 rightNo)
{
    m_rightNo = rightNo;
    setNeedsDisplay(true);
}

QList<VXDoublePageFilter *> VXDoublePageFilterView::filters() const { return platform::livePointers(m_filters); }

void VXDoublePageFilterView::setFilters(const QList<VXDoublePageFilter *> &filters)
{
    m_filters = platform::guardedPointers(filters);
    setNeedsDisplay(true);
}

int VXDoublePageFilterView::pageType() const { return m_pageType; }

void VXDoublePageFilterView::setPageType(int pageType)
{
    m_pageType = pageType;
    setNeedsDisplay(true);
}

bool VXDoublePageFilterView::onlyPagesBasedFilters() const { return m_onlyPagesBasedFilters; }
void VXDoublePageFilterView::setOnlyPagesBasedFilters(bool only) { m_onlyPagesBasedFilters = only; }
double VXDoublePageFilterView::fraction() const { return m_fraction; }
void VXDoublePageFilterView::setFraction(double fraction) { m_fraction = fraction; }

void VXDoublePageFilterView::filterDidChange(VXDoublePageFilter *) { setNeedsDisplay(true); }

QWidget *VXDoublePageFilterView::hitTest(const QPointF &) { return nullptr; }

void VXDoublePageFilterView::drawRect(const QRectF &)
{
    const QRectF area = bounds();
    for (VXDoublePageFilter *filter : filters()) {
        if (!m_onlyPagesBasedFilters)
            filter->renderPage(m_pageType, area, m_fraction);
        filter->renderPageLeftNo(m_leftNo, m_rightNo, area, m_fraction);
    }
}
