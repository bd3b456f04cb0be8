#pragma once

#include "platform/ui/ForwardedPointer.h"
#include "platform/ui/View.h"

#include <QEvent>
#include <QPointer>

class QInputEvent;
class QS3DLayer;

// Hosts subviews whose layers live in a perspective container, so that clients can turn them in
// 3-D. The subviews are drawn only through their layers, which show them live (QSHostedView).
// Qt places the subview widgets untransformed, so the view finds the widget under the pointer
// through the layer geometry, claims the press itself and hands re-made events to that widget (a
// view's handlers take every button's press, drag and release; another widget gets Qt's events),
// with entered, exited and moved events as the pointer passes from one subview to another.
class QS3DView : public platform::View
{
    Q_OBJECT
public:
    explicit QS3DView(QWidget *parent = nullptr);

    // Only views can be turned: anything else is refused with a warning.
    void addSubview(QWidget *view) override;
    // Placed above or below the other subview's layer.
    void addSubview(platform::View *view, bool above, platform::View *relativeTo);

    QS3DLayer *layer3D() const { return m_layer3D; }
    double depthFactor() const;
    bool setDepthFactor(double depthFactor);
    double focalLength() const;
    bool setFocalLength(double millimetres);
    double fov() const;
    bool setFov(double degrees);

    // Claims the point, answering itself, when a turned subview lies under it; nullptr otherwise.
    QWidget *hitTest(const QPointF &point) override;
    // The point is in this view's own coordinates.
    platform::View *hoveredViewAt(const QPointF &point) const;
    // The widget the last hit test found inside a subview; presses go there.
    QWidget *forwardView() const { return m_forwardView; }

    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    // To the widget the last hit test found, else to the view holding it; never passed on.
    void scrollWheel(const platform::MouseEvent &event) override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Right and other buttons reach the subview's handlers as the left one does.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void adopt(platform::View *view);
    QPointF fromSuperview(const QPointF &point) const;
    QWidget *widgetAt(const QPointF &point) const;
    // The view's point in the untransformed coordinates of a direct subview.
    QPointF pointInSubview(const QPointF &point, platform::View *subview) const;
    platform::View *subviewHolding(QWidget *widget) const;
    platform::MouseEvent remade(const platform::MouseEvent &event, platform::View *target) const;
    // The event's place in a widget inside a subview, in the widget's untransformed Qt coordinates.
    QPointF pointIn(const platform::MouseEvent &event, QWidget *target) const;
    // Hands a press, drag or release of a button other than the left one to the handler while a
    // view takes the events; false, doing nothing, for the view's own handling.
    bool tookOtherButton(QMouseEvent *event, bool otherButton, void (platform::View::*handler)(const platform::MouseEvent &),
                         int clickCount);
    // To a view's handler, or as Qt's event of the type to any other widget.
    void forward(const platform::MouseEvent &event, void (platform::View::*handler)(const platform::MouseEvent &),
                 QEvent::Type type);
    // True when the widget took the event.
    bool sendAsQtEvent(const platform::MouseEvent &event, QEvent::Type type, QWidget *target) const;
    bool sendWheel(const platform::MouseEvent &event, QWidget *target) const;
    static bool sendUnpropagated(QInputEvent *event, QWidget *target);
    void updateMouseHover(const platform::MouseEvent &event, platform::View *view);

    QS3DLayer *m_layer3D;
    QPointer<QWidget> m_forwardView;
    QPointer<platform::View> m_lastHitView;
    // A widget under the pointer that is no view, with its parents up to the view holding it.
    platform::ForwardedHover m_widgetHover;
};
