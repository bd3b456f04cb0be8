#pragma once

#include "RQS-Kit/Effects/FrameStages.h"
#include "RQS-Kit/Effects/QSFilter.h"

#include <QTimer>

#include <memory>

class QSFrameDescription;
class QSFrameImageDescription;

// Draws a frame of the frame catalogs around the picture: the frame's mask at the border width
// ("inputWidth" × "canvasProportion"), filled with its texture, its shades blended over in order,
// an optional inner shadow, all laid over the picture through the mask. Edits of the frame drop
// what they touch and, after "updateDelay" seconds (-1: at once), post "qsfilterupdate". The
// picture is kept cut to its whole pixels, and a new picture of the same whole pixels keeps the
// mask. The frame's choices are the catalogs' frames at the time of asking.
class QSTexturedFrameFilter : public QSFilter
{
    Q_OBJECT

public:
    QSTexturedFrameFilter();
    ~QSTexturedFrameFilter() override;
    static void registerClass();

    std::shared_ptr<QSFrameDescription> frameDescription() const { return m_frame; }
    void setFrameDescription(std::shared_ptr<QSFrameDescription> frame);
    void setUpdateDelay(double seconds) { m_updateDelay = seconds; }
    QSTexturizeFilter &texturizeFilter() { return m_stages.texturize; }

    // Per axis: 1.0, or the factor that fits a whole number of the middle part's repeats.
    static platform::fx::Vector repeatsVectorForFrame(const QSFrameImageDescription &d, QSizeF size, double k);

    platform::fx::Image cachedMask() const;
    // A new mask is taken for the picture as it is now and drops the frame and the shadow; a frame
    // or a shadow set is drawn as it is until something it depends on changes.
    void setCachedMask(const platform::fx::Image &mask) { keepMask(mask); }
    void setCachedFrame(const platform::fx::Image &frame) { m_stages.frame = frame; }
    void setCachedShadow(const platform::fx::Image &shadow) { m_stages.shadow = shadow; }
    // Everything is made again on the next output.
    void forceUpdate() { keepMask({}); }
    platform::fx::Image outputImage() const override;

private:
    void keepMask(const platform::fx::Image &mask) const;
    double borderWidth() const;
    platform::fx::Image cachedFrame() const;
    platform::fx::Image layFrame(const platform::fx::Image &image, const QRectF &rect, const QSizeF &corner, double k,
                                  const platform::fx::Vector &repeats) const;
    void frameEdited(bool mask);

    std::shared_ptr<QSFrameDescription> m_frame;
    mutable rqs::FrameStages m_stages{*this};
    // The picture's whole-pixel extent the cached mask was made for.
    mutable QRectF m_maskExtent;
    // How much the cached mask's picture is enlarged; its inner edge softens over as many pixels.
    mutable double m_maskScale = 1.0;
    QTimer m_updateTimer;
    double m_updateDelay = 2.0;
    bool m_followingRename = false;
};
