#pragma once

#include "platform/graphics/AttributedString.h"
#include "platform/graphics/GraphicsState.h"
#include "platform/graphics/TextAttributes.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <optional>

namespace platform {

class JpegImage;
class PainterRenderer;
class PdfPage;
class TextLayout;

// Where drawing code draws: a y-up user space (origin bottom left, one unit per point unless
// transformed) with a stack of graphics states. Each thread has its own stack of current
// contexts, so page rendering on background threads never meets the main thread's drawing.
//
// A state holds the transformation, the clip, the fill and stroke (colours or gradients, whose
// coordinates are user space at the time of drawing), the line's width, caps, joins and dashes,
// and a shadow that every drawing casts while it is set. A new state draws black, one unit wide,
// flat caps, miter joins, solid, without shadow or clip.
class GraphicsContext
{
public:
    GraphicsContext();
    virtual ~GraphicsContext();
    GraphicsContext(const GraphicsContext &) = delete;
    GraphicsContext &operator=(const GraphicsContext &) = delete;

    void saveGState();
    void restoreGState();

    void translate(double tx, double ty);
    void scale(double sx, double sy);
    // Counter-clockwise in the y-up user space.
    void rotate(double radians);
    // The transformation applies to the user space before the current one does.
    void concat(const QTransform &transform);
    // Maps the user space to the context's base space.
    QTransform transform() const;

    void clipToRect(const QRectF &rect);
    // Narrows the clip to the inside of the path by the path's own fill rule (a QPainterPath is
    // even-odd unless set to Qt::WindingFill).
    void clipToPath(const QPainterPath &path);
    // Narrows the clip to where the mask's alpha, drawn upright into the rectangle, is not zero,
    // letting through as much as the alpha says; nothing shows outside the rectangle. Drawing under
    // such a clip is composed in pixels; PDF output logs a warning and gets them as a picture.
    void clipToMask(const QImage &mask, const QRectF &rect);

    void setFill(const QBrush &brush);
    void setStroke(const QBrush &brush);
    void setLineWidth(double width);
    void setLineCap(Qt::PenCapStyle cap);
    void setLineJoin(Qt::PenJoinStyle join);
    // Dash and gap lengths in user-space units, alternating, starting phase units into the
    // pattern; an empty list draws solid lines.
    void setLineDash(const QList<double> &lengths, double phase = 0);
    // Offset and blur radius are in the base space, so they do not follow the transformation.
    void setShadow(const std::optional<Shadow> &shadow);
    // How what is drawn combines with what lies beneath; source-over is the normal mode. PDF
    // output draws every mode as source-over, with a warning, as QPdfWriter writes no other.
    void setBlendMode(QPainter::CompositionMode mode);
    // Pattern fills (texture brushes) draw their image upright, one tile's lower-left corner at
    // this point of the user space; (0, 0) unless set.
    void setPatternPhase(const QPointF &phase);

    void fillPath(const QPainterPath &path);
    void strokePath(const QPainterPath &path);
    void fillRect(const QRectF &rect);
    void strokeRect(const QRectF &rect);

    // One line per line of the text, the first one's baseline starting at the point.
    void drawText(const QString &text, const QPointF &point, const TextAttributes &attributes);
    // Lines wrapped to the rectangle's width, set from its top edge down and aligned as the
    // attributes say; what does not fit the rectangle is cut off.
    void drawText(const QString &text, const QRectF &rect, const TextAttributes &attributes);
    // The same with the runs' formats over the attributes, lines spaced with their leading.
    void drawText(const AttributedString &text, const QRectF &rect, const TextAttributes &attributes);
    // Where drawText at the origin sets the text, y-up around the first baseline: from the
    // bottom of the last line (minus its descent for one line) to the top of the first, as wide
    // as the widest line.
    static QRectF boundingRect(const QString &text, const TextAttributes &attributes);

    // Draws the picture upright into the rectangle with source-over compositing at the opacity.
    void drawImage(const QImage &image, const QRectF &rect, double opacity = 1);
    // Only the source part of the picture, given in its y-up pixel space (origin bottom left).
    void drawImage(const QImage &image, const QRectF &rect, const QRectF &source, double opacity = 1);

    // Draws the encoded picture upright into the rectangle, as drawImage does at full opacity. An
    // output that carries JPEG bytes (PDF) places them as they are; others draw the decoded pixels.
    virtual void drawJpegImage(const JpegImage &image, const QRectF &rect);

    // Tiles the whole clip with the picture, drawn upright into tiles the size of the rectangle,
    // one of them at the rectangle.
    void drawTiledImage(const QImage &image, const QRectF &tile);

    // Draws the page's crop box as shown (after the page's own /Rotate), its lower-left corner at
    // the origin of the user space and its size in points. Pages cast no shadow.
    virtual void drawPdfPage(const PdfPage &page) = 0;

    // The context that drawing on this thread goes to; nullptr when none.
    static GraphicsContext *current();
    static void push(GraphicsContext *context);
    static void pop();

protected:
    const GraphicsState &state() const;
    // Drops every saved state and starts from a new one.
    void resetGraphicsState();
    // What draws everything but PDF pages at this moment; nullptr when nothing can be drawn now
    // (the backend says why).
    virtual PainterRenderer *renderer() = 0;

private:
    GraphicsState &changingGeometry();
    void drawLayout(const TextLayout &layout, const QRectF &box, Qt::Alignment alignment);

    QList<GraphicsState> m_states;
    quint64 m_geometryIds = 0;
};

} // namespace platform
