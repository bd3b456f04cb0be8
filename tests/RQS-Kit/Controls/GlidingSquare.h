#pragma once

#include "RQS-Kit/Controls/QSAnimator.h"
#include "platform/layers/Layer.h"
#include "platform/ui/View.h"

#include <QImage>

// A blue 50 × 50 square at (10, 10) on a layer-backed stage of 300 × 200, inside a holder layer as
// large; the change glides it to (200, 120) while the holder is hidden.
struct GlidingSquare
{
    explicit GlidingSquare(platform::View *stage)
        : stage(stage)
    {
        stage->setWantsLayer(true);
        stage->layer()->setBackgroundColor(Qt::white);
        holder->setFrame(QRectF(0, 0, 300, 200));
        stage->layer()->addSublayer(holder);
        square->setFrame(QRectF(10, 10, 50, 50));
        square->setBackgroundColor(Qt::blue);
        holder->addSublayer(square);
    }

    // done turns true once the animation is over.
    void glide(QSAnimator &animator, bool &done)
    {
        animator.recordStartLayers({square}, stage);
        animator.setHideLayers({holder});
        animator.animateWithEndState(
            [this, &animator] {
                square->setFrame(QRectF(200, 120, 50, 50));
                animator.recordEndLayers({square}, stage);
            },
            [&done] { done = true; });
    }

    // The square's left edge in the image, -1 where it shows none; the copy's blue, blended with
    // white, is not the square.
    static int blueLeftEdge(const QImage &shown)
    {
        const auto isBlue = [](QRgb pixel) { return qBlue(pixel) > 200 && qRed(pixel) < 60 && qGreen(pixel) < 60; };
        for (int x = 0; x < shown.width(); ++x)
            for (int y = 0; y < shown.height(); ++y)
                if (isBlue(shown.pixel(x, y)))
                    return x;
        return -1;
    }

    platform::View *stage;
    platform::Layer *holder = new platform::Layer(stage);
    platform::Layer *square = new platform::Layer(stage);
};
