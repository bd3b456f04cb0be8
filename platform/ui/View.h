#pragma once

#include "platform/printing/Printable.h"
#include "platform/ui/Autoresizing.h"
#include "platform/ui/ForwardedPointer.h"
#include "platform/ui/MouseEvent.h"
#include "platform/ui/TrackingArea.h"

#include <QCursor>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <optional>

class QKeyEvent;
class QSinglePointEvent;

namespace platform {

class Layer;

// A widget with y-up geometry: in a view that is not flipped, drawing, event locations, bounds and
// the frames of subviews have their origin at the lower-left corner and y growing upwards. A flipped
// view keeps Qt's y-down space. GUI thread.
//
// A superview's coordinates are y-up unless the superview is a flipped View; a plain QWidget parent
// counts as y-up too. Without a layout, an unflipped view keeps its subviews' distance from its
// bottom edge when its height changes, so frames stay what they were set to; a subview with an
// autoresizing mask then takes up its share of the change (see autoresizedFrame).
//
// Mouse events go to the view that hitTest names, asked from the outermost view of the chain as a
// hit test from the top would; nullptr hands the event, and the pointer's hovering, to whatever
// lies beneath. Only the left button drives mouseDown, mouseDragged and mouseUp. The base's
// mouseDown, mouseDragged, mouseUp, scrollWheel and keyDown pass the event on to the superview, as
// Qt does with an ignored event.
class View : public QWidget, public Printable
{
    Q_OBJECT
    Q_PROPERTY(unsigned autoresizingMask READ autoresizingMask WRITE setAutoresizingMask)
public:
    explicit View(QWidget *parent = nullptr);
    // Lets go of the subviews lent to it rather than taking them along (setLentSubview).
    ~View() override;

    // A subview shown here for a while that is no longer this view's (a view a container handed
    // back to its caller while it fades out): should this view go meanwhile, it lets the subview
    // go, without a parent, instead of deleting it. Lent until set otherwise.
    static void setLentSubview(QWidget *subview, bool lent);

    virtual bool isFlipped() const;

    // In the superview's coordinates; a view without a superview keeps the origin it is given
    // until it gets one.
    QRectF frame() const;
    virtual void setFrame(const QRectF &frame);
    QRectF bounds() const;

    // Autoresizing flags; applied when the superview's size changes.
    unsigned autoresizingMask() const;
    void setAutoresizingMask(unsigned mask);

    // nullptr stands for the window's base coordinates (see MouseEvent::locationInWindow).
    QPointF convertPointFromView(const QPointF &point, const View *view) const;
    QPointF convertPointToView(const QPointF &point, const View *view) const;

    // The parent widget, unless the view is a window of its own.
    QWidget *superview() const;
    // Subviews in drawing order, the topmost last.
    QList<QWidget *> subviews() const;
    // On top of the others; a view that was hidden on purpose stays hidden.
    virtual void addSubview(QWidget *view);
    // The caller owns the view again; its frame is kept for the next superview.
    void removeFromSuperview();

    // The point is in the superview's coordinates. The deepest visible widget there, this view
    // when no subview is hit, nullptr when the point lies outside the frame.
    virtual QWidget *hitTest(const QPointF &point);

    // A layer-backed view draws its root layer's background, sublayers and border over its own
    // drawing, in its own coordinates, all at the root layer's opacity; the root layer follows the
    // view's bounds. A layer moved into another layer tree is drawn by that tree's view instead.
    bool wantsLayer() const;
    void setWantsLayer(bool wants);
    // nullptr unless the view wants a layer.
    Layer *layer() const;

    void setNeedsDisplay(bool needsDisplay);
    void setNeedsDisplayInRect(const QRectF &rect);
    // Draws into GraphicsContext::current(), set up in this view's coordinates.
    void drawRect(const QRectF &dirtyRect) override;

    virtual void mouseDown(const MouseEvent &event);
    virtual void mouseDragged(const MouseEvent &event);
    virtual void mouseUp(const MouseEvent &event);
    // Pointer moves without a button, while over a tracking area that asks for them; once per move.
    virtual void mouseMoved(const MouseEvent &event);
    virtual void mouseEntered(const MouseEvent &event);
    virtual void mouseExited(const MouseEvent &event);
    virtual void scrollWheel(const MouseEvent &event);
    // Needs a focus policy that lets the view take the focus.
    virtual void keyDown(QKeyEvent *event);

    // Answers the area's identifier.
    int addTrackingArea(TrackingArea area);
    void removeTrackingArea(int identifier);
    QList<TrackingArea> trackingAreas() const;
    // Whether the pointer is in the area, as far as the view has heard.
    bool isPointerInside(int identifier) const;
    // Called when the view's size or superview changed, so that areas can follow it.
    virtual void updateTrackingAreas();

    // The topmost rectangle under the pointer sets the cursor, unless the window has its cursor
    // rectangles disabled. resetCursorRects builds them again when they are needed after
    // invalidateCursorRects or a change of size.
    void addCursorRect(const QRectF &rect, const QCursor &cursor);
    void discardCursorRects();
    void invalidateCursorRects();
    virtual void resetCursorRects();

    // Pagination for printing: a view that knows its pages answers the first page number and the
    // count; the base knows none. rectForPage answers the part of the view a page shows (bounds).
    bool knowsPageRange(int &first, int &count) override;
    QRectF rectForPage(int page) override;

protected:
    // Autoresizing: called on every subview when its superview's size changed; the base sets the
    // frame the mask gives for the superview's size now (none keeps it). Frames set by code never
    // come here.
    virtual void resizeWithOldSuperviewSize(const QSizeF &oldSize);
    // Called when this view's size changed; the base has every subview view take up the change by
    // its autoresizing mask. A view that places its subviews itself leaves them alone.
    virtual void resizeSubviewsWithOldSize(const QSizeF &oldSize);

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Qt's event in this view's coordinates.
    MouseEvent mouseEvent(const QSinglePointEvent *event, int clickCount) const;
    // The pointer where it is now, as an event of this view without buttons.
    MouseEvent pointerNow() const;
    // Adds the area, inside from the start (AssumeInside) when the pointer is in it now, the view
    // shown and its window under the pointer (and active, for an area that asks for it), so that an
    // area made again under a pointer that does not move reports the next exit; tells which
    // through inside.
    int addTrackingAreaAtPointer(TrackingArea area, bool *inside);
    // Whether an area with these options hears the pointer now.
    bool isTrackingActive(TrackingArea::Options options) const;

private:
    struct Tracked
    {
        TrackingArea area;
        bool inside = false;
    };
    struct CursorRect
    {
        QRectF rect;
        QCursor cursor;
    };

    static QRectF frameOf(const QWidget *widget);
    static void setFrameOf(QWidget *widget, const QRectF &frame);
    // The size that the subviews' places were computed for; a hidden view is resized without an
    // event, so its subviews are moved to their bottom distance and autoresized when it next settles.
    static int placementHeight(const QWidget *superview);
    void settleSubviews();

    QPointF fromQt(const QPointF &point) const;
    QRectF fromQt(const QRectF &rect) const;
    QPointF pointFromSuperview(const QPointF &point) const;
    QPointF pointInSuperview(const QPointF &globalPoint) const;
    void deliver(QEvent *event, void (View::*handler)(const MouseEvent &), const MouseEvent &mouse);
    bool redispatched(QSinglePointEvent *event);
    void track(const MouseEvent &event, bool reportMoves);
    QRectF areaRect(const TrackingArea &area) const;
    // Only the areas that work in the active window alone, when keyWindowOnly.
    void exitAll(const MouseEvent &event, bool keyWindowOnly = false);
    void followKeyWindow(bool active);
    void updateCursor(const QPointF &location);
    bool cursorRectsEnabled() const;

    QPointer<Layer> m_layer;
    QList<Tracked> m_trackingAreas;
    // Where the pointer was when the areas were last told of a move.
    std::optional<QPointF> m_lastMoved;
    int m_lastTrackingArea = 0;
    QList<CursorRect> m_cursorRects;
    bool m_cursorRectsValid = false;
    std::optional<QPointF> m_detachedOrigin;
    QSize m_placementSize;
    unsigned m_autoresizingMask = Autoresizing::None;
    QPointer<QWidget> m_pressTarget;
    // The widget beneath that hover moves are passed to, entered and left like the one under the
    // pointer.
    ForwardedHover m_hover;
    bool m_pressForwarded = false;
    bool m_passedOn = false;
    // A release ends the click its press began: the second of a double click counts 2.
    int m_pressClickCount = 1;
};

} // namespace platform
