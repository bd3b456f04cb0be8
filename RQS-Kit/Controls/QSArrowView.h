#pragma once

#include "platform/ui/View.h"

#include <QColor>
#include <QSizeF>

// A connector from one point to another, leaving and arriving along one of four directions, in
// straight segments with right-angle turns or as a curve, with a triangular head at each end that
// has a direction. Directions: 0 the line attaches from above, 1 from the right, 2 from below,
// 3 from the left; 4 or more: no head, and the end is not pulled back. Main thread.
class QSArrowView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QPointF fromPoint READ fromPoint WRITE setFromPoint)
    Q_PROPERTY(QPointF toPoint READ toPoint WRITE setToPoint)
    Q_PROPERTY(int fromDirection READ fromDirection WRITE setFromDirection)
    Q_PROPERTY(int toDirection READ toDirection WRITE setToDirection)
    Q_PROPERTY(QSizeF headSize READ headSize WRITE setHeadSize)
    Q_PROPERTY(double width READ width WRITE setWidth)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool curved READ curved WRITE setCurved)
    Q_PROPERTY(QPointF center READ center WRITE setCenter)
public:
    static constexpr int directionCount = 4;

    explicit QSArrowView(QWidget *parent = nullptr);

    // Only the start point redraws by itself; after the other setters the client redisplays.
    QPointF fromPoint() const;
    void setFromPoint(const QPointF &point);
    QPointF toPoint() const;
    void setToPoint(const QPointF &point);
    int fromDirection() const;
    void setFromDirection(int direction);
    int toDirection() const;
    void setToDirection(int direction);
    // Across the line, then along it.
    QSizeF headSize() const;
    void setHeadSize(const QSizeF &size);
    double width() const;
    void setWidth(double width);
    QColor color() const;
    void setColor(const QColor &color);
    bool curved() const;
    void setCurved(bool curved);
    // The routing point; a negative coordinate stands for the middle of the bounds on that axis.
    QPointF center() const;
    void setCenter(const QPointF &center);

    // The line through its routing points, without heads.
    QPainterPath connector() const;
    void drawRect(const QRectF &dirtyRect) override;

private:
    // The head's tip lies on the point, its base one head length back where the line attaches.
    void drawArrowAt(const QPointF &point, int direction) const;
    QPointF pulledBack(const QPointF &point, int direction) const;

    QPointF m_fromPoint, m_toPoint;
    int m_fromDirection = 0, m_toDirection = 0;
    QSizeF m_headSize;
    double m_width = 0;
    QColor m_color = Qt::white;
    bool m_curved = false;
    QPointF m_center{-1, -1};
};
