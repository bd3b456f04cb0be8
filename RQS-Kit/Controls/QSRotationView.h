#pragma once

#include "RQS-Kit/Controls/QSViewCursor.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/ui/View.h"

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
// ring, a 16-point band, takes presses. Main thread.
class QSRotationView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(double radiusReduction READ radiusReduction WRITE setRadiusReduction)
    Q_PROPERTY(bool dashed READ dashed WRITE setDashed)
    Q_PROPERTY(bool showCenterArea READ showCenterArea WRITE setShowCenterArea)
    Q_PROPERTY(QString fillColorName READ fillColorName WRITE setFillColorName)
    Q_PROPERTY(QString patternName READ patternName WRITE setPatternName)
    Q_PROPERTY(bool highlighted READ highlighted WRITE setHighlighted)
    Q_PROPERTY(QString hint READ hint WRITE setHint)
    Q_PROPERTY(bool isRemoteControlled READ isRemoteControlled WRITE setIsRemoteControlled)
    Q_PROPERTY(double layerRotation READ layerRotation WRITE setLayerRotation)
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
    QString hint() const;
    void setHint(const QString &hint);
    bool isRemoteControlled() const;
    void setIsRemoteControlled(bool remote);
    // Views are not turned by layers here; a client that shows the view turned says by how much.
    double layerRotation() const;
    void setLayerRotation(double degrees);
    QSRotationViewDelegate *delegate() const;
    void setDelegate(QSRotationViewDelegate *delegate);

    double radius() const;
    static Polar rotationForLocation(const QPointF &fromCentre);
    // Whether a point (relative to the centre) lies within 7 points of arc of an axis point.
    static bool isNearAxisPoint(const Polar &polar);
    // Nothing off the ring; the four-way cursor near an axis point when resizes are taken.
    std::optional<QCursor> cursorForLocation(const QPointF &point);
    bool showsRescaling() const;
    double lastCursorAngle() const;

    QWidget *hitTest(const QPointF &point) override;
    void drawRect(const QRectF &dirtyRect) override;
    void updateTrackingAreas() override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseMoved(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;

protected:
    bool event(QEvent *event) override;

private:
    QPointF centre() const;
    bool takesResizes() const;
    QCursor cursorForAngle(double degrees) const;

    double m_radiusReduction = 0;
    bool m_dashed = false;
    bool m_showCenterArea = false;
    QBrush m_fillColor;
    QString m_fillColorName;
    QString m_patternName;
    QImage m_pattern;
    bool m_highlighted = false;
    QString m_hint;
    bool m_isRemoteControlled = false;
    double m_layerRotation = 0;
    platform::WeakDelegate<QSRotationViewDelegate> m_delegate;
    Polar m_start;
    double m_lastAngle = 0;
    Polar m_change{1.0, 0.0};
    bool m_isRescaling = false;
    bool m_showRescaling = false;
    QCursor m_lastCursor;
    double m_lastCursorAngle;
    QSViewCursor m_cursor{this};
    int m_trackingArea = 0;
};
