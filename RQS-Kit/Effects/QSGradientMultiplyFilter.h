#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Multiplies the picture by "inputGradient" laid across it at "inputAngle" degrees (0: the first
// colour at the left, 90: at the top) and extended beyond its ends.
class QSGradientMultiplyFilter : public QSFilter
{
    Q_OBJECT

public:
    QSGradientMultiplyFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
