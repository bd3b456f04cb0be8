#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// The picture with its mirror image below it: after a gap of "inputDistance" × "inputProportion",
// the bottom "inputHeight" (a fraction of the height) of the picture upside down, at the opacity
// "inputIntensity".
class QSReflectionFilter : public QSFilter
{
    Q_OBJECT

public:
    QSReflectionFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    // What the kernel reads for the destination rectangle, with the picture's bottom edge and the
    // gap: the rectangle itself above the edge, its mirror below it.
    static QRectF reflectionROI(const QRectF &dest, double bottom, double gap);

    platform::fx::Image outputImage() const override;
};
