#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Looks each pixel's tone up in "inputGradient". The tone is the luma t, bent by z from the
// lightness of "inputColor": (1 − z) t + z t (2 − t), so a light colour brightens and a dark one
// darkens (mid-grey leaves t). The colour's hue then tints the looked-up colour, as strongly as
// the colour is saturated.
class QSGradientMapFilter : public QSFilter
{
    Q_OBJECT

public:
    QSGradientMapFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
