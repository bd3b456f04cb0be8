#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

#include <QTransform>

// Scales, turns (degrees, counter-clockwise) and moves the picture about its centre, or applies
// "inputTransform" when one is set. The output covers the transformed extent ("inputPreCropRect"
// standing in for the extent) or "inputCropRect", moved to start at the origin unless
// "inputKeepExtent" is set. A rectangle input holding anything but a rectangle counts as unset.
class QSAffineTransformFilter : public QSFilter
{
    Q_OBJECT

public:
    QSAffineTransformFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    // The zero point without an input image, and for an infinite one after a warning.
    QPointF inputImageCenter() const;
    // The set transform, else one built from scale, angle and translation.
    QTransform inputTransform() const;

    // A singular transform (a zero scale) gives an image without pixels and a warning.
    platform::fx::Image outputImage() const override;
};
