#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// The image where the mask's alpha is set, the background elsewhere: b + (s − b) × mask alpha, over
// the union R of the three extents, transparent beyond R.
class QSBlendWithMaskFilter : public QSFilter
{
    Q_OBJECT

public:
    QSBlendWithMaskFilter();

    // Without all three images, the image as it is.
    platform::fx::Image outputImage() const override;

private:
    static void initializeClass();
};
