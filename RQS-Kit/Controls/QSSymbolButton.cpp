#include "RQS-Kit/Controls/QSSymbolButton.h"

#include "RQS-Kit/Controls/QSSymbolRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

QSSymbolButton::QSSymbolButton(QWidget *parent)
    : platform::Control(parent)
{
}

QString QSSymbolButton::styleKitName() const { return m_styleKitName; }

void QSSymbolButton::setStyleKitName(const QString &styleKitName)
{
    m_styleKitName = styleKitName;
    updateInvocationType();
}

QString QSSymbolButton::symbolName() const { return m_symbolName; }

void QSSymbolButton::setSymbolName(const QString &symbolName)
{
    m_symbolName = symbolName;
    updateInvocationType();
}

bool QSSymbolButton::flexibleSize() const { return m_flexibleSize; }

void QSSymbolButton::setFlexibleSize(bool flexibleSize)
{
    m_flexibleSize = flexibleSize;
    updateInvocationType();
}

int QSSymbolButton::buttonState() const
{
    if (!isEnabled())
        return 0;
    if (m_mouseDown)
        return 3;
    return m_hovered ? 2 : 1;
}

bool QSSymbolButton::hovered() const { return m_hovered; }

void QSSymbolButton::setHovered(bool hovered)
{
    m_hovered = hovered;
    update();
}

bool QSSymbolButton::isMouseDown() const { return m_mouseDown; }

void QSSymbolButton::setMouseDown(bool mouseDown)
{
    m_mouseDown = mouseDown;
    update();
}

void QSSymbolButton::setState(int state)
{
    Control::setState(state);
    update();
}

QString QSSymbolButton::selectorOfType(const QString &type) const
{
    return QStringLiteral("draw") + m_symbolName + type + (m_flexibleSize ? QStringLiteral("WithSize") : QString());
}

QString QSSymbolButton::stateName(int state, bool on, bool plain)
{
    static const std::array<QString, 4> off{QStringLiteral("OffDisabled"), QStringLiteral("Off"), QStringLiteral("OffHover"), QStringLiteral("OffDown")};
    static const std::array<QString, 4> onNames{QStringLiteral("OnDisabled"), QStringLiteral("On"), QStringLiteral("OnHover"), QStringLiteral("OnDown")};
    static const std::array<QString, 4> plainOff{QStringLiteral("Disabled"), QString(), QStringLiteral("Hover"), QStringLiteral("Down")};
    // At rest an "on" button looks pressed, and pressed it looks at rest.
    static const std::array<QString, 4> plainOn{QStringLiteral("Disabled"), QStringLiteral("Down"), QStringLiteral("Hover"), QString()};
    if (plain)
        return (on ? plainOn : plainOff).at(state);
    return (on ? onNames : off).at(state);
}

QString QSSymbolButton::generalSelector() const
{
    return QStringLiteral("draw") + m_symbolName + (m_flexibleSize ? QStringLiteral("WithSize") : QStringLiteral("WithState"));
}

QString QSSymbolButton::invocationForState(int state, bool on) const
{
    if (m_styleKitName.isEmpty() || m_symbolName.isEmpty())
        return {};
    for (bool plain : {false, true}) {
        const QString selector = selectorOfType(stateName(state, on, plain));
        if (QSSymbolRegistry::hasOperation(m_styleKitName, selector))
            return selector;
    }
    return state == 1 && !on ? QString() : invocationForState(1, false);
}

std::optional<platform::Shadow> QSSymbolButton::shadowForState(int state, bool on) const
{
    if (m_styleKitName.isEmpty() || m_symbolName.isEmpty())
        return std::nullopt;
    for (bool plain : {false, true}) {
        const QString name = QStringLiteral("shadowFor") + m_symbolName + stateName(state, on, plain);
        if (std::optional<platform::Shadow> shadow = QSSymbolRegistry::shadow(m_styleKitName, name))
            return shadow;
    }
    return state == 1 && !on ? std::nullopt : shadowForState(1, false);
}

void QSSymbolButton::updateInvocationType()
{
    m_general = !m_styleKitName.isEmpty() && !m_symbolName.isEmpty()
             && QSSymbolRegistry::hasGeneralOperation(m_styleKitName, generalSelector());
    for (int state = 0; state < 4; ++state) {
        for (bool on : {false, true}) {
            m_invocations.at((on ? 1 : 0) + 2 * state) = m_general ? QString() : invocationForState(state, on);
            m_shadows.at((on ? 1 : 0) + 2 * state) = shadowForState(state, on);
        }
    }
    m_reportedMissing.clear();
    update();
}

int QSSymbolButton::index() const { return (isOn() ? 1 : 0) + 2 * buttonState(); }

bool QSSymbolButton::isOn() const { return state() == OnState; }

std::optional<platform::Shadow> QSSymbolButton::currentShadow() const { return m_shadows.at(index()); }

void QSSymbolButton::drawRect(const QRectF &)
{
    if (m_styleKitName.isEmpty() || m_symbolName.isEmpty())
        return;
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    context->setShadow(currentShadow());
    const QSizeF size = bounds().size();
    const bool drawn = m_general
        ? QSSymbolRegistry::drawGeneral(m_styleKitName, generalSelector(), size, buttonState(), isOn())
        : QSSymbolRegistry::draw(m_styleKitName, m_invocations.at(index()), size);
    context->setShadow(std::nullopt);
    if (!drawn && m_reportedMissing != m_symbolName) {
        m_reportedMissing = m_symbolName;
        platform::logWarning(QStringLiteral("Drawing kit %1 has no drawing of %2").arg(m_styleKitName, selectorOfType(stateName(1, false, true))));
    }
    const QSizeF imageSize = QSizeF(image().size()) / image().devicePixelRatio();
    if (imageSize.isEmpty())
        return;
    const double scale = size.width() / size.height() > imageSize.width() / imageSize.height()
        ? size.height() / imageSize.height()
        : size.width() / imageSize.width();
    const QSizeF fitted = imageSize * scale;
    const double opacity = m_mouseDown ? 0.7 : (m_hovered ? 0.85 : 1.0);
    context->drawImage(image(), QRectF(QPointF((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2), fitted), opacity);
}

void QSSymbolButton::mouseDown(const platform::MouseEvent &)
{
    if (isEnabled())
        setMouseDown(true);
}

void QSSymbolButton::mouseUp(const platform::MouseEvent &)
{
    if (!m_mouseDown)
        return;
    setMouseDown(false);
    if (m_hovered && isEnabled())
        sendAction(action(), target());
}

void QSSymbolButton::mouseEntered(const platform::MouseEvent &) { setHovered(true); }

void QSSymbolButton::mouseExited(const platform::MouseEvent &) { setHovered(false); }

void QSSymbolButton::updateTrackingAreas()
{
    if (m_trackingArea)
        removeTrackingArea(m_trackingArea);
    m_trackingArea = 0;
    if (!superview())
        return;
    platform::TrackingArea area;
    area.options = platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::InVisibleRect;
    // Grown under the pointer or shrunk from it, the button's hover follows at once.
    bool inside = false;
    m_trackingArea = addTrackingAreaAtPointer(area, &inside);
    if (inside != m_hovered)
        setHovered(inside);
}
