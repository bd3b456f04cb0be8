#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Cuts the picture by a mask picture, named ("inputMaskName") or given ("inputMaskImage"); a mask
// alone is drawn in a colour.
class QSMaskImageFilter : public QSFilter
{
    Q_OBJECT

public:
    QSMaskImageFilter();
    static void registerClass();

    // Whether the mask's alpha, not its grey, says where the picture shows.
    bool hasAlpha() const;
    platform::fx::Image outputImage() const override;

private:
    void loadNamedMask();
    // The mask brought onto the picture's extent.
    platform::fx::Image placedMask(const platform::fx::Image &mask, const QRectF &picture) const;

    platform::fx::Image m_namedMask;
    bool m_namedMaskHasAlpha = false;
};
