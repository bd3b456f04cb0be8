#include "app/shell/VXDuplexAnimationView.h"

#include <QPainter>

#include <cmath>
#include <numbers>

VXDuplexAnimationView::VXDuplexAnimationView(QWidget *parent)
    : QWidget(parent)
{
    m_turn.setStartValue(0.0);
    m_turn.setEndValue(1.0);
    m_turn.setDuration(3000);
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

void VXDuplexAnimationView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double phase = m_turn.currentValue().toDouble();
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
