#pragma once

#include "platform/graphics/Shadow.h"

#include <QBrush>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <optional>

namespace platform {

// One entry of a graphics context's state stack. Geometry is y-up: the transformation maps the
// user space to the context's base space (points, origin at the lower-left corner).
struct GraphicsState
{
    // A path that the drawing is clipped to, kept with the transformation it was given under so
    // that each backend can turn it into its own terms exactly.
    struct Clip
    {
        QPainterPath path;
        QTransform transform;
    };

    // An image whose alpha, drawn upright into the rectangle, lets the drawing through.
    struct MaskClip
    {
        QImage mask;
        QRectF rect;
        QTransform transform;
    };

    QTransform transform;
    QList<Clip> clips;
    QList<MaskClip> masks;
    // Changes whenever the transformation or the clip does, so that a backend can tell cheaply
    // whether what it last applied still holds.
    quint64 geometryId = 0;

    QBrush fill = Qt::black;
    QBrush stroke = Qt::black;
    double lineWidth = 1;
    Qt::PenCapStyle lineCap = Qt::FlatCap;
    Qt::PenJoinStyle lineJoin = Qt::MiterJoin;
    // In user-space units; empty for a solid line.
    QList<double> dashLengths;
    double dashPhase = 0;
    std::optional<Shadow> shadow;
    QPainter::CompositionMode blendMode = QPainter::CompositionMode_SourceOver;
    // Where, in user space, the lower-left corner of one tile of a pattern fill lies.
    QPointF patternPhase;
};

} // namespace platform
