#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Moves colours near the hue of "inputColor" to the hue of "inputTargetColor", scaling their
// saturation and value by the ratios of the two colours' and taking the target's alpha, at the
// strength "inputIntensity" (full at the same hue, none a twelfth of a turn away).
class QSReplaceColorFilter : public QSFilter
{
    Q_OBJECT

public:
    QSReplaceColorFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
