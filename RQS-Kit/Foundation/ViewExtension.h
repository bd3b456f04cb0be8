#pragma once

#include "RQS-Kit/Foundation/QSViewAnimator.h"

#include <QString>

class QWidget;

namespace platform {
class View;
}

// Views are widgets.
namespace rqs {

// The named shadow of the shadow catalog as the view's drop shadow (none for an unknown name); a
// label or a line edit also takes the preset's text colour.
void setShadowName(QWidget *view, const QString &name);

// Device pixels per point of the view's screen.
double contentsScale(const QWidget *view);

// The view's animation proxy when animated, else a proxy that sets values at once as the view would.
QSViewAnimator viewAnimator(QWidget *view, bool animated);

// Width / height. A view that keeps its proportions (height for width) answers those; otherwise its
// frame's, or 1.0 for a frame without height.
double ratio(const QWidget *view);

// Degrees the view is shown turned by, counter-clockwise positive (y-up): its layer's turn as seen
// from the root of its layer tree, else its nearest layered ancestor's, plus the turn of every
// tree that draws that root's view in turn; 0 where no layer turns it.
double globalLayerRotation(const platform::View *view);

} // namespace rqs
