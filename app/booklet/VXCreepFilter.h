#pragma once

#include "app/booklet/VXOutputFilter.h"

// The output filter with creep compensation: the pages of inner sheets move towards the fold, so
// that the outer pages of the folded booklet are not pushed outwards.
class VXCreepFilter : public VXOutputFilter
{
    Q_OBJECT
    Q_PROPERTY(double creep READ creep WRITE setCreep NOTIFY creepChanged)

public:
    explicit VXCreepFilter(QObject *parent = nullptr);

    // Shift per sheet, as a fraction of one page's width (half a sheet side).
    double creep() const;
    void setCreep(double creep);

    QPointF offsetForDoublePage(quint64 side, bool isLeft) const override;

signals:
    void creepChanged(double creep);

private:
    double m_creep = 0.0;
};
