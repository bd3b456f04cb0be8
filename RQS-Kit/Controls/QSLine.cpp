#include "RQS-Kit/Controls/QSLine.h"

QSLine::QSLine(const QPointF &startPoint, const QPointF &endPoint)
    : m_startPoint(startPoint)
    , m_endPoint(endPoint)
{
}

QSLine QSLine::lineFrom(const QPointF &startPoint, const QPointF &endPoint) { return QSLine(startPoint, endPoint); }

QPointF QSLine::startPoint() const { return m_startPoint; }
void QSLine::setStartPoint(const QPointF &point) { m_startPoint = point; }
QPointF QSLine::endPoint() const { return m_endPoint; }
void QSLine::setEndPoint(const QPointF &point) { m_endPoint = point; }
