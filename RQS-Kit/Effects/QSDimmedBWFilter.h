#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// The picture in grey: luma (Rec. 709) times "inputBrightness".
class QSDimmedBWFilter : public QSFilter
{
    Q_OBJECT

public:
    QSDimmedBWFilter();
    // Its kernel, input keys and name; once, before the first use.
    static void registerClass();
    // One process-wide filter with its defaults set.
    static QSDimmedBWFilter &sharedDimmedBWFilter();
    platform::fx::Image outputImage() const override;
};
