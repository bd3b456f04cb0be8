#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Sets the picture into a named picture frame ("inputFrameName"): the frame's layout window is
// fitted onto the picture, the frame's own mask cuts the picture, the frame lies over it.
class QSPictureFrameFilter : public QSFilter
{
    Q_OBJECT

public:
    QSPictureFrameFilter();
    static void registerClass();

    // The window of the frame picture that the picture fills, in frame-picture units; empty
    // without a usable frame.
    QRectF frameLayout() const { return m_frameLayout; }
    platform::fx::Image frameImage() const { return m_frameImage; }
    platform::fx::Image maskImage() const { return m_maskImage; }
    // Where the frame picture goes on a picture of that extent.
    QTransform frameTransform(const QRectF &picture) const;

    platform::fx::Image outputImage() const override;

private:
    void loadFrame();

    QRectF m_frameLayout;
    platform::fx::Image m_frameImage, m_maskImage;
    bool m_loading = false;
};
