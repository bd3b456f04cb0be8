#include "platform/layers/TextLayer.h"

#include "platform/graphics/GraphicsContext.h"

namespace platform {

TextLayer::TextLayer(QObject *parent)
    : Layer(parent)
{
}

void TextLayer::setString(const QString &string)
{
    m_string = string;
    setNeedsDisplay();
}

void TextLayer::setAttributes(const TextAttributes &attributes)
{
    m_attributes = attributes;
    setNeedsDisplay();
}

void TextLayer::drawInContext(GraphicsContext &context) { context.drawText(m_string, bounds(), m_attributes); }

} // namespace platform
