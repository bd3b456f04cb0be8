#pragma once

#include "RQS-Kit/Controls/QSTurnedCursorView.h"
#include "platform/foundation/WeakDelegate.h"

#include <QBrush>
#include <QCursor>
#include <QImage>

#include <optional>

class QSRotationView;

class QSRotationViewDelegate
{
public:
    virtual ~QSRotationViewDelegate() = default;
    // Degrees turned since the press, counter-clockwise positive; inProgress is false at release.
    virtual void rotationViewDidRotate(QSRotationView *view, double degrees, bool inProgress) = 0;
    // Radius now / radius at the press. A delegate that takes resizes answers true.
    virtual bool takesResizes() const { return false; }
    virtual void rotationViewDidResize(QSRotationView *, double, bool) {}
};

// A white ring centred in the view that reports drags along it as turns (and, near its four axis
// points, as resizes when the delegate takes them); it never changes its own geometry. Only the
// ring, a 16-point band, takes presses; over it the cursor is a double arrow along the ring, or a
// four-way arrow near an axis point when resizes are taken. Main thread.
class QSRotationView : public QSTurnedCursorView
{
    Q_OBJECT
    Q_PROPERTY(double radiusReduction READ radiusReduction WRITE setRadiusReduction)
    Q_PROPERTY(bool dashed READ dashed WRITE setDashed)
    Q_PROPERTY(bool showCenterArea READ showCenterArea WRITE setShowCenterArea)
    Q_PROPERTY(QString fillColorName READ fillColorName WRITE setFillColorName)
    Q_PROPERTY(QString patternName READ patternName WRITE setPatternName)
    Q_PROPERTY(bool highlighted READ highlighted WRITE setHighlighted)
    Q_PROPERTY(double radius READ radius)
public:
    // Polar coordinates about the centre, angle in degrees in -180..180.
    struct Polar
    {
        double radius = 0;
        double angle = 0;
    };

    explicit QSRotationView(QWidget *parent = nullptr);
    ~QSRotationView() override;

    double radiusReduction() const;
    void setRadiusReduction(double percent);
    bool dashed() const;
    void setDashed(bool dashed);
    bool showCenterArea() const;
    void setShowCenterArea(bool show);
    QBrush fillColor() const;
    void setFillColor(const QBrush &color);
    QString fillColorName() const;
    void setFillColorName(const QString &description);
    QString patternName() const;
    void setPatternName(const QString &name);
    bool highlighted() const;
    void setHighlighted(bool highlighted);
    QSRotationViewDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSRotationViewDelegate> delegate);

    double radius() const;
    static Polar rotationForLocation(const QPointF &fromCentre);
    // Whether a point (relative to the centre) lies within 7 points of arc of an axis point.
    static bool isNearAxisPoint(const Polar &polar);
    // Nothing off the ring; the four-way cursor near an axis point when resizes are taken.
    std::optional<QCursor> cursorForLocation(const QPointF &point) override;
    bool showsRescaling() const;

    QWidget *hitTest(const QPointF &point) override;
    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

protected:
    platform::TrackingArea pointerArea() const override;

private:
    QPointF centre() const;
    bool takesResizes() const;
    // Tells the delegate of the turn, and of the resize while rescaling; false once this view went.
    bool tell(bool dragging);

    double m_radiusReduction = 0;
    bool m_dashed = false;
    bool m_showCenterArea = false;
    QBrush m_fillColor;
    QString m_fillColorName;
    QString m_patternName;
    QImage m_pattern;
    bool m_highlighted = false;
    platform::WeakDelegate<QSRotationViewDelegate, QSRotationView> m_delegate;
    Polar m_start;
    double m_lastAngle = 0;
    Polar m_change{1.0, 0.0};
    bool m_isRescaling = false;
    bool m_showRescaling = false;
};
