#pragma once

#include <QColor>
#include <QSizeF>

namespace platform {

// A drop shadow for text and views. The offset is y-up: a positive height lifts the shadow.
struct Shadow
{
    QColor color = QColor::fromRgbF(0, 0, 0, 1.0f / 3); // black at one third, as the platform draws by default
    QSizeF offset;
    double blurRadius = 0;

    friend bool operator==(const Shadow &, const Shadow &) = default;
};

} // namespace platform
