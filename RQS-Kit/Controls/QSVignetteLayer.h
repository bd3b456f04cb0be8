#pragma once

#include "platform/layers/Layer.h"

// A radial darkening in one colour, stretched to the layer's aspect; radii in units of half the
// longer side.
class QSVignetteLayer : public platform::Layer
{
    Q_OBJECT
public:
    QSVignetteLayer(const QColor &color, double startRadius, double endRadius, QObject *parent = nullptr);

    double startRadius() const { return m_startRadius; }
    double endRadius() const { return m_endRadius; }

    void drawInContext(platform::GraphicsContext &context) override;

private:
    QColor m_color;
    double m_startRadius;
    double m_endRadius;
};
