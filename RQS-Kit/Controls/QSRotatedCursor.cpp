#include "RQS-Kit/Controls/QSRotatedCursor.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

QCursor QSRotatedCursor(const QPolygonF &outline, double degrees)
{
    // y-up turned counter-clockwise is y-down turned clockwise, hence the negated angle.
    const QTransform turn = QTransform(1, 0, 0, -1, 0, 16) * QTransform().translate(8, 8).rotate(-degrees).translate(-8, -8);
    QPainterPath path;
    path.addPolygon(turn.map(outline));
    path.closeSubpath();
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path, QPen(Qt::white, 3.0));
    painter.fillPath(path, Qt::black);
    painter.end();
    return QCursor(picture, 8, 8);
}
