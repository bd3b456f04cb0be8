#pragma once

#include "platform/layers/Layer.h"

// A mask that fades in over its first topFadeout points from y = 0 and out over its last
// bottomFadeout points, opaque in between.
class QSFadeoutMaskLayer : public platform::Layer
{
    Q_OBJECT
public:
    explicit QSFadeoutMaskLayer(QObject *parent = nullptr);

    double topFadeout() const { return m_top; }
    void setTopFadeout(double length);
    double bottomFadeout() const { return m_bottom; }
    void setBottomFadeout(double length);

    void drawInContext(platform::GraphicsContext &context) override;

private:
    double m_top = 0;
    double m_bottom = 0;
};
