#include "RQS-Kit/Controls/QSDragButton.h"

#include <cmath>

QSDragButton::QSDragButton(QWidget *parent)
    : QSButton(parent)
{
    setName(QStringLiteral("Grab"));
    // A drag needs the pointer: the keyboard cannot begin one, nor could it end one.
    setFocusPolicy(Qt::NoFocus);
}

bool QSDragButton::sendAction(const QString &, QObject *) { return false; }

void QSDragButton::keyDown(QKeyEvent *event) { platform::View::keyDown(event); }

int QSDragButton::dragState() const { return m_dragState; }

QPointF QSDragButton::startPoint() const { return m_startPoint; }

QSizeF QSDragButton::fullDragDistance() const { return m_fullDragDistance; }

QSizeF QSDragButton::lastDragDistance() const { return m_lastDragDistance; }

void QSDragButton::mouseDown(const platform::MouseEvent &event)
{
    m_dragState = 0;
    m_startPoint = event.locationInWindow;
    m_fullDragDistance = m_lastDragDistance = QSizeF(0, 0);
    Control::sendAction(action(), target(), this);
}

void QSDragButton::mouseDragged(const platform::MouseEvent &event)
{
    m_dragState = 1;
    const QPointF offset = event.locationInWindow - m_startPoint;
    const QSizeF distance(std::round(offset.x()), std::round(offset.y()));
    m_lastDragDistance = distance - m_fullDragDistance;
    m_fullDragDistance = distance;
    Control::sendAction(action(), target(), this);
}

void QSDragButton::mouseUp(const platform::MouseEvent &)
{
    m_lastDragDistance = QSizeF(0, 0);
    m_dragState = 2;
    Control::sendAction(action(), target(), this);
}
