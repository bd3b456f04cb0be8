#pragma once

#include <QImage>

namespace platform {

class GraphicsContext;
class Layer;

// Draws a layer tree with its shown (presentation) values into a y-up context that is in the
// root layer's superlayer space: shadow, background, contents, the layer's own drawing, border,
// then the sublayers by z position. A layer with an opacity below 1 or a mask is drawn apart and
// laid on as one picture, so what reaches outside its bounds is cut there. A shadow is the alpha
// of what the layer shows within its bounds, blurred to a Gaussian of deviation half the shadow
// radius, as the graphics contexts blur theirs.
class LayerRenderer
{
public:
    static void render(Layer &layer, GraphicsContext &context);
    // The layer alone in its own space, as a picture of its bounds' size.
    static void renderContent(Layer &layer, GraphicsContext &context);
    // The layer's content in a picture of its bounds' size (at least 1 × 1), y-up content upright.
    static QImage picture(Layer &layer);
};

} // namespace platform
