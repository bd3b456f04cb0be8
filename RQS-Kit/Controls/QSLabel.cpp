#include "RQS-Kit/Controls/QSLabel.h"

#include "RQS-Kit/Foundation/QSShadowCatalog.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/graphics/TextLayout.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

QSLabel::QSLabel(QWidget *parent)
    : QLabel(parent)
{
}

void QSLabel::awakeFromNib() { setText(rqs::localizedForTable(text(), QStringLiteral("Controls"))); }

double QSLabel::cornerRadius() const { return m_cornerRadius; }
void QSLabel::setCornerRadius(double radius) { m_cornerRadius = radius; }
std::optional<platform::Shadow> QSLabel::textShadow() const { return m_textShadow; }
void QSLabel::setTextShadow(const std::optional<platform::Shadow> &shadow) { m_textShadow = shadow; }
bool QSLabel::shrinkToFit() const { return m_shrinkToFit; }
void QSLabel::setShrinkToFit(bool shrink) { m_shrinkToFit = shrink; }
QString QSLabel::textShadowName() const { return m_textShadowName; }

void QSLabel::setTextShadowName(const QString &name)
{
    updateGeometry();
    m_textShadowName = name;
    m_textShadow = QSShadowCatalog::sharedShadowWithName(name);
    // A preset without a text colour leaves none, which draws black.
    const QBrush color = QSShadowCatalog::sharedTextColorForShadowWithName(name);
    m_textColor = color.style() == Qt::SolidPattern ? color.color() : QColor(Qt::black);
}

bool QSLabel::drawsBackground() const { return m_drawsBackground; }
void QSLabel::setDrawsBackground(bool draws) { m_drawsBackground = draws; }
QColor QSLabel::backgroundColor() const { return m_backgroundColor; }
void QSLabel::setBackgroundColor(const QColor &color) { m_backgroundColor = color; }
QColor QSLabel::textColor() const { return m_textColor; }
void QSLabel::setTextColor(const QColor &color) { m_textColor = color; }

QSLabel::FieldString QSLabel::stringWithFieldAttributes() const
{
    FieldString field;
    field.string.text = text();
    field.attributes.font = font();
    field.attributes.color = m_textColor;
    field.attributes.alignment = (alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
    return field;
}

QFont QSLabel::fittedFont() const
{
    const FieldString field = stringWithFieldAttributes();
    QFont font = field.attributes.font;
    if (!m_shrinkToFit || field.string.text.isEmpty())
        return font;
    const double natural = platform::TextLayout(field.string, field.attributes).size().width();
    if (natural > width()) {
        // 0.999 keeps the result just inside the width.
        font.setPointSizeF(font.pointSizeF() * width() / natural * 0.999);
    }
    return font;
}

double QSLabel::preferredHeight() const
{
    const FieldString field = stringWithFieldAttributes();
    if (field.string.text.isEmpty())
        return 0;
    return platform::TextLayout(field.string, field.attributes, width()).size().height();
}

QSize QSLabel::sizeHint() const
{
    const FieldString field = stringWithFieldAttributes();
    const QSizeF natural = platform::TextLayout(field.string, field.attributes).size();
    return QSize(int(std::ceil(natural.width())), int(std::ceil(natural.height())));
}

QSize QSLabel::minimumSizeHint() const { return sizeHint(); }

void QSLabel::drawRect()
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    const QRectF bounds(0, 0, width(), height());
    if (m_drawsBackground) {
        QPainterPath background;
        background.addRoundedRect(bounds, m_cornerRadius, m_cornerRadius);
        context->setFill(m_backgroundColor);
        context->fillPath(background);
    }
    FieldString field = stringWithFieldAttributes();
    if (field.string.text.isEmpty())
        return;
    field.attributes.font = fittedFont();
    const double height = platform::TextLayout(field.string, field.attributes, bounds.width()).size().height();
    context->saveGState();
    context->setShadow(m_textShadow);
    context->drawText(field.string, QRectF(0, (bounds.height() - height) * 0.5, bounds.width(), height),
                      field.attributes);
    context->restoreGState();
}

void QSLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(isEnabled() ? 1.0 : 0.5);
    platform::PainterGraphicsContext context(&painter, height());
    platform::GraphicsContextScope scope(&context);
    drawRect();
}

void QSLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}
