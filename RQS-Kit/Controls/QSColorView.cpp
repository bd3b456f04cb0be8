#include "RQS-Kit/Controls/QSColorView.h"

#include "RQS-Kit/Foundation/ColorExtension.h"
#include "RQS-Kit/Foundation/GradientExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <QWindow>

QSColorView::QSColorView(QWidget *parent)
    : platform::View(parent)
{
}

QSColorView *QSColorView::fromInterfaceFile(QWidget *parent)
{
    auto *view = new QSColorView(parent);
    view->m_angle = 0;
    return view;
}

QBrush QSColorView::color() const { return m_color; }
void QSColorView::setColor(const QBrush &color) { m_color = color; }
platform::Gradient QSColorView::gradient() const { return m_gradient; }
void QSColorView::setGradient(const platform::Gradient &gradient) { m_gradient = gradient; }
QBrush QSColorView::borderColor() const { return m_borderColor; }
void QSColorView::setBorderColor(const QBrush &color) { m_borderColor = color; }

void QSColorView::setPattern(const QImage &pattern)
{
    if (pattern.isNull()) {
        platform::logWarning(QStringLiteral("A colour view was given a pattern without pixels"));
        m_color = Qt::NoBrush;
        return;
    }
    m_color = QBrush(pattern);
}

QString QSColorView::colorName() const { return m_colorName; }

void QSColorView::setColorName(const QString &name)
{
    m_colorName = name;
    m_color = rqs::colorWithName(name, m_styleKitName);
}

QString QSColorView::gradientName() const { return m_gradientName; }

void QSColorView::setGradientName(const QString &name)
{
    m_gradientName = name;
    m_gradient = rqs::gradientWithName(name, m_styleKitName);
}

QString QSColorView::borderColorName() const { return m_borderColorName; }

void QSColorView::setBorderColorName(const QString &name)
{
    m_borderColorName = name;
    m_borderColor = rqs::colorWithName(name, m_styleKitName);
}

QString QSColorView::patternName() const { return m_patternName; }

void QSColorView::setPatternName(const QString &name)
{
    m_patternName = name;
    setPattern(platform::Bundle::mainBundle()->imageNamed(name));
}

QString QSColorView::styleKitName() const { return m_styleKitName; }

void QSColorView::setStyleKitName(const QString &name)
{
    m_styleKitName = name;
    if (!m_gradientName.isEmpty())
        setGradientName(m_gradientName);
    if (!m_colorName.isEmpty())
        setColorName(m_colorName);
    if (!m_borderColorName.isEmpty())
        setBorderColorName(m_borderColorName);
}

void QSColorView::drawGradientIn(const QPainterPath &path) const
{
    if (m_radialGradient)
        m_gradient.drawInPath(path, m_center);
    else
        m_gradient.drawInPath(path, m_angle);
}

void QSColorView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QRectF box = bounds();
    context->setPatternPhase(QPointF(box.width() * m_patternFixPoint.x(), box.height() * m_patternFixPoint.y()));
    const double half = m_borderWidth / 2;
    QPainterPath path;
    path.addRoundedRect(box.adjusted(half, half, -half, -half), m_cornerRadius, m_cornerRadius);
    if (m_gradientBelow)
        drawGradientIn(path);
    if (m_color.style() != Qt::NoBrush) {
        context->setFill(m_color);
        context->fillPath(path);
    }
    if (!m_gradientBelow)
        drawGradientIn(path);
    if (m_borderWidth > 0) {
        context->setStroke(m_borderColor);
        context->setLineWidth(m_borderWidth);
        context->strokePath(path);
    }
}

void QSColorView::mouseDown(const platform::MouseEvent &event)
{
    if (m_dragsWindow && window()->windowHandle())
        window()->windowHandle()->startSystemMove();
    else if (!m_blockInput)
        platform::View::mouseDown(event);
}

void QSColorView::mouseDragged(const platform::MouseEvent &event)
{
    if (!m_blockInput)
        platform::View::mouseDragged(event);
}

void QSColorView::mouseUp(const platform::MouseEvent &event)
{
    if (!m_blockInput)
        platform::View::mouseUp(event);
}
