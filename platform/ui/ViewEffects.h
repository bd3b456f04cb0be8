#pragma once

#include "platform/graphics/Shadow.h"

#include <optional>

class QWidget;

namespace platform {

class Layer;

// A view's own opacity over everything it draws, its subviews included; 1 when never set. A
// view carries one effect at a time: setting the alpha drops a shadow and the other way round.
// At alpha 0 the view takes no focus (Tab passes it); above 0 it has its focus policy back.
double viewAlpha(const QWidget *view);
void setViewAlpha(QWidget *view, double alpha);
// Goes from the present alpha to the given one over the duration (none sets it at once); a fade
// still running on the view stops where it is and the new one starts from there.
void fadeViewAlpha(QWidget *view, double alpha, double seconds);

// A shadow under the whole view, the offset y-up as drawing shadows have it; none removes it.
std::optional<Shadow> viewShadow(const QWidget *view);
void setViewShadow(QWidget *view, const std::optional<Shadow> &shadow);

// A mask layer laid over the view's bounds: the view, its subviews included, shows as far as the
// mask is opaque, and is drawn again when the mask changes. The view does not own the mask; none
// removes it, and once the mask has ended the view draws plainly.
Layer *viewMask(const QWidget *view);
void setViewMask(QWidget *view, Layer *mask);

} // namespace platform
