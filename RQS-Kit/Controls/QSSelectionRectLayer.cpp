#include "RQS-Kit/Controls/QSSelectionRectLayer.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/TextLayer.h"
#include "platform/layers/Transaction.h"

#include <QTimer>

#include <algorithm>

namespace {

QRectF inset(const QRectF &rect, double d) { return rect.adjusted(d, d, -d, -d); }

void stroke(platform::GraphicsContext &context, const QRectF &rect, const QColor &color, double width)
{
    context.setStroke(color);
    context.setLineWidth(width);
    context.strokeRect(rect);
}

} // namespace

QSSelectionRectLayer::QSSelectionRectLayer(QObject *parent)
    : platform::Layer(parent)
{
    setMasksToBounds(true);
}

void QSSelectionRectLayer::setSelectionStyle(int style)
{
    m_style = style;
    setNeedsDisplay();
}

void QSSelectionRectLayer::setAnimate(bool animate)
{
    if (animate == this->animate())
        return;
    if (!animate) {
        delete m_timer;
        return;
    }
    m_timer = new QTimer(this);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &QSSelectionRectLayer::advance);
    m_timer->start();
}

void QSSelectionRectLayer::removeFromSuperlayer()
{
    platform::Layer::removeFromSuperlayer();
    setAnimate(false);
}

QString QSSelectionRectLayer::subTitle() const { return m_textLayer ? m_textLayer->string() : QString(); }

void QSSelectionRectLayer::setSubTitle(const QString &title)
{
    if (title.isNull()) {
        delete m_textLayer;
        return;
    }
    if (!m_textLayer) {
        m_textLayer = new platform::TextLayer(this);
        platform::TextAttributes attributes;
        attributes.font = QFont(QStringLiteral("Arial Black"));
        attributes.color = Qt::white;
        attributes.alignment = Qt::AlignCenter;
        m_textLayer->setAttributes(attributes);
        m_textLayer->setShadowColor(Qt::black);
        m_textLayer->setShadowOffset(QPointF(0, 0));
        m_textLayer->setShadowOpacity(0.6);
        m_textLayer->setShadowRadius(5);
        m_textLayer->setFrame(bounds());
        addSublayer(m_textLayer);
    }
    platform::Transaction::begin();
    platform::Transaction::setDisableActions(true);
    m_textLayer->setString(title);
    platform::Transaction::commit();
}

void QSSelectionRectLayer::setBounds(const QRectF &bounds)
{
    platform::Layer::setBounds(bounds);
    if (m_textLayer)
        m_textLayer->setFrame(bounds);
}

void QSSelectionRectLayer::drawInContext(platform::GraphicsContext &context)
{
    const QRectF r = bounds();
    switch (m_style) {
    case 0:
        stroke(context, inset(r, 5), Qt::black, 10);
        context.setLineDash({10, 10}, m_linePhase);
        stroke(context, inset(r, 5), QColor::fromRgbF(1, 1, 0, 1), 8);
        break;
    case 1:
        stroke(context, inset(r, 2.5), Qt::black, 5);
        stroke(context, inset(r, 2.5), Qt::white, 3);
        stroke(context, inset(r, 2.5), Qt::black, 1);
        break;
    case 2: {
        context.setShadow(platform::Shadow{QColor::fromRgbF(5 / 255.0f, 140 / 255.0f, 1, 1), QSizeF(0, 0), 3});
        stroke(context, inset(r, 5), Qt::white, 2);
        const QRectF inner = inset(r, 15);
        const double side = std::max(0.0, std::min(inner.width(), inner.height()));
        QPainterPath circle;
        circle.addEllipse(QRectF(inner.center() - QPointF(side / 2, side / 2), QSizeF(side, side)));
        context.strokePath(circle);
        break;
    }
    default:
        stroke(context, inset(r, 1.5), Qt::black, 3);
        stroke(context, inset(r, 1.5), Qt::white, 1);
    }
}

bool QSSelectionRectLayer::actionForKey(const QString &) const { return false; }

void QSSelectionRectLayer::advance()
{
    m_linePhase += 1;
    if (m_linePhase > 20)
        m_linePhase -= 20;
    setNeedsDisplay();
}
