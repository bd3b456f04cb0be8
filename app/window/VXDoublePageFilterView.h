#pragma once

#include "app/booklet/VXDoublePageFilter.h"
#include "app/booklet/VXDoublePageFilterDelegate.h"
#include "platform/ui/View.h"

#include <QList>
#include <QPointer>

// The document window's decoration layer: a transparent view over the two page views that draws
// the decoration filters at the preview's scale. It lets every click through to the pages below.
class VXDoublePageFilterView : public platform::View, public VXDoublePageFilterDelegate
{
    Q_OBJECT

public:
    explicit VXDoublePageFilterView(QWidget *parent = nullptr);

    // Indexes in document order of the pages shown left and right; VXFilter::NotFound for none.
    quint64 leftNo() const;
    void setLeftNo(quint64 leftNo);
    quint64 rightNo() const;
    void setRightNo(quint64 rightNo);
    // Drawn in this order; they belong to the document.
    QList<VXDoublePageFilter *> filters() const;
    void setFilters(const QList<VXDoublePageFilter *> &filters);
    // The page type of the sheet side shown (see VXOutputFilter).
    int pageType() const;
    void setPageType(int pageType);
    // Set while reading spreads are shown: only decorations that follow the page numbers, so
    // staple marks stay on sheet sides.
    bool onlyPagesBasedFilters() const;
    void setOnlyPagesBasedFilters(bool onlyPagesBasedFilters);
    // The view's width over the paper's, so that decorations keep their printed proportions.
    double fraction() const;
    void setFraction(double fraction);

    void filterDidChange(VXDoublePageFilter *filter) override;
    QWidget *hitTest(const QPointF &point) override;
    void drawRect(const QRectF &dirtyRect) override;

private:
    quint64 m_leftNo;
    quint64 m_rightNo;
    QList<QPointer<VXDoublePageFilter>> m_filters;
    int m_pageType = 0;
    bool m_onlyPagesBasedFilters = false;
    double m_fraction = 1.0;
};
