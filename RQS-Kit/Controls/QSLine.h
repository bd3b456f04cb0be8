#pragma once

#include <QPointF>

// One segment in fractions of the size of the view that draws it: (0, 0) its origin, (1, 1) the
// opposite corner.
class QSLine
{
public:
    QSLine(const QPointF &startPoint, const QPointF &endPoint);
    static QSLine lineFrom(const QPointF &startPoint, const QPointF &endPoint);

    QPointF startPoint() const;
    void setStartPoint(const QPointF &point);
    QPointF endPoint() const;
    void setEndPoint(const QPointF &point);

private:
    QPointF m_startPoint;
    QPointF m_endPoint;
};
