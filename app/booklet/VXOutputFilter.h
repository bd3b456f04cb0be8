#pragma once

#include "app/booklet/VXFilter.h"

#include <QPointF>

// Lays the input's padded pages out as sheet sides (two pages to a side, as printed) and reading
// spreads (as the folded booklet reads), in saddle-stitch or straight order.
//
// With c pages there are c / 2 sheet sides; sheet k, counted from the outside of the stack, has
// sides 2k and 2k + 1. There are c / 2 + 1 spreads: the front cover alone on the right, facing
// pairs, the back cover alone on the left. Sides and spreads at or past their counts hold no
// pages, have no offset and a page not in the chain lies on no side or spread (NotFound).
class VXOutputFilter : public VXFilter
{
    Q_OBJECT
    Q_PROPERTY(bool straightOrder READ straightOrder WRITE setStraightOrder NOTIFY straightOrderChanged)

public:
    // Page types of a sheet side, as the decorations and the print view read them.
    static constexpr int FirstSide = 0;  // the outside of the outermost sheet: the covers
    static constexpr int CentreSide = 1; // the side that carries the centre spread
    static constexpr int OtherSide = 2;

    explicit VXOutputFilter(QObject *parent = nullptr);

    bool straightOrder() const;
    void setStraightOrder(bool straightOrder);

    virtual quint64 doubleCount() const;
    virtual quint64 previewCount() const;

    virtual VXPagePtr doublePageAtIndex(quint64 side, bool isLeft) const;
    virtual VXPagePtr previewPageAtIndex(quint64 spread, bool isLeft) const;
    virtual double percentPreviewAtIndex(quint64 spread) const;

    virtual quint64 doubleIndexForPage(const VXPagePtr &page) const;
    virtual quint64 previewIndexForPage(const VXPagePtr &page) const;

    virtual int pageTypeForDoublePage(quint64 side) const;

    // How far the page on that half of the side is shifted, in units of one page's width and height.
    virtual QPointF offsetForDoublePage(quint64 side, bool isLeft) const;

signals:
    void straightOrderChanged(bool straightOrder);

protected:
    // The shift an output filter before this one gives that half, or none.
    QPointF inputOffset(quint64 side, bool isLeft) const;
    // That shift, with the half moved a further `shift` page widths towards the fold.
    QPointF inputOffsetWithCreep(quint64 side, bool isLeft, double shift) const;
    // Whether a filter may take that creep; logs why not.
    static bool isValidCreep(double creep);

private:
    bool m_straightOrder = false;
};
