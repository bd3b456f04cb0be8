#include "RQS-Kit/Controls/QSSymbolButton.h"

#include "RQS-Kit/Controls/QSSymbolRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"

#include <QPainter>

QSSymbolButton::QSSymbolButton(QWidget *parent)
    : QAbstractButton(parent)
{
}

QString QSSymbolButton::styleKitName() const { return m_styleKitName; }

void QSSymbolButton::setStyleKitName(const QString &styleKitName)
{
    m_styleKitName = styleKitName;
    update();
}

QString QSSymbolButton::symbolName() const { return m_symbolName; }

void QSSymbolButton::setSymbolName(const QString &symbolName)
{
    m_symbolName = symbolName;
    update();
}

bool QSSymbolButton::flexibleSize() const { return m_flexibleSize; }

void QSSymbolButton::setFlexibleSize(bool flexibleSize)
{
    m_flexibleSize = flexibleSize;
    update();
}

int QSSymbolButton::buttonState() const
{
    if (!isEnabled())
        return 0;
    if (isDown())
        return 3;
    return m_hovered ? 2 : 1;
}

QString QSSymbolButton::selectorOfType(const QString &type) const
{
    return QStringLiteral("draw") + m_symbolName + type + (m_flexibleSize ? QStringLiteral("WithSize") : QString());
}

QString QSSymbolButton::stateName(int state)
{
    static const QString names[] = {QStringLiteral("Disabled"), QString(), QStringLiteral("Hover"), QStringLiteral("Down")};
    return names[state];
}

std::optional<platform::Shadow> QSSymbolButton::shadowForState(int state) const
{
    const QString shadow = QStringLiteral("shadowFor") + m_symbolName;
    if (std::optional<platform::Shadow> own = QSSymbolRegistry::shadow(m_styleKitName, shadow + stateName(state)))
        return own;
    return QSSymbolRegistry::shadow(m_styleKitName, shadow);
}

void QSSymbolButton::paintEvent(QPaintEvent *)
{
    if (m_styleKitName.isEmpty() || m_symbolName.isEmpty())
        return;
    const int state = buttonState();
    QPainter painter(this);
    platform::PainterGraphicsContext context(&painter, height());
    platform::GraphicsContextScope scope(&context);
    context.setShadow(shadowForState(state));
    const QSizeF size = QWidget::size();
    if (QSSymbolRegistry::draw(m_styleKitName, selectorOfType(stateName(state)), size)
        || QSSymbolRegistry::draw(m_styleKitName, selectorOfType(QString()), size))
        return;
    const QString missing = selectorOfType(stateName(state));
    if (missing != m_reportedMissing) {
        m_reportedMissing = missing;
        platform::logWarning(QStringLiteral("Drawing kit %1 has no operation %2").arg(m_styleKitName, missing));
    }
}

void QSSymbolButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    setHovered(true);
}

void QSSymbolButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    setHovered(false);
}

void QSSymbolButton::setHovered(bool hovered)
{
    m_hovered = hovered;
    update();
}
