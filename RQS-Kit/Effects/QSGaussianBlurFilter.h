#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// The engine's Gaussian blur with its inputs and attributes. By default the picture grows by the
// blur; with forceInside it keeps its extent and its edges do not fade. An unbounded input gives
// an unbounded output, which no context renders.
class QSGaussianBlurFilter : public QSFilter
{
    Q_OBJECT
    Q_PROPERTY(bool forceInside MEMBER m_forceInside)

public:
    QSGaussianBlurFilter();
    // Its input keys and name; once, before the first use.
    static void registerClass();

    platform::fx::Image outputImage() const override;

private:
    bool m_forceInside = false;
};
