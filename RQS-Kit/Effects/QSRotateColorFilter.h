#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Turns every hue by "inputAngle" turns.
class QSRotateColorFilter : public QSFilter
{
    Q_OBJECT

public:
    QSRotateColorFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
