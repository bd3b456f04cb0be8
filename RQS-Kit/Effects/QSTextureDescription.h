#pragma once

#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/fx/Image.h"

#include <QString>

// One texture file and the drawing options its name carries.
struct QSTextureDescription
{
    QString filePath;
    unsigned sections = 1;
    QSColor::Hsv baseColor{0, 0, 1.0};
    bool shouldScale = false;
    double baseScale = 4.0;
    bool repeating = false;

    // Read anew on every call.
    platform::fx::Image image() const { return platform::fx::Image::fromFile(filePath); }
};
