#include "RQS-Kit/Controls/QSBoxView.h"

#include "RQS-Kit/Foundation/AttributedStringExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/Arc.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"

#include <QTextCharFormat>

#include <cmath>
#include <numbers>

namespace {

platform::TextAttributes titleAttributes()
{
    QFont font(QStringLiteral("Lucida Grande"));
    font.setPointSizeF(14);
    return {font, QColor::fromRgbF(0.3f, 0.3f, 0.3f, 1), Qt::AlignLeft | Qt::AlignTop};
}

} // namespace

QSBoxView::QSBoxView(QWidget *parent)
    : platform::View(parent)
{
}

QSBoxView::QSBoxView(const QString &title, QWidget *parent)
    : platform::View(parent)
{
    setTitle(title);
    setFrame(QRectF());
}

QString QSBoxView::title() const { return m_title; }
void QSBoxView::setTitle(const QString &title) { m_title = rqs::localizedForTable(title, QStringLiteral("Controls")); }
bool QSBoxView::lightLook() const { return m_lightLook; }

void QSBoxView::setLightLook(bool lightLook)
{
    m_lightLook = lightLook;
    setNeedsDisplay(true);
}

int QSBoxView::boxType() const { return m_boxType; }
void QSBoxView::setBoxType(int boxType) { m_boxType = boxType; }

QSizeF QSBoxView::titleSize() const
{
    if (m_title.isEmpty())
        return {30, 0};
    QTextCharFormat format;
    format.setFont(titleAttributes().font);
    const platform::AttributedString title{m_title, {{0, int(m_title.size()), format}}};
    // Within the bounds, turned for the tab along the left side: a title longer than the box wraps.
    const bool onTop = m_boxType == 1 || m_boxType == 2;
    const QSizeF within = onTop ? QSizeF(size()) : QSizeF(size()).transposed();
    return {rqs::sizeForWidth(title, within.width(), within.height()).width() + 30, 20};
}

QPainterPath QSBoxView::outline(double inset, double radius) const
{
    const double W = width(), H = height();
    const QSizeF tab = titleSize();
    const bool left = m_boxType == 0;
    const double a = left ? 0 : tab.width(), b = left ? 0 : tab.height();
    const double c = left ? tab.width() : 0, d = left ? tab.height() : 0;
    const double top = H - b;
    QPainterPath path;
    path.moveTo(d + inset, c - inset);
    platform::appendArc(path, {d + 10, H - 10}, radius, 180, 90, true);
    if (b >= 10) {
        platform::appendArc(path, {a - 10, H - 10}, radius, 90, 0, true);
        path.lineTo(a - inset, top - inset);
    }
    platform::appendArc(path, {W - 10, top - 10}, radius, 90, 0, true);
    platform::appendArc(path, {W - 10, 10}, radius, 0, 270, true);
    platform::appendArc(path, {10, 10}, radius, 270, 180, true);
    if (d >= 10)
        platform::appendArc(path, {10, c - 10}, radius, 180, 90, true);
    path.closeSubpath();
    return path;
}

void QSBoxView::highlight(bool, const QRectF &frame, QWidget *)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainterPath path;
    path.addRoundedRect(frame, 2, 2);
    context->setFill(QColor(Qt::blue));
    context->fillPath(path);
}

void QSBoxView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QPainterPath inner = outline(1, 9);
    const QImage texture = platform::Bundle::mainBundle()->imageNamed(
        m_lightLook ? QStringLiteral("QSBoxLightBackground.png") : QStringLiteral("QSBoxDarkBackground.png"));
    if (!texture.isNull()) {
        context->setFill(QBrush(texture));
        context->fillPath(inner);
    }
    QPainterPath rim = outline(0, 10);
    rim.addPath(inner);
    rim.setFillRule(Qt::OddEvenFill);
    const double W = width(), H = height();
    const platform::Gradient rimGradient(
        QGradientStops{{0.0, QColor::fromRgbF(0, 0, 0, 0.7f)}, {0.8, QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.45f)},
                       {1.0, QColor::fromRgbF(1, 1, 1, 0.2f)}});
    rimGradient.drawInPath(rim, std::asin(H / std::hypot(W, H)) * 180 / std::numbers::pi + 270);

    context->saveGState();
    context->setShadow(platform::Shadow{QColor::fromRgbF(0, 0, 0, 0.5f), QSizeF(-1, 1), 1});
    // The point is the text's lower-left corner, below its baseline by the descent.
    const double descent = -platform::GraphicsContext::boundingRect(m_title, titleAttributes()).y();
    if (m_boxType == 0) {
        context->rotate(std::numbers::pi / 2);
        context->drawText(m_title, QPointF(15, -22 + descent), titleAttributes());
    } else {
        context->drawText(m_title, QPointF(15, H - 22 + descent), titleAttributes());
    }
    context->restoreGState();
}
