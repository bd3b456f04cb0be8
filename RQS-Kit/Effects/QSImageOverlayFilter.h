#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Lays the picture, repeated as a tiling turned by "inputRotation" degrees, over the background.
class QSImageOverlayFilter : public QSFilter
{
    Q_OBJECT

public:
    QSImageOverlayFilter();
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
