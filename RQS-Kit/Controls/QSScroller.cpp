#include "RQS-Kit/Controls/QSScroller.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionSlider>

#include <algorithm>

QSScroller::QSScroller(QWidget *parent)
    : QScrollBar(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

QSScroller::QSScroller(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

bool QSScroller::lightKnob() const { return m_lightKnob; }

void QSScroller::setLightKnob(bool light)
{
    m_lightKnob = light;
    update();
}

QRectF QSScroller::lightKnobRect(const QRectF &knob, Qt::Orientation orientation)
{
    const double thickness = orientation == Qt::Horizontal ? knob.height() : knob.width();
    const double slim = std::max(thickness - 6.0, std::min(thickness, 9.0));
    const double inset = (thickness - slim) / 2;
    return orientation == Qt::Horizontal ? knob.adjusted(0, inset, 0, -inset) : knob.adjusted(inset, 0, -inset, 0);
}

void QSScroller::paintEvent(QPaintEvent *event)
{
    if (!m_lightKnob) {
        QScrollBar::paintEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect knob = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    if (knob.isEmpty())
        return;
    const QRectF slim = lightKnobRect(knob, orientation());
    const double radius = std::min(slim.width(), slim.height()) / 2;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(slim, radius, radius);
    painter.fillPath(path, QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.5f));
    painter.strokePath(path, QPen(QColor::fromRgbF(0, 0, 0, 0.2f), 1.0));
}
