#pragma once

#include "RQS-Kit/Effects/FrameStages.h"
#include "RQS-Kit/Effects/QSFilter.h"

// A textured border that follows the outline of what the picture shows: its shape grown by the
// border width in halving steps, less the picture's own shape, filled with a texture and laid over.
class QSShapedBorderFilter : public QSFilter
{
    Q_OBJECT

public:
    QSShapedBorderFilter();
    static void registerClass();

    // The ring around the picture's shape.
    platform::fx::Image cachedMask() const;
    platform::fx::Image outputImage() const override;

private:
    mutable rqs::FrameStages m_stages{*this};
};
