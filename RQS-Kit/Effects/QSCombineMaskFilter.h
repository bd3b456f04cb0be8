#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Joins an external mask (the background) and an internal mask (the image) into the mask of one
// frame: the external pixel times the internal mask's alpha, over the external extent. The
// internal mask is laid onto the external extent by corners and middle: along each axis its first
// and last "inputCornerRadius" pixels, grown by "inputScale", cover the ends of the external
// extent (at most half of it each), and its middle is stretched over the rest.
class QSCombineMaskFilter : public QSFilter
{
    Q_OBJECT

public:
    QSCombineMaskFilter();

    // Without both masks, or with a scale not above 0 (and a "Warning: " line), the image as it is.
    platform::fx::Image outputImage() const override;

private:
    static void initializeClass();
};
