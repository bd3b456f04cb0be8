#pragma once

#include "platform/graphics/TextAttributes.h"
#include "platform/layers/Layer.h"

namespace platform {

// A line of text set in the layer's bounds with its attributes.
class TextLayer : public Layer
{
    Q_OBJECT
public:
    explicit TextLayer(QObject *parent = nullptr);

    QString string() const { return m_string; }
    void setString(const QString &string);
    TextAttributes attributes() const { return m_attributes; }
    void setAttributes(const TextAttributes &attributes);

    void drawInContext(GraphicsContext &context) override;

private:
    QString m_string;
    TextAttributes m_attributes;
};

} // namespace platform
