#pragma once

#include <QSizeF>

// A view with a title band along its top, such as a grid section's background; only the band's
// height is read.
class QSTitledView
{
public:
    virtual ~QSTitledView() = default;
    virtual QSizeF titleSize() const = 0;
};
