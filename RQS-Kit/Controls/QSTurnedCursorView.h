#pragma once

#include "RQS-Kit/Controls/QSViewCursor.h"
#include "platform/ui/View.h"

#include <QCursor>
#include <QPolygonF>

#include <optional>

// A geometry editor laid over what it edits (the resize and rotation views), whose cursor is an
// outline turned to the edge or ring under the pointer and by the turn the view is shown at (its
// global layer rotation). While the pointer is over a part that takes presses in the active window,
// that cursor and the hint are on the window's stacks; they go when the pointer leaves, when the
// window stops being active, when the view leaves its window and when it goes, and they are right
// at once when the view makes its tracking area under a still pointer or its window becomes active
// under one. A remote-controlled view tracks nothing itself. Main thread.
class QSTurnedCursorView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString hint READ hint WRITE setHint)
    Q_PROPERTY(bool isRemoteControlled READ isRemoteControlled WRITE setIsRemoteControlled)
public:
    QString hint() const;
    void setHint(const QString &hint);
    bool isRemoteControlled() const;
    void setIsRemoteControlled(bool remote);
    std::optional<QCursor> currentCursor() const;
    // The whole-degree angle of the cached cursor; +infinity before the first one.
    double lastCursorAngle() const;
    // Degrees the view is shown turned by on the screen, counter-clockwise.
    double shownTurn() const;

    // None where presses pass through to what lies beneath.
    virtual std::optional<QCursor> cursorForLocation(const QPointF &point) = 0;

    void updateTrackingAreas() override;
    void mouseMoved(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;

protected:
    QSTurnedCursorView(const QString &hint, QWidget *parent);
    // Where the view follows the pointer, in its own coordinates.
    virtual platform::TrackingArea pointerArea() const = 0;
    // The outline turned by the angle rounded to whole degrees, and by the outline's own turn; made
    // anew only when the angle or the outline changed.
    QCursor turnedCursor(const QPolygonF &outline, double degrees, double outlineTurn = 0);
    void showCursor(const std::optional<QCursor> &cursor);
    bool event(QEvent *event) override;

private:
    QString m_hint;
    bool m_isRemoteControlled = false;
    const QPolygonF *m_lastOutline = nullptr;
    QCursor m_lastCursor;
    double m_lastCursorAngle;
    QSViewCursor m_cursor{this};
    int m_trackingArea = 0;
};
