#include "platform/ui/ColorWell.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ColorPanel.h"

namespace platform {

ColorWell::ColorWell(QWidget *parent)
    : Control(parent)
{
    // Another well's activation ends this one's; its look must follow.
    connect(ColorPanel::sharedColorPanel(), &ColorPanel::activeWellChanged, this, [this] { update(); });
}

ColorWell::~ColorWell() { ColorPanel::sharedColorPanel()->deactivate(this); }

QColor ColorWell::color() const { return m_color; }

void ColorWell::setColor(const QColor &color)
{
    m_color = color;
    update();
}

bool ColorWell::isActive() const { return ColorPanel::sharedColorPanel()->activeWell() == this; }

void ColorWell::activate() { ColorPanel::sharedColorPanel()->activate(this); }

void ColorWell::deactivate() { ColorPanel::sharedColorPanel()->deactivate(this); }

void ColorWell::changeColor(QObject *)
{
    setColor(ColorPanel::sharedColorPanel()->color());
    Control::sendAction(action(), target(), this);
}

void ColorWell::drawRect(const QRectF &)
{
    GraphicsContext *context = GraphicsContext::current();
    if (!context)
        return;
    const QRectF swatch = bounds().adjusted(3, 3, -3, -3);
    context->setFill(m_color);
    context->fillRect(swatch);
    context->setStroke(isActive() ? QColor(0, 0, 0, 200) : QColor(0, 0, 0, 90));
    context->setLineWidth(isActive() ? 2 : 1);
    context->strokeRect(swatch);
}

void ColorWell::mouseUp(const MouseEvent &event)
{
    if (!isEnabled() || !bounds().contains(event.location))
        return;
    if (isActive())
        deactivate();
    else
        activate();
}

} // namespace platform
