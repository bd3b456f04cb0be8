#pragma once

#include "RQS-Kit/Controls/QSTurnedCursorView.h"
#include "platform/foundation/WeakDelegate.h"

#include <QCursor>
#include <QPointer>
#include <QSizeF>

#include <optional>

class QSResizeView;

class QSResizeViewDelegate
{
public:
    virtual ~QSResizeViewDelegate() = default;
    // state 0 begin, 1 changed, 2 end; change is what the view still has to grow by on the
    // dragged sides, measured against its present size.
    virtual void resizeViewDidResize(QSResizeView *view, quint64 sides, const QSizeF &change, int state) = 0;
};

// A transparent frame with handles that reports drags of its edges to its delegate; it never
// resizes itself. Presses inside the frame, away from the allowed edges, fall through to what lies
// below. Over an allowed edge the cursor is a double arrow across it. Main thread.
class QSResizeView : public QSTurnedCursorView
{
    Q_OBJECT
    Q_PROPERTY(quint64 allowedSides READ allowedSides WRITE setAllowedSides)
    Q_PROPERTY(double tabWidth READ tabWidth WRITE setTabWidth)
    Q_PROPERTY(double bottomTabWidth READ bottomTabWidth WRITE setBottomTabWidth)
    Q_PROPERTY(bool highlighted READ highlighted WRITE setHighlighted)
public:
    enum Side : quint64 { Top = 1, Bottom = 4, Left = 8, Right = 32 };

    // The sides under a point and the signs that turn pointer motion into a size change.
    struct Grab
    {
        quint64 sides = 0;
        QSizeF factors;
    };

    explicit QSResizeView(QWidget *parent = nullptr);
    ~QSResizeView() override;

    quint64 allowedSides() const;
    void setAllowedSides(quint64 sides);
    quint64 resizeSides() const;
    void setResizeSides(quint64 sides);
    double tabWidth() const;
    void setTabWidth(double width);
    double bottomTabWidth() const;
    void setBottomTabWidth(double width);
    QWidget *topTabContent() const;
    void setTopTabContent(QWidget *view);
    QWidget *bottomTabContent() const;
    void setBottomTabContent(QWidget *view);
    bool highlighted() const;
    void setHighlighted(bool highlighted);
    QSResizeViewDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSResizeViewDelegate> delegate);

    // Degrees of the edge under the point: 0 right, 90 top, their mean at corners.
    double angleForLocation(const QPointF &point) const;
    Grab grabForLocation(const QPointF &point) const;
    static QCursor cursorForAngle(double degrees);
    // The cursor follows the edge under the point, turned further by the extra angle; none away
    // from the allowed edges.
    void updateCursorForLocation(const QPointF &point, double extraDegrees);
    // In the edge band only, turned as the view is shown.
    std::optional<QCursor> cursorForLocation(const QPointF &point) override;

    QWidget *hitTest(const QPointF &point) override;
    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

protected:
    platform::TrackingArea pointerArea() const override;
    void resizeEvent(QResizeEvent *event) override;

private:
    std::optional<QCursor> cursorFor(const QPointF &point, double extraDegrees);
    void centreTabContents();
    void report(const QSizeF &change, int state);

    quint64 m_allowedSides = 63;
    Grab m_grab;
    QPointF m_orgLocation;
    double m_tabWidth = 0;
    double m_bottomTabWidth = 0;
    QPointer<QWidget> m_topTabContent;
    QPointer<QWidget> m_bottomTabContent;
    bool m_highlighted = false;
    platform::WeakDelegate<QSResizeViewDelegate, QSResizeView> m_delegate;
};
