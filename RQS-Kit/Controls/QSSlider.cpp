#include "RQS-Kit/Controls/QSSlider.h"

#include "RQS-Kit/Controls/QSSliderCurve.h"
#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/PainterGraphicsContext.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionSlider>

#include <cmath>
#include <utility>

namespace {

// Positions are kept as doubles; the integer range only places the knob on screen.
constexpr int steps = 10000;
constexpr double knobHeight = 17.0;

std::optional<double> limitFrom(double limit) { return std::isnan(limit) ? std::nullopt : std::optional(limit); }

// A context over the painter that keeps the widget's y-down coordinates; shadow offsets stay y-up.
struct WidgetContext
{
    WidgetContext(QPainter &painter, double height)
        : context(&painter, height)
    {
        context.concat(QTransform(1, 0, 0, -1, 0, height));
    }
    platform::PainterGraphicsContext context;
};

// Insets as interface files write them.
QString interfaceText(const platform::EdgeInsets &insets)
{
    return QStringLiteral("%1 %2 %3 %4").arg(insets.bottom).arg(insets.left).arg(insets.top).arg(insets.right);
}

QString colorText(const QColor &color) { return color.isValid() ? QSColor::descriptionForNSColor(color) : QString(); }

} // namespace

QSSlider::QSSlider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
{
    setRange(0, steps);
    connect(this, &QSlider::valueChanged, this, [this](int value) {
        if (m_showingKnob)
            return;
        m_knob = m_minValue + (m_maxValue - m_minValue) * value / steps;
        announce(doubleValue());
    });
    if (!platform::KeyValue::bind(this, QStringLiteral("valueControl"), this, QStringLiteral("doubleValue")))
        platform::logWarning(QStringLiteral("QSSlider: valueControl cannot follow doubleValue"));
}

QSSlider *QSSlider::fromInterfaceFile(QWidget *parent)
{
    auto *slider = new QSSlider(parent);
    slider->m_cornerRadius = 4.0;
    return slider;
}

double QSSlider::minValue() const { return m_minValue; }

void QSSlider::setMinValue(double minValue)
{
    m_minValue = minValue;
    showKnob();
}

double QSSlider::maxValue() const { return m_maxValue; }

void QSSlider::setMaxValue(double maxValue)
{
    m_maxValue = maxValue;
    showKnob();
}

double QSSlider::doubleValue()
{
    double position = m_knob;
    if (m_forceLimits) {
        if (m_maxLimit)
            position = std::min(position, *m_maxLimit);
        if (m_minLimit)
            position = std::max(position, *m_minLimit);
        if (position != m_knob)
            setKnobValue(position);
    }
    return m_minValue + (m_maxValue - m_minValue) * QSSliderCurve::valueFraction(m_sliderCurve, fractionOf(position), m_expFactor);
}

void QSSlider::setDoubleValue(double value)
{
    setKnobValue(m_minValue + (m_maxValue - m_minValue) * QSSliderCurve::positionFraction(m_sliderCurve, fractionOf(value), m_expFactor));
}

double QSSlider::knobValue() const { return m_knob; }

void QSSlider::setKnobValue(double position)
{
    m_knob = position;
    showKnob();
    announce(m_minValue + (m_maxValue - m_minValue) * QSSliderCurve::valueFraction(m_sliderCurve, fractionOf(position), m_expFactor));
}

void QSSlider::announce(double value)
{
    if (m_handling > 0) {
        m_heldValue = value;
        return;
    }
    emit doubleValueChanged(value);
}

bool QSSlider::event(QEvent *event)
{
    const QPointer<QSSlider> self(this);
    ++m_handling;
    const bool handled = QSlider::event(event);
    if (self && --m_handling == 0 && m_heldValue)
        emit doubleValueChanged(*std::exchange(m_heldValue, std::nullopt));
    if (self)
        return handled;
    event->accept();
    return true;
}

int QSSlider::sliderCurve() const { return m_sliderCurve; }

void QSSlider::setSliderCurve(int curve) { m_sliderCurve = curve; }

double QSSlider::expFactor() const { return m_expFactor; }

void QSSlider::setExpFactor(double factor)
{
    const double value = doubleValue();
    m_expFactor = factor;
    setDoubleValue(value);
}

std::optional<double> QSSlider::minLimit() const { return m_minLimit; }
std::optional<double> QSSlider::maxLimit() const { return m_maxLimit; }
double QSSlider::minLimitValue() const { return m_minLimit.value_or(std::nan("")); }
double QSSlider::maxLimitValue() const { return m_maxLimit.value_or(std::nan("")); }

void QSSlider::setMinLimit(double limit)
{
    m_minLimit = limitFrom(limit);
    update();
}

void QSSlider::setMaxLimit(double limit)
{
    m_maxLimit = limitFrom(limit);
    update();
}

bool QSSlider::forceLimits() const { return m_forceLimits; }
void QSSlider::setForceLimits(bool forceLimits) { m_forceLimits = forceLimits; }
int QSSlider::limitVisuals() const { return m_limitVisuals; }

void QSSlider::setLimitVisuals(int visuals)
{
    m_limitVisuals = visuals;
    update();
}

double QSSlider::cornerRadius() const { return m_cornerRadius; }
void QSSlider::setCornerRadius(double radius) { m_cornerRadius = radius; }
platform::EdgeInsets QSSlider::insets() const { return m_insets; }
QString QSSlider::insetsString() const { return interfaceText(m_insets); }
void QSSlider::setInsetsByString(const QString &text) { m_insets = platform::EdgeInsets::fromString(text); }
platform::EdgeInsets QSSlider::boxInsets() const { return m_boxInsets; }
QString QSSlider::boxInsetsString() const { return interfaceText(m_boxInsets); }
void QSSlider::setBoxInsetsByString(const QString &text) { m_boxInsets = platform::EdgeInsets::fromString(text); }
QString QSSlider::outlineColorName() const { return colorText(m_outlineColor); }
void QSSlider::setOutlineColorName(const QString &description) { m_outlineColor = QSColor::colorFromDescription(description).color(); }
QString QSSlider::backgroundColorName() const { return colorText(m_backgroundColor); }
void QSSlider::setBackgroundColorName(const QString &description) { m_backgroundColor = QSColor::colorFromDescription(description).color(); }

double QSSlider::outlineIntensity() const { return m_outlineIntensity; }

void QSSlider::setOutlineIntensity(double intensity)
{
    m_outlineIntensity = intensity;
    update();
}

double QSSlider::backgroundIntensity() const { return m_backgroundIntensity; }

void QSSlider::setBackgroundIntensity(double intensity)
{
    m_backgroundIntensity = intensity;
    update();
}

double QSSlider::valueControl() const { return m_valueControl; }

void QSSlider::setValueControl(double value)
{
    m_valueControl = value;
    emit valueControlChanged(value);
}

QColor QSSlider::intensityColor(double intensity) const
{
    QColor color = palette().color(intensity > 0 ? QPalette::Base : QPalette::WindowText);
    color.setAlphaF(float(std::min(1.0, std::abs(intensity))));
    return color;
}

QColor QSSlider::outlineColor() const { return m_outlineColor.isValid() ? m_outlineColor : intensityColor(m_outlineIntensity); }

double QSSlider::xForPosition(double position) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const double fraction = std::clamp(fractionOf(position), 0.0, 1.0);
    return groove.x() + handle.width() / 2.0 + fraction * (groove.width() - handle.width());
}

double QSSlider::fractionOf(double x) const
{
    // An empty range has no fraction but its start.
    const double range = m_maxValue - m_minValue;
    return range > 0 ? (x - m_minValue) / range : 0.0;
}

void QSSlider::showKnob()
{
    m_showingKnob = true;
    setValue(int(std::lround(std::clamp(fractionOf(m_knob), 0.0, 1.0) * steps)));
    m_showingKnob = false;
    update();
}

void QSSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QStyleOptionSlider option;
    initStyleOption(&option);
    if (m_limitVisuals & (RectangularBox | RoundedBox)) {
        drawBox(painter);
        const int d = std::max(0, int(std::floor((height() - knobHeight) / 2)));
        option.rect = rect().adjusted(d, d, -d, -d);
    }
    // The limits lie on the groove but under the knob.
    option.subControls = QStyle::SC_SliderGroove;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    drawLimits(painter, style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this));
    option.subControls = QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

void QSSlider::drawLimits(QPainter &painter, const QRect &groove) const
{
    if (m_limitVisuals == 0 || !(m_maxValue > m_minValue))
        return;
    WidgetContext widget(painter, height());
    platform::GraphicsContext &context = widget.context;
    const bool box = m_limitVisuals & (RectangularBox | RoundedBox);
    const double xMin = xForPosition(m_minLimit.value_or(m_minValue));
    const double xMax = xForPosition(m_maxLimit.value_or(m_maxValue));
    const double yMarker = groove.bottom() + 1;
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -2);
    const QRectF allowed(xMin, area.y(), xMax - xMin, area.height());
    QColor dimmed = palette().color(QPalette::Base);
    dimmed.setAlphaF(0.75);
    QColor band = palette().color(QPalette::WindowText);
    band.setAlphaF(0.3);
    const double bandY = groove.center().y() - 1.5;
    const auto dim = [&](const QRectF &outside) {
        shadowOf(context, outside, allowed);
        context.setFill(dimmed);
        context.fillRect(outside);
    };
    const auto marker = [&](double x, const QRectF &bandRect) {
        QPainterPath triangle;
        triangle.moveTo(x, yMarker);
        triangle.lineTo(x + 3, yMarker + 5);
        triangle.lineTo(x - 3, yMarker + 5);
        triangle.closeSubpath();
        context.setFill(Qt::black);
        context.fillPath(triangle);
        context.setFill(band);
        context.fillRect(bandRect);
    };
    if (m_minLimit && *m_minLimit > m_minValue) {
        if (box)
            dim(QRectF(area.x(), area.y(), xMin - area.x(), area.height()));
        else
            marker(xMin, QRectF(groove.x() + 1, bandY, xMin - groove.x() - 1, 3.0));
    }
    if (m_maxLimit && *m_maxLimit < m_maxValue) {
        if (box)
            dim(QRectF(xMax, area.y(), area.right() - xMax, area.height()));
        else
            marker(xMax, QRectF(xMax, bandY, groove.x() + groove.width() - 1 - xMax, 3.0));
    }
}

void QSSlider::drawBox(QPainter &painter) const
{
    WidgetContext widget(painter, height());
    platform::GraphicsContext &context = widget.context;
    const QRectF frame = rect();
    const double radius = std::max(0.0, m_cornerRadius - 1.0);
    QPainterPath fill;
    fill.addRoundedRect(frame.adjusted(2, 2, -2, -2), radius, radius);
    context.setFill(m_backgroundColor.isValid() ? m_backgroundColor : intensityColor(m_backgroundIntensity));
    context.fillPath(fill);
    if (m_limitVisuals & RectangularBox) {
        const platform::EdgeInsets &b = m_boxInsets;
        const QRectF box = frame.adjusted(-b.left, -b.top, b.right, b.bottom);
        QPainterPath inner, outline;
        inner.addRect(box.adjusted(1, 1, -1, -1));
        outline.addRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
        drawBoxInner(context, inner, outline);
    }
    if (m_limitVisuals & RoundedBox) {
        const platform::EdgeInsets &i = m_insets;
        const QRectF bar = frame.adjusted(-i.left, -i.top, i.right, i.bottom + 1);
        const double outer = std::max(0.0, m_cornerRadius - 0.5);
        QPainterPath inner, outline;
        inner.addRoundedRect(bar.adjusted(3, 3, -3, -3), radius, radius);
        outline.addRoundedRect(bar.adjusted(2.5, 2.5, -2.5, -2.5), outer, outer);
        drawBoxInner(context, inner, outline);
    }
}

void QSSlider::drawBoxInner(platform::GraphicsContext &context, const QPainterPath &inner, const QPainterPath &outline) const
{
    context.setStroke(outlineColor());
    context.setLineWidth(1.0);
    context.strokePath(outline);
    // Stroked again inside the inner path, only the outline's shadow shows: a soft inner edge.
    context.saveGState();
    context.setShadow(platform::Shadow{Qt::black, QSizeF(0, -1), 2.0});
    context.clipToPath(inner);
    context.strokePath(outline);
    context.restoreGState();
}

void QSSlider::shadowOf(platform::GraphicsContext &context, const QRectF &shape, const QRectF &area) const
{
    // The shape lies outside the area, so only its shadow shows there, along the area's edge.
    context.saveGState();
    context.setShadow(platform::Shadow{QColor::fromRgbF(0, 0, 0, 0.85f), QSizeF(0, 0), 6.0});
    context.clipToRect(area);
    context.setFill(outlineColor());
    context.fillRect(shape);
    context.restoreGState();
}
