#pragma once

#include "RQS-Kit/Controls/QSButtonImages.h"

#include <QImage>
#include <QSizeF>

#include <array>

// Rendered three-slice backgrounds of one button, one slot per visual state and on/off state
// (slots 0 to 3 off, 4 to 7 on), at one size and pixel scale: a redraw of an unchanged button
// composites one image. Another size or scale empties every slot.
class QSButtonBackgroundCache
{
public:
    // The slot's background for the caps and middle image of the visual state, rendering it on a
    // miss; a null image when the pixel size is empty.
    QImage background(int slot, const QSButtonImages::ImageSet &left, const QSButtonImages::ImageSet &mid,
                      const QSButtonImages::ImageSet &right, const QSizeF &size, double scale);
    void clear();
    // Backgrounds rendered since the cache was made, for measuring.
    int renderedCount() const;

private:
    std::array<QImage, 8> m_slots;
    QSizeF m_size;
    double m_scale = 0;
    int m_rendered = 0;
};
