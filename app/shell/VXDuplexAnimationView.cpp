#include "app/shell/VXDuplexAnimationView.h"

#include <QEasingCurve>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

// Of each turn of the animation, the sheet rests a while on each face and turns quickly between,
// so that it shows at its size most of the time. Progress in, half turns out: 0 the front, 0.5
// the back, 1 the front again.
qreal restingTurn(qreal progress)
{
    constexpr qreal rest = 0.35;
    constexpr qreal turn = 0.5 - rest;
    const qreal half = progress < 0.5 ? 0 : 0.5;
    const qreal within = progress - half;
    return half + (within < rest ? 0 : (within - rest) / turn * 0.5);
}

} // namespace

VXDuplexAnimationView::VXDuplexAnimationView(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_turn.setParent(this);
    m_turn.setStartValue(0.0);
    m_turn.setEndValue(1.0);
    QEasingCurve resting;
    resting.setCustomType(restingTurn);
    m_turn.setEasingCurve(resting);
    m_turn.setDuration(4000);
    m_turn.setLoopCount(-1);
    connect(&m_turn, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

bool VXDuplexAnimationView::turned() const { return m_turned; }

void VXDuplexAnimationView::setTurned(bool turned)
{
    m_turned = turned;
    update();
}

void VXDuplexAnimationView::startAnimation() { m_turn.start(); }

void VXDuplexAnimationView::stopAnimation() { m_turn.stop(); }

bool VXDuplexAnimationView::isAnimating() const { return m_turn.state() == QAbstractAnimation::Running; }

QSize VXDuplexAnimationView::sizeHint() const { return {180, 130}; }

QSize VXDuplexAnimationView::minimumSizeHint() const { return sizeHint(); }

void VXDuplexAnimationView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // At rest the front shows whole, not the moment a stopped turn left.
    const double phase = isAnimating() ? m_turn.currentValue().toDouble() : 0.0;
    // Turned about the sheet's vertical middle, as a booklet page is.
    const double width = std::cos(phase * 2 * std::numbers::pi);
    const bool back = width < 0;
    const QSizeF sheet(std::min(this->width() * 0.8, height() * 0.8 * 1.41), std::min(this->width() * 0.8 / 1.41, height() * 0.8));
    painter.translate(rect().center());
    painter.scale(std::abs(width), 1.0);
    const QRectF paper(-sheet.width() / 2, -sheet.height() / 2, sheet.width(), sheet.height());
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(back ? QColor(235, 235, 235) : Qt::white);
    painter.drawRect(paper);
    painter.setBrush(QColor(180, 180, 180));
    if (back && m_turned)
        painter.rotate(180);
    painter.drawRect(QRectF(paper.left(), paper.top(), paper.width(), paper.height() * 0.15));
    QFont font = painter.font();
    font.setPixelSize(std::max(8, int(sheet.height() * 0.5)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(paper, Qt::AlignCenter, back ? QStringLiteral("2") : QStringLiteral("1"));
}
