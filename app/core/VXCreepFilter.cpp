#include "app/core/VXCreepFilter.h"

#include "platform/Log.h"

#include <cmath>

VXCreepFilter::VXCreepFilter(QObject *parent)
    : VXOutputFilter(parent)
{
}

double VXCreepFilter::creep() const { return m_creep; }

void VXCreepFilter::setCreep(double creep)
{
    // A zero paper width makes the document's creep infinite; such a shift would move every page away.
    if (!std::isfinite(creep)) {
        platform::logWarning(QStringLiteral("Could not set a creep of %1, because it is no finite number").arg(creep));
        return;
    }
    if (m_creep == creep)
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
    const double shift = double(side / 2) * m_creep;
    const QPointF start = inputOffset(side, isLeft);
    return QPointF(isLeft ? start.x() + shift : start.x() - shift, start.y());
}
