#pragma once

#include "app/booklet/VXOutputFilter.h"

// The output filter that cuts a long document into booklets of splitPages pages each (the last one
// shorter when the pages do not divide evenly) and saddle-stitches each booklet by itself, with
// its own covers, centre, reading spreads and creep. With addEmptyPages every booklet but the last
// gets a blank sheet at its centre; blank sheets show on the sheet sides only, never in the spreads.
class VXSplitFilter : public VXOutputFilter
{
    Q_OBJECT
    Q_PROPERTY(quint64 splitPages READ splitPages WRITE setSplitPages NOTIFY splitPagesChanged)
    Q_PROPERTY(bool addEmptyPages READ addEmptyPages WRITE setAddEmptyPages NOTIFY addEmptyPagesChanged)
    Q_PROPERTY(double creep READ creep WRITE setCreep NOTIFY creepChanged)
    Q_PROPERTY(quint64 splitBooklets READ splitBooklets WRITE setSplitBooklets NOTIFY splitBookletsChanged)

public:
    // Far beyond any real document, and small enough that a booklet's size plus its blank sheet
    // cannot wrap around (a negative stored setting arrives here as a huge unsigned number).
    static constexpr quint64 MaximumSplitPages = quint64(1) << 62;

    explicit VXSplitFilter(QObject *parent = nullptr);

    // Pages per booklet: a multiple of 4, at least 4.
    quint64 splitPages() const;
    void setSplitPages(quint64 splitPages);

    bool addEmptyPages() const;
    void setAddEmptyPages(bool addEmptyPages);

    // Shift per sheet as a fraction of one page's width; restarts on the outermost sheet of every booklet.
    double creep() const;
    void setCreep(double creep);

    quint64 splitBooklets() const;
    // Chooses the pages per booklet that give about that many booklets: a count that no page
    // count can give is skipped in the direction of the change.
    void setSplitBooklets(quint64 splitBooklets);

    quint64 doubleCount() const override;
    quint64 previewCount() const override;

    VXPagePtr doublePageAtIndex(quint64 side, bool isLeft) const override;
    VXPagePtr previewPageAtIndex(quint64 spread, bool isLeft) const override;
    double percentPreviewAtIndex(quint64 spread) const override;

    quint64 doubleIndexForPage(const VXPagePtr &page) const override;
    quint64 previewIndexForPage(const VXPagePtr &page) const override;

    int pageTypeForDoublePage(quint64 side) const override;
    QPointF offsetForDoublePage(quint64 side, bool isLeft) const override;

signals:
    void splitPagesChanged(quint64 splitPages);
    void addEmptyPagesChanged(bool addEmptyPages);
    void creepChanged(double creep);
    void splitBookletsChanged(quint64 splitBooklets);

private:
    struct Layout;
    Layout layout() const;

    quint64 m_splitPages = 80;
    bool m_addEmptyPages = false;
    double m_creep = 0.0;
};
