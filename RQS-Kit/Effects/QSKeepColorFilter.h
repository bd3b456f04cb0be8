#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Keeps the colours within a twelfth of a turn of the hue of "inputColor" and moves the rest
// towards their grey (luma) by "inputIntensity".
class QSKeepColorFilter : public QSFilter
{
    Q_OBJECT

public:
    QSKeepColorFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
