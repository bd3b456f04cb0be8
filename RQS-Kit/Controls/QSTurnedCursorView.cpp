#include "RQS-Kit/Controls/QSTurnedCursorView.h"

#include "RQS-Kit/Controls/QSRotatedCursor.h"
#include "RQS-Kit/Foundation/ViewExtension.h"

#include <QEvent>

#include <cmath>
#include <limits>

QSTurnedCursorView::QSTurnedCursorView(const QString &hint, QWidget *parent)
    : platform::View(parent)
    , m_hint(hint)
    , m_lastCursorAngle(std::numeric_limits<double>::infinity())
{
}

QString QSTurnedCursorView::hint() const { return m_hint; }
void QSTurnedCursorView::setHint(const QString &hint) { m_hint = hint; }
bool QSTurnedCursorView::isRemoteControlled() const { return m_isRemoteControlled; }

void QSTurnedCursorView::setIsRemoteControlled(bool remote)
{
    m_isRemoteControlled = remote;
    updateTrackingAreas();
}

std::optional<QCursor> QSTurnedCursorView::currentCursor() const { return m_cursor.current(); }
double QSTurnedCursorView::lastCursorAngle() const { return m_lastCursorAngle; }
double QSTurnedCursorView::shownTurn() const { return rqs::globalLayerRotation(this); }

QCursor QSTurnedCursorView::turnedCursor(const QPolygonF &outline, double degrees, double outlineTurn)
{
    const double angle = std::round(degrees);
    if (angle != m_lastCursorAngle || &outline != m_lastOutline) {
        m_lastCursor = QSRotatedCursor(outline, angle + outlineTurn);
        m_lastCursorAngle = angle;
        m_lastOutline = &outline;
    }
    return m_lastCursor;
}

void QSTurnedCursorView::showCursor(const std::optional<QCursor> &cursor) { m_cursor.show(cursor, m_hint); }

void QSTurnedCursorView::updateTrackingAreas()
{
    if (m_trackingArea)
        removeTrackingArea(m_trackingArea);
    m_trackingArea = 0;
    if (m_isRemoteControlled)
        return;
    bool inside = false;
    m_trackingArea = addTrackingAreaAtPointer(pointerArea(), &inside);
    // Made under a pointer that does not move, the area shows the cursor of where it is, or takes
    // back one the pointer is no longer under.
    if (inside)
        mouseMoved(pointerNow());
    else
        m_cursor.hide();
}

void QSTurnedCursorView::mouseMoved(const platform::MouseEvent &event) { showCursor(cursorForLocation(event.location)); }
void QSTurnedCursorView::mouseEntered(const platform::MouseEvent &event) { mouseMoved(event); }
void QSTurnedCursorView::mouseExited(const platform::MouseEvent &) { m_cursor.hide(); }

bool QSTurnedCursorView::event(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange)
        m_cursor.hide();
    return platform::View::event(event);
}
