#include "RQS-Kit/Controls/QSFittedTextCell.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/graphics/TextLayout.h"

#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>

#include <algorithm>

QSFittedTextCell::QSFittedTextCell(QWidget *controlView)
    : QObject(controlView)
    , m_controlView(controlView)
{
    controlView->installEventFilter(this);
}

QString QSFittedTextCell::stringValue() const { return m_stringValue; }

void QSFittedTextCell::setStringValue(const QString &text)
{
    m_stringValue = text;
    m_textChange = true;
    adaptToFont(font());
    if (m_controlView)
        m_controlView->update();
}

QFont QSFittedTextCell::font() const
{
    if (m_font)
        return *m_font;
    QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    system.setPointSizeF(12);
    return system;
}

void QSFittedTextCell::setFont(const QFont &font)
{
    m_fontChange = true;
    if (!adaptToFont(font))
        m_font = font;
}

QColor QSFittedTextCell::textColor() const { return m_textColor; }
void QSFittedTextCell::setTextColor(const QColor &color) { m_textColor = color; }

platform::AttributedString QSFittedTextCell::stringWithFieldAttributes(const QFont &font) const
{
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(m_textColor);
    return {m_stringValue, {{0, int(m_stringValue.size()), format}}};
}

bool QSFittedTextCell::adaptToFont(const QFont &font)
{
    if (m_stringValue.isEmpty() || !m_controlView || m_isAdapting)
        return false;
    const QSizeF size = m_controlView->size();
    if (!m_textChange && !m_fontChange && size == m_lastSize)
        return false;
    QFont measured = font;
    measured.setPointSizeF(100);
    const QSizeF natural = platform::TextLayout(stringWithFieldAttributes(measured), {measured}).size();
    // Text that takes no room, or a control without any, gives no size: the font stays.
    if (natural.width() <= 0 || natural.height() <= 0 || size.width() <= 0 || size.height() <= 0)
        return false;
    const double fitted = std::min(size.width() * 100 / natural.width(), size.height() * 100 / natural.height());

    m_isAdapting = true;
    platform::MainQueue::post([cell = QPointer<QSFittedTextCell>(this)] {
        if (cell)
            cell->m_isAdapting = false;
    });
    m_textChange = false;
    m_fontChange = false;
    m_lastSize = size;
    measured.setPointSizeF(fitted);
    if (auto *control = qobject_cast<QLabel *>(m_controlView)) {
        control->setFont(measured);
    } else {
        platform::logWarning(QStringLiteral("unknown controlView"));
        setFont(measured);
    }
    return true;
}

bool QSFittedTextCell::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_controlView)
        return false;
    if (event->type() == QEvent::FontChange) {
        setFont(m_controlView->font());
    } else if (event->type() == QEvent::Paint) {
        drawWithFrame();
        return true;
    }
    return false;
}

void QSFittedTextCell::drawWithFrame()
{
    if (!m_isAdapting)
        adaptToFont(font());
    QPainter painter(m_controlView);
    platform::PainterGraphicsContext context(&painter, m_controlView->height());
    platform::GraphicsContextScope scope(&context);
    const QFont drawn = font();
    context.drawText(stringWithFieldAttributes(drawn), QRectF(QPointF(0, 0), m_controlView->size()), {drawn, m_textColor});
}
