#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Multiplies every pixel by "inputColor", alpha included.
class QSColorMultiplyFilter : public QSFilter
{
    Q_OBJECT

public:
    QSColorMultiplyFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
