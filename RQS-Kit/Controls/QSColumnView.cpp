#include "RQS-Kit/Controls/QSColumnView.h"

#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/GraphicsContext.h"

QSColumnView::QSColumnView(QWidget *parent)
    : QSPatternView(parent)
{
    setImage(platform::Bundle::mainBundle()->imageNamed(QStringLiteral("NoiseFull")));
}

QColor QSColumnView::startColor() const { return m_startColor; }

void QSColumnView::setStartColor(const QColor &color)
{
    m_startColor = color;
    m_startColorName = QSColor::descriptionForNSColor(color);
}

QColor QSColumnView::endColor() const { return m_endColor; }

void QSColumnView::setEndColor(const QColor &color)
{
    m_endColor = color;
    m_endColorName = QSColor::descriptionForNSColor(color);
}

QString QSColumnView::startColorName() const { return m_startColorName; }

void QSColumnView::setStartColorName(const QString &name)
{
    m_startColorName = name;
    m_startColor = QSColor::colorFromDescription(name).color();
}

QString QSColumnView::endColorName() const { return m_endColorName; }

void QSColumnView::setEndColorName(const QString &name)
{
    m_endColorName = name;
    m_endColor = QSColor::colorFromDescription(name).color();
}

int QSColumnView::shade() const { return m_shade; }

void QSColumnView::setShade(int shade)
{
    m_shade = shade;
    setNeedsDisplay(true);
}

void QSColumnView::drawRect(const QRectF &dirtyRect)
{
    if (platform::GraphicsContext *context = platform::GraphicsContext::current()) {
        context->setFill(QColor(242, 242, 242));
        context->fillRect(dirtyRect);
    }
}

void QSColumnView::mouseDown(const platform::MouseEvent &) {}
void QSColumnView::mouseDragged(const platform::MouseEvent &) {}
void QSColumnView::mouseUp(const platform::MouseEvent &) {}
