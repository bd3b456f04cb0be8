#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// A soft drop shadow in a colour behind the picture.
class QSSimpleShadowFilter : public QSFilter
{
    Q_OBJECT

public:
    QSSimpleShadowFilter();
    static void registerClass();

    platform::fx::Image outputImage() const override;
};
