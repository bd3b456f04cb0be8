#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Puts the picture on a canvas the size of the background, made of blurred, half-turned and
// colour-burnt copies of the background and the picture, with a soft shadow and a blurred mat
// under the picture. Pictures that do not start at the origin are moved there as they are set.
class QSArtisticExtend : public QSFilter
{
    Q_OBJECT
    Q_PROPERTY(bool rotate READ rotate WRITE setRotate)
    Q_PROPERTY(bool motionBlur READ motionBlur WRITE setMotionBlur)

public:
    // Sizes that grow with the background: s = √(area) / 1000, at least 0.5.
    struct Layout
    {
        double scale;
        double margin;
        // Where the picture's lower-left corner goes.
        QPointF offset;
        // The mat and the shadow under the picture.
        QRectF mat;
        double backgroundRadius, matRadius, pictureRadius, shadowRadius, motionRadius;

        // nullopt for an empty background or picture.
        static std::optional<Layout> of(const QSizeF &background, const QSizeF &picture);
    };

    QSArtisticExtend();
    static void registerClass();

    // Turns the background copies by 180°.
    bool rotate() const { return m_rotate; }
    void setRotate(bool rotate) { m_rotate = rotate; }
    // Adds a horizontal motion blur to the first background copy.
    bool motionBlur() const { return m_motionBlur; }
    void setMotionBlur(bool motionBlur) { m_motionBlur = motionBlur; }

    platform::fx::Image outputImage() const override;

private:
    platform::fx::Image surface(const platform::fx::Image &clamped, const platform::fx::Image &picture,
                                const Layout &layout, const QRectF &b) const;

    bool m_rotate = false;
    bool m_motionBlur = false;
    bool m_moving = false;
};
