#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Between the sRGB transfer curve and linear values, alpha kept: to linear when toRGB is set.
class QSSRGBConversionFilter : public QSFilter
{
    Q_OBJECT
    Q_PROPERTY(bool toRGB READ toRGB WRITE setToRGB)

public:
    QSSRGBConversionFilter();
    // Its kernels, input keys and name; once, before the first use.
    static void registerClass();

    bool toRGB() const { return m_toRGB; }
    void setToRGB(bool toRGB) { m_toRGB = toRGB; }

    platform::fx::Image outputImage() const override;

private:
    bool m_toRGB = false;
};
