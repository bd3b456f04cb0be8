#include "RQS-Kit/Controls/QSGradientPicker.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/KeyBindings.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr double barY = 7.0;
constexpr double barHeight = 13.0;
constexpr double iconY = 14.0;

QImage namedImage(const QString &name)
{
    const QImage image = platform::Bundle::mainBundle()->imageNamed(name);
    if (image.isNull())
        platform::logWarning(QStringLiteral("The gradient picker's image %1 is missing").arg(name));
    return image;
}

} // namespace

QSGradientPicker::QSGradientPicker(QWidget *parent)
    : QSColorWell(parent)
    , m_closeIcon(namedImage(QStringLiteral("ColorStopDelete")))
    , m_triangleImage(namedImage(QStringLiteral("ColorStop")))
    , m_selectedImage(namedImage(QStringLiteral("ColorStopSelected")))
{
    setSupportsAlpha(true);
    if (!m_triangleImage.isNull()) {
        m_triWidth = m_triangleImage.deviceIndependentSize().width();
        m_triHeight = m_triangleImage.deviceIndependentSize().height();
    }
    // Only a selected stop takes the focus, and it takes it in code.
    setFocusPolicy(Qt::NoFocus);
    addTrackingArea({{}, platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::MouseMoved |
                             platform::TrackingArea::InVisibleRect});
}

platform::Gradient QSGradientPicker::gradient() const { return m_stops.gradient(); }

void QSGradientPicker::setGradient(const platform::Gradient &gradient)
{
    if (m_stops.setGradient(gradient))
        stopsChanged();
}

const QSGradientStops &QSGradientPicker::stops() const { return m_stops; }

QVariantMap QSGradientPicker::saveDescription() const { return m_stops.description(); }

bool QSGradientPicker::loadDescription(const QVariantMap &description)
{
    if (!m_stops.loadDescription(description))
        return false;
    stopsChanged();
    return true;
}

int QSGradientPicker::selectedIndex() const { return m_selectedIndex; }

void QSGradientPicker::setSelectedIndex(int index)
{
    m_selectedIndex = index >= 0 && index < m_stops.count() ? index : -1;
    update();
    if (m_selectedIndex < 0)
        return;
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    openColorPanel();
}

bool QSGradientPicker::isContinuous() const { return m_continuous; }

void QSGradientPicker::setContinuous(bool continuous) { m_continuous = continuous; }

QRectF QSGradientPicker::gradientRect() const
{
    return {m_triWidth, barY, std::max(0.0, width() - 2 * (m_triWidth + 1.0)), barHeight};
}

double QSGradientPicker::stopCenter(int index) const
{
    const QRectF bar = gradientRect();
    return m_stops.location(index) * bar.width() + bar.x();
}

QRectF QSGradientPicker::deleteIconRect() const
{
    if (!m_stops.isInner(m_selectedIndex) || m_closeIcon.isNull())
        return {};
    const QSizeF size = m_closeIcon.deviceIndependentSize();
    return {std::round(stopCenter(m_selectedIndex) - size.width() / 2), iconY, size.width(), size.height()};
}

std::optional<int> QSGradientPicker::addColorAt(double location)
{
    const std::optional<int> index = m_stops.add(location);
    if (index)
        update();
    return index;
}

bool QSGradientPicker::removeColorAtIndex(int index)
{
    if (!m_stops.remove(index))
        return false;
    update();
    sendAction(action(), target());
    return true;
}

bool QSGradientPicker::changeLocation(double location, int index)
{
    if (!m_stops.move(index, location))
        return false;
    update();
    sendAction(action(), target());
    return true;
}

bool QSGradientPicker::changeColor(const QColor &color, int index)
{
    if (isOpening() || !m_stops.setColor(index, color))
        return false;
    update();
    sendAction(action(), target());
    return true;
}

QColor QSGradientPicker::color() const { return m_stops.color(m_selectedIndex >= 0 ? m_selectedIndex : 0); }

void QSGradientPicker::setColor(const QColor &color)
{
    if (isOpening())
        return;
    const QColor given = color.isValid() ? color : QColor(Qt::black);
    QSColorWell::setColor(given);
    changeColor(given, m_selectedIndex);
}

void QSGradientPicker::changeColor(QObject *)
{
    changeColor(platform::ColorPanel::sharedColorPanel()->color(), m_selectedIndex);
}

void QSGradientPicker::deactivate()
{
    m_selectedIndex = -1;
    update();
    QSColorWell::deactivate();
}

QSize QSGradientPicker::sizeHint() const { return {150, 27}; }

void QSGradientPicker::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QRectF bar = gradientRect();
    const platform::Gradient shown = gradient();
    QPainterPath barPath;
    barPath.addRect(bar);
    shown.drawInPath(barPath, 0);
    context->setStroke(QColor::fromRgbF(0, 0, 0, 0.2));
    context->setLineWidth(1);
    context->strokeRect(bar.adjusted(-1.5, -1.5, 1.5, 1.5));

    const QPointF pointer = pointerLocation();
    const QRectF icon = deleteIconRect();
    if (!icon.isEmpty())
        context->drawImage(m_closeIcon, icon, icon.contains(pointer) ? 1.0 : 0.7);
    if (bar.contains(pointer) && markerAt(pointer) < 0 && bar.width() > 0) {
        const QColor under = shown.interpolatedColorAtLocation((pointer.x() - bar.x()) / bar.width());
        context->setFill(under.valueF() >= 0.5 ? Qt::black : Qt::white);
        context->fillRect({pointer.x(), bar.y(), 1.0, bar.height()});
    }

    // A house whose point faces the bar, filled with the stop's colour under the marker image.
    const double m = (m_triHeight + 1) / 2;
    QPainterPath marker;
    marker.moveTo(1, 1);
    marker.lineTo(1, m);
    marker.lineTo(m_triWidth / 2, m_triHeight - 1);
    marker.lineTo(m_triWidth - 1, m);
    marker.lineTo(m_triWidth - 1, 1);
    marker.closeSubpath();
    for (int i = 0; i < m_stops.count(); ++i) {
        const double dx = std::round(stopCenter(i) - m_triWidth / 2);
        context->saveGState();
        context->translate(dx, 0);
        context->setFill(m_stops.color(i));
        context->fillPath(marker);
        context->drawImage(i == m_selectedIndex ? m_selectedImage : m_triangleImage, {0, 0, m_triWidth, m_triHeight});
        context->restoreGState();
    }
}

void QSGradientPicker::mouseDown(const platform::MouseEvent &event)
{
    m_mouseDownIndex = -1;
    if (event.location.y() > m_triHeight)
        return;
    // Of overlapping markers the last wins, as it is drawn on top.
    for (int i = 0; i < m_stops.count(); ++i) {
        const double cx = stopCenter(i);
        if (event.location.x() >= cx - m_triWidth / 2 + 1 && event.location.x() <= cx + m_triWidth / 2 + 1)
            m_mouseDownIndex = i;
    }
    update();
}

void QSGradientPicker::mouseDragged(const platform::MouseEvent &event)
{
    const QRectF bar = gradientRect();
    if (!m_stops.isInner(m_mouseDownIndex) || bar.width() <= 0)
        return;
    changeLocation((event.location.x() - bar.x()) / bar.width(), m_mouseDownIndex);
}

void QSGradientPicker::mouseUp(const platform::MouseEvent &event)
{
    if (event.clickCount != 1)
        return;
    const QPointF point = event.location;
    if (deleteIconRect().contains(point)) {
        // The action's target may delete this picker, or its window.
        const QPointer<QSGradientPicker> self(this);
        removeColorAtIndex(m_selectedIndex);
        if (self)
            setSelectedIndex(-1);
        return;
    }
    const QRectF bar = gradientRect();
    if (bar.width() > 0 && bar.contains(point)) {
        // The end stops stay the ends: a click at either end adds just inside them.
        const double location = std::clamp((point.x() - bar.x()) / bar.width(), 0.002, 0.998);
        setSelectedIndex(addColorAt(location).value_or(0));
        return;
    }
    if (point.y() < m_triHeight && m_mouseDownIndex >= 0 && m_mouseDownIndex < m_stops.count())
        setSelectedIndex(m_mouseDownIndex);
}

void QSGradientPicker::mouseMoved(const platform::MouseEvent &) { update(); }

void QSGradientPicker::mouseEntered(const platform::MouseEvent &) { update(); }

void QSGradientPicker::mouseExited(const platform::MouseEvent &) { update(); }

void QSGradientPicker::keyDown(QKeyEvent *event)
{
    if (!platform::KeyBindings::interpretKeyEvent(this, *event))
        QSColorWell::keyDown(event);
}

void QSGradientPicker::moveLeft(QObject *) { moveSelected(-1); }
void QSGradientPicker::moveRight(QObject *) { moveSelected(1); }
void QSGradientPicker::moveLeftAndModifySelection(QObject *) { moveSelected(-10); }
void QSGradientPicker::moveRightAndModifySelection(QObject *) { moveSelected(10); }
void QSGradientPicker::moveWordLeft(QObject *) { moveSelected(-0.1); }
void QSGradientPicker::moveWordRight(QObject *) { moveSelected(0.1); }
void QSGradientPicker::insertTab(QObject *) { selectNeighbour(1); }
void QSGradientPicker::insertBacktab(QObject *) { selectNeighbour(-1); }

void QSGradientPicker::deleteBackward(QObject *)
{
    const QPointer<QSGradientPicker> self(this);
    if (removeColorAtIndex(m_selectedIndex) && self)
        setSelectedIndex(-1);
}

void QSGradientPicker::deleteForward(QObject *sender) { deleteBackward(sender); }

void QSGradientPicker::cancelOperation(QObject *)
{
    clearFocus();
    setSelectedIndex(-1);
}

void QSGradientPicker::focusOutEvent(QFocusEvent *event)
{
    QSColorWell::focusOutEvent(event);
    // Another window becoming active (the colour panel above all) leaves the picker focused in its
    // own window: the stop stays selected while the panel recolours it.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    setSelectedIndex(-1);
}

bool QSGradientPicker::focusNextPrevChild(bool next)
{
    return m_selectedIndex < 0 && QSColorWell::focusNextPrevChild(next);
}

void QSGradientPicker::openColorPanel()
{
    platform::ColorPanel::sharedColorPanel()->setContinuous(m_continuous);
    activate();
}

void QSGradientPicker::moveSelected(double steps)
{
    const double width = gradientRect().width();
    // A bar with no width has no step to take.
    if (m_selectedIndex < 0 || width <= 0 || !changeLocation(m_stops.location(m_selectedIndex) + steps / width, m_selectedIndex))
        platform::KeyBindings::beep();
}

void QSGradientPicker::selectNeighbour(int offset)
{
    if (m_selectedIndex < 0) {
        platform::KeyBindings::beep();
        return;
    }
    const int count = m_stops.count();
    setSelectedIndex((m_selectedIndex + offset + count) % count);
}

void QSGradientPicker::stopsChanged()
{
    if (m_selectedIndex >= m_stops.count())
        m_selectedIndex = -1;
    update();
}

int QSGradientPicker::markerAt(const QPointF &point) const
{
    if (point.y() > m_triHeight)
        return -1;
    for (int i = 0; i < m_stops.count(); ++i) {
        if (std::abs(point.x() - stopCenter(i)) < m_triWidth / 2 - 1)
            return i;
    }
    return -1;
}

QPointF QSGradientPicker::pointerLocation() const
{
    const QPointF local = mapFromGlobal(QCursor::pos());
    return {local.x(), height() - local.y()};
}
