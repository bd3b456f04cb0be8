#include "app/booklet/VXCreepFilter.h"

VXCreepFilter::VXCreepFilter(QObject *parent)
    : VXOutputFilter(parent)
{
}

double VXCreepFilter::creep() const { return m_creep; }

void VXCreepFilter::setCreep(double creep)
{
    if (!isValidCreep(creep) || m_creep == creep)
        return;
    m_creep = creep;
    emit creepChanged(creep);
}

QPointF VXCreepFilter::offsetForDoublePage(quint64 side, bool isLeft) const
{
    // A side that does not exist (such as that of a blank filler page, which lies on no side) has
    // no shift, rather than one that grows with a wrapped index.
    if (side >= doubleCount())
        return QPointF();
    return inputOffsetWithCreep(side, isLeft, double(side / 2) * m_creep);
}
