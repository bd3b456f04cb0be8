#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Fills the holes that "inputMaskImage" marks with values pulled in from ever coarser copies of
// the picture (a halving pyramid, as deep as "inputRadius" says), smoothed in place. An optional
// "inputFillImage" guides the result.
class QSInpaintingFilter : public QSFilter
{
    Q_OBJECT
    Q_PROPERTY(bool previewQuality READ previewQuality WRITE setPreviewQuality)

public:
    QSInpaintingFilter();
    static void registerClass();

    // One jump to the coarsest level and fewer smoothing passes.
    bool previewQuality() const { return m_previewQuality; }
    void setPreviewQuality(bool preview) { m_previewQuality = preview; }

    // One level of the pyramid: scale 1 is full size, 2 half size; limit is the coarsest scale.
    platform::fx::Image inpaintImage(const platform::fx::Image &picture, const platform::fx::Image &mask, double scale,
                                     double limit) const;
    platform::fx::Image outputImage() const override;

private:
    platform::fx::Image kernelOutput(const QString &name, const QRectF &extent,
                                     std::vector<platform::fx::Argument> arguments) const;

    bool m_previewQuality = false;
};
