#pragma once

#include "platform/foundation/EdgeInsets.h"

#include <QColor>
#include <QSlider>

#include <optional>

class QPainterPath;

namespace platform {
class GraphicsContext;
}

// A horizontal slider whose knob position and value are related by a curve (see QSSliderCurve), so
// that part of the value range gets more of the track. The QSlider's integer range stands for
// knob positions from minValue to maxValue. Two optional limits, on the knob's scale, are drawn
// on the bar (markers, or a box with the parts outside them dimmed) and, with forceLimits, pull
// the knob back when the value is read. Main thread.
class QSSlider : public QSlider
{
    Q_OBJECT
    Q_PROPERTY(double minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(double maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(double doubleValue READ doubleValue WRITE setDoubleValue NOTIFY doubleValueChanged)
    Q_PROPERTY(int sliderCurve READ sliderCurve WRITE setSliderCurve)
    Q_PROPERTY(double expFactor READ expFactor WRITE setExpFactor)
    Q_PROPERTY(double minLimit READ minLimitValue WRITE setMinLimit)
    Q_PROPERTY(double maxLimit READ maxLimitValue WRITE setMaxLimit)
    Q_PROPERTY(bool forceLimits READ forceLimits WRITE setForceLimits)
    Q_PROPERTY(int limitVisuals READ limitVisuals WRITE setLimitVisuals)
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(QString insetsString READ insetsString WRITE setInsetsByString)
    Q_PROPERTY(QString boxInsetsString READ boxInsetsString WRITE setBoxInsetsByString)
    Q_PROPERTY(QString outlineColorName READ outlineColorName WRITE setOutlineColorName)
    Q_PROPERTY(QString backgroundColorName READ backgroundColorName WRITE setBackgroundColorName)
    Q_PROPERTY(double outlineIntensity READ outlineIntensity WRITE setOutlineIntensity)
    Q_PROPERTY(double backgroundIntensity READ backgroundIntensity WRITE setBackgroundIntensity)
    Q_PROPERTY(double valueControl READ valueControl WRITE setValueControl NOTIFY valueControlChanged)

public:
    // Bits of limitVisuals.
    enum LimitVisual { Markers = 1, RectangularBox = 2, RoundedBox = 4 };

    explicit QSSlider(QWidget *parent = nullptr);
    // As an interface file makes it: the rounded box's corners have a radius of 4.
    static QSSlider *fromInterfaceFile(QWidget *parent);

    double minValue() const;
    void setMinValue(double minValue);
    double maxValue() const;
    void setMaxValue(double maxValue);

    // The value through the curve. With an empty range it is minValue.
    double doubleValue();
    void setDoubleValue(double value);
    // Where the knob stands, between minValue and maxValue.
    double knobValue() const;
    void setKnobValue(double position);

    int sliderCurve() const;
    // The knob stays, so the value read back changes.
    void setSliderCurve(int curve);
    double expFactor() const;
    // The value stays, so the knob moves.
    void setExpFactor(double factor);

    std::optional<double> minLimit() const;
    std::optional<double> maxLimit() const;
    // NaN clears the limit.
    void setMinLimit(double limit);
    void setMaxLimit(double limit);
    bool forceLimits() const;
    void setForceLimits(bool forceLimits);

    int limitVisuals() const;
    void setLimitVisuals(int visuals);
    double cornerRadius() const;
    void setCornerRadius(double radius);
    platform::EdgeInsets insets() const;
    // As interface files write them: bottom, left, top and right.
    QString insetsString() const;
    void setInsetsByString(const QString &text);
    platform::EdgeInsets boxInsets() const;
    QString boxInsetsString() const;
    void setBoxInsetsByString(const QString &text);
    // Empty without an explicit colour.
    QString outlineColorName() const;
    void setOutlineColorName(const QString &description);
    QString backgroundColorName() const;
    void setBackgroundColorName(const QString &description);
    // Without an explicit colour: above 0 the control background at that alpha, otherwise the
    // label colour at minus that alpha.
    double outlineIntensity() const;
    void setOutlineIntensity(double intensity);
    double backgroundIntensity() const;
    void setBackgroundIntensity(double intensity);

    // A copy of doubleValue, kept by a binding, for others to bind to.
    double valueControl() const;
    void setValueControl(double value);

    // The knob's x at a position of the knob's scale, in widget coordinates.
    double xForPosition(double position) const;

signals:
    void doubleValueChanged(double value);
    void valueControlChanged(double value);

protected:
    // Qt's slider goes on after it announced a new value while it handles an event: the value is
    // announced once that handling is done, so that whoever hears it may delete the slider or its
    // window.
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void announce(double value);
    double minLimitValue() const;
    double maxLimitValue() const;
    double fractionOf(double x) const;
    void showKnob();
    QColor intensityColor(double intensity) const;
    QColor outlineColor() const;
    void drawLimits(QPainter &painter, const QRect &groove) const;
    void drawBox(QPainter &painter) const;
    void drawBoxInner(platform::GraphicsContext &context, const QPainterPath &inner, const QPainterPath &outline) const;
    void shadowOf(platform::GraphicsContext &context, const QRectF &shape, const QRectF &area) const;

    double m_minValue = 0;
    double m_maxValue = 1;
    double m_knob = 0;
    int m_sliderCurve = 0;
    double m_expFactor = 3.0;
    std::optional<double> m_minLimit;
    std::optional<double> m_maxLimit;
    bool m_forceLimits = false;
    int m_limitVisuals = 0;
    double m_cornerRadius = 0.0;
    platform::EdgeInsets m_insets;
    platform::EdgeInsets m_boxInsets;
    QColor m_outlineColor;
    QColor m_backgroundColor;
    // The look the box had before intensities could be set.
    double m_outlineIntensity = -0.35;
    double m_backgroundIntensity = 0.5;
    double m_valueControl = 0;
    bool m_showingKnob = false;
    int m_handling = 0;
    std::optional<double> m_heldValue;
};
