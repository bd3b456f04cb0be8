#pragma once

#include "RQS-Kit/Controls/QSButton.h"

// A grab handle: in place of a click it reports a drag gesture to its target, one action on the
// press (dragState 0), one per drag (1) and one on the release (2). Inside the action the target
// reads the distances, rounded to whole points and y-up. It looks like the "Grab" button.
class QSDragButton : public QSButton
{
    Q_OBJECT
    Q_PROPERTY(int dragState READ dragState)
    Q_PROPERTY(QPointF startPoint READ startPoint)
    Q_PROPERTY(QSizeF fullDragDistance READ fullDragDistance)
    Q_PROPERTY(QSizeF lastDragDistance READ lastDragDistance)

public:
    explicit QSDragButton(QWidget *parent = nullptr);

    int dragState() const;
    // In the window's coordinates.
    QPointF startPoint() const;
    // From the start to the last drag.
    QSizeF fullDragDistance() const;
    // The change of the full distance at the last drag; zero on the release.
    QSizeF lastDragDistance() const;

    // Not clicked in code nor from the keyboard: the target would hear a drag begin that never ends.
    bool sendAction(const QString &action, QObject *target) override;
    void keyDown(QKeyEvent *event) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

private:
    int m_dragState = 0;
    QPointF m_startPoint;
    QSizeF m_fullDragDistance;
    QSizeF m_lastDragDistance;
};
