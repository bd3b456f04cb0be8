#pragma once

#include "platform/graphics/GraphicsState.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QTransform>

#include <functional>

class QPainter;

namespace platform {

class TextLayout;

// Draws paths, text and pictures with a QPainter as a graphics state says: its transformation and
// clip, fill, stroke and shadow. Both graphics context backends draw through it, so the screen and
// the PDF overlays look the same.
class PainterRenderer
{
public:
    // base maps the context's y-up base space to the painter's coordinates; the painter's own clip
    // at this moment stays in force under every clip of the states. Shadows are blurred in a
    // raster of shadowResolution pixels per painter unit.
    PainterRenderer(QPainter *painter, const QTransform &base, double shadowResolution);

    QPainter *painter() const;
    // Brings the painter's transformation and clip to the state's.
    void applyGeometry(const GraphicsState &state);

    void fillPath(const GraphicsState &state, const QPainterPath &path);
    void strokePath(const GraphicsState &state, const QPainterPath &path);
    // Draws the layout in the y-down space that placement maps into the user space; a non-empty
    // clip (in that space) cuts the text off.
    void drawText(const GraphicsState &state, const TextLayout &layout, const QTransform &placement,
                  const QPointF &topLeft, const QRectF &clip);
    // The source is in the image's y-up pixel space; an empty source means the whole image.
    void drawImage(const GraphicsState &state, const QImage &image, const QRectF &rect, const QRectF &source,
                   double opacity);
    void drawTiledImage(const GraphicsState &state, const QImage &image, const QRectF &tile);

private:
    using Painting = std::function<void(QPainter &)>;
    // Paints, casting the state's shadow first when it has one. bounds answers where the painting
    // may reach, in user space; it is asked only for a shadow.
    void paint(const GraphicsState &state, const std::function<QRectF()> &bounds, const Painting &painting);
    void paintShadow(const GraphicsState &state, const QRectF &userBounds, const Painting &painting);
    // Paints into a raster of the masks' reach, lets the masks' alpha through and lays it down.
    void paintMasked(const GraphicsState &state, const std::function<QRectF()> &bounds, const Painting &painting);
    // The device area that can still change, in the painter's device coordinates.
    QRectF visibleArea() const;
    // QPdfWriter writes no blend mode; such output draws with source-over.
    QPainter::CompositionMode blendMode(const GraphicsState &state);
    bool drawsPdf() const;

    QPainter *m_painter;
    QTransform m_base;
    double m_shadowResolution;
    bool m_painterClips;
    QPainterPath m_painterClip;
    QTransform m_painterTransform;
    quint64 m_appliedGeometry;
    bool m_applied = false;
    bool m_warnedBlend = false;
    bool m_warnedMask = false;
};

} // namespace platform
