#pragma once

#include "platform/layers/Layer.h"

// A container whose sublayer transform holds a perspective: a camera on the layer's axis at
// half the reference width times the depth factor, so turned sublayers recede.
class QS3DLayer : public platform::Layer
{
    Q_OBJECT
public:
    explicit QS3DLayer(QObject *parent = nullptr);

    double depthFactor() const { return m_depthFactor; }
    // False with a warning for a value that is not positive and finite.
    bool setDepthFactor(double depthFactor);
    double fixedWidth() const { return m_fixedWidth; }
    void setFixedWidth(double width);
    // Read by the next update: takes the bounds height as reference when no fixed width is set.
    bool useHeight() const { return m_useHeight; }
    void setUseHeight(bool useHeight);
    bool preventRelayout() const { return m_preventRelayout; }
    void setPreventRelayout(bool prevent);

    // Degrees; false with a warning outside (0, 180).
    double fov() const;
    bool setFov(double degrees);
    // Millimetres of a 35 mm camera; false with a warning when not positive.
    double focalLength() const;
    bool setFocalLength(double millimetres);

    // The perspective element of the sublayer transform.
    double m34() const;

    void setBounds(const QRectF &bounds) override;

protected:
    void resizeSublayers(const QSizeF &oldSize) override;

private:
    void update3DParameter();

    double m_depthFactor = 2.0;
    double m_fixedWidth = 0;
    bool m_useHeight = false;
    bool m_preventRelayout = false;
};
