#pragma once

#include "platform/ui/View.h"

#include <QPointer>

class QS3DLayer;

// Hosts subviews whose layers live in a perspective container, so that clients can turn them in
// 3-D. The subviews are drawn only through their layers, whose contents are snapshots of them.
// Qt places the subview widgets untransformed, so the view finds the subview under the pointer
// through the layer geometry, claims the press itself and hands re-made events to that subview,
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
    platform::View *forwardView() const { return m_forwardView; }

    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void scrollWheel(const platform::MouseEvent &event) override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void adopt(platform::View *view);
    // The subview's frame on its layer; the client's turn is kept.
    static void placeLayer(platform::View *view);
    QPointF fromSuperview(const QPointF &point) const;
    // The view's point in the untransformed coordinates of a direct subview.
    QPointF pointInSubview(const QPointF &point, platform::View *subview) const;
    platform::MouseEvent remade(const platform::MouseEvent &event, platform::View *target) const;
    void updateMouseHover(const platform::MouseEvent &event, platform::View *view);

    QS3DLayer *m_layer3D;
    QPointer<platform::View> m_forwardView;
    QPointer<platform::View> m_lastHitView;
};
