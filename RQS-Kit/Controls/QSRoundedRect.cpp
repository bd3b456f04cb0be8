#include "RQS-Kit/Controls/QSRoundedRect.h"

#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ClearBackground.h"

#include <QPainterPath>

QSRoundedRect::QSRoundedRect(QWidget *parent)
    : platform::View(parent)
{
}

QColor QSRoundedRect::topFillColor() const { return m_topFillColor; }
void QSRoundedRect::setTopFillColor(const QColor &color) { setColor(m_topFillColor, m_topFillColorName, color); }
QColor QSRoundedRect::bottomFillColor() const { return m_bottomFillColor; }
void QSRoundedRect::setBottomFillColor(const QColor &color) { setColor(m_bottomFillColor, m_bottomFillColorName, color); }
QColor QSRoundedRect::topStrokeColor() const { return m_topStrokeColor; }
void QSRoundedRect::setTopStrokeColor(const QColor &color) { setColor(m_topStrokeColor, m_topStrokeColorName, color); }
QColor QSRoundedRect::bottomStrokeColor() const { return m_bottomStrokeColor; }
void QSRoundedRect::setBottomStrokeColor(const QColor &color) { setColor(m_bottomStrokeColor, m_bottomStrokeColorName, color); }

void QSRoundedRect::setColor(QColor &stored, QString &name, const QColor &color)
{
    stored = color;
    // The description stays true to the colour drawn.
    name = QSColor::descriptionForNSColor(color);
}

QString QSRoundedRect::topFillColorName() const { return m_topFillColorName; }

void QSRoundedRect::setTopFillColorName(const QString &name)
{
    m_topFillColorName = name;
    m_topFillColor = QSColor::colorFromDescription(name).color();
}

QString QSRoundedRect::bottomFillColorName() const { return m_bottomFillColorName; }

void QSRoundedRect::setBottomFillColorName(const QString &name)
{
    m_bottomFillColorName = name;
    m_bottomFillColor = QSColor::colorFromDescription(name).color();
}

QString QSRoundedRect::topStrokeColorName() const { return m_topStrokeColorName; }

void QSRoundedRect::setTopStrokeColorName(const QString &name)
{
    m_topStrokeColorName = name;
    m_topStrokeColor = QSColor::colorFromDescription(name).color();
}

QString QSRoundedRect::bottomStrokeColorName() const { return m_bottomStrokeColorName; }

void QSRoundedRect::setBottomStrokeColorName(const QString &name)
{
    m_bottomStrokeColorName = name;
    m_bottomStrokeColor = QSColor::colorFromDescription(name).color();
}

void QSRoundedRect::drawRect(const QRectF &)
{
    // 270 degrees: the top colour at the top.
    const QRectF outer = bounds();
    // Nothing shows through a window that could not be clear: the panel stands on a dark ground of
    // its own, so that its light texts stay readable.
    if (platform::ClearBackground::fellBack(window())) {
        platform::GraphicsContext *context = platform::GraphicsContext::current();
        QPainterPath whole;
        whole.addRoundedRect(outer, m_cornerRadius, m_cornerRadius);
        context->setFill(QColor(80, 80, 80));
        context->fillPath(whole);
    }
    QPainterPath inner;
    inner.addRoundedRect(outer.adjusted(1, 1, -1, -1), m_cornerRadius - 1, m_cornerRadius - 1);
    platform::Gradient({m_topFillColor, m_bottomFillColor}).drawInPath(inner, 270);

    QPainterPath ring = inner;
    ring.addRoundedRect(outer, m_cornerRadius, m_cornerRadius);
    ring.setFillRule(Qt::OddEvenFill);
    platform::Gradient({m_topStrokeColor, m_bottomStrokeColor}).drawInPath(ring, 270);
}
