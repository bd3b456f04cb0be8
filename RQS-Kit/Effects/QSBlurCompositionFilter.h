#pragma once

#include "RQS-Kit/Effects/QSFilter.h"
#include "platform/ui/View.h"

#include <QPointer>

// The picture over its background, which stays sharp inside a layer's frame (shrunk by a margin)
// and is blurred, or randomly displaced, elsewhere.
class QSBlurCompositionFilter : public QSFilter
{
    Q_OBJECT
    Q_PROPERTY(platform::View *inputLayer READ inputLayer WRITE setInputLayer)
    Q_PROPERTY(bool useDistortion READ useDistortion WRITE setUseDistortion)

public:
    QSBlurCompositionFilter();
    static void registerClass();

    // Held weakly: a layer that goes away leaves the filter without one.
    platform::View *inputLayer() const { return m_layer; }
    void setInputLayer(platform::View *layer) { m_layer = layer; }
    bool useDistortion() const { return m_useDistortion; }
    void setUseDistortion(bool distortion) { m_useDistortion = distortion; }

    // Where the background stays sharp.
    QRectF sharpRect() const;
    platform::fx::Image outputImage() const override;

private:
    QPointer<platform::View> m_layer;
    bool m_useDistortion = false;
};
