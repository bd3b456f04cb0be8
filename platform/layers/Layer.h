#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMatrix4x4>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QTransform>
#include <QVariant>

class QVariantAnimation;

namespace platform {

class GraphicsContext;

// One node of a tree of drawn planes in a y-up space. A layer's position is where its anchor
// point (a unit point of its bounds) lies in the superlayer; its transform turns it about the
// anchor in 3-D, and the superlayer's sublayer transform (about the superlayer's anchor) is
// applied on top, so a perspective there makes turned sublayers recede. Each level is flattened
// into its superlayer's plane, as the 2-D projection of the 4×4 matrix (QMatrix4x4::toTransform).
//
// Changes of opacity, position, bounds, transform and shadow opacity animate inside an animating
// Transaction: the model value is set at once and read back at once, the shown (presentation)
// value follows. GUI thread. A layer added without a QObject parent becomes its superlayer's child.
class Layer : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit Layer(QObject *parent = nullptr);
    ~Layer() override;

    QRectF bounds() const { return m_bounds; }
    virtual void setBounds(const QRectF &bounds);
    QPointF position() const { return m_position; }
    void setPosition(const QPointF &position);
    QPointF anchorPoint() const { return m_anchorPoint; }
    void setAnchorPoint(const QPointF &anchorPoint);
    // The anchor's depth: the point (anchor, anchorPointZ) of the layer is what its transform
    // turns about and what its position places.
    double anchorPointZ() const { return m_anchorPointZ; }
    void setAnchorPointZ(double z);
    double zPosition() const { return m_zPosition; }
    void setZPosition(double z);
    // Bounds size placed by anchor and position; meaningful while the transform is the identity.
    QRectF frame() const;
    void setFrame(const QRectF &frame);

    QMatrix4x4 transform() const { return m_transform; }
    void setTransform(const QMatrix4x4 &transform);
    QMatrix4x4 sublayerTransform() const { return m_sublayerTransform; }
    void setSublayerTransform(const QMatrix4x4 &transform);

    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks);

    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);

    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &color);
    double shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(double opacity);
    double shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(double radius);
    QPointF shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(const QPointF &offset);

    enum class Gravity { Resize, ResizeAspect, Center };
    QImage contents() const { return m_contents; }
    void setContents(const QImage &contents);
    Gravity contentsGravity() const { return m_gravity; }
    void setContentsGravity(Gravity gravity);
    // The unit part of the contents that is shown.
    QRectF contentsRect() const { return m_contentsRect; }
    void setContentsRect(const QRectF &rect);

    // Drawn with its alpha as the layer's own; the layer does not own it.
    Layer *mask() const { return m_mask; }
    void setMask(Layer *mask);

    // Bits of how the frame follows a change of the superlayer's size.
    enum Autoresizing {
        MinXMargin = 1, WidthSizable = 2, MaxXMargin = 4, MinYMargin = 8, HeightSizable = 16, MaxYMargin = 32
    };
    int autoresizingMask() const { return m_autoresizing; }
    void setAutoresizingMask(int mask);

    Layer *superlayer() const { return m_superlayer; }
    QList<Layer *> sublayers() const;
    void addSublayer(Layer *layer);
    // Index 0 lies beneath the others.
    void insertSublayer(Layer *layer, int index);
    void insertSublayerBelow(Layer *layer, Layer *sibling);
    void insertSublayerAbove(Layer *layer, Layer *sibling);
    // Moving a layer to another superlayer does not count as taking it off.
    virtual void removeFromSuperlayer();

    // Asks the tree's host to draw again; every drawing asks drawInContext afresh.
    void setNeedsDisplay();
    // Drawn over background and contents in the layer's own space; the base draws nothing.
    virtual void drawInContext(GraphicsContext &context);
    // Whether a change of the key may animate; the base allows every animatable key.
    virtual bool actionForKey(const QString &key) const;

    // nullptr stands for the root of this layer's tree.
    QPointF convertPointToLayer(const QPointF &point, const Layer *layer) const;
    QPointF convertPointFromLayer(const QPointF &point, const Layer *layer) const;
    // The point is in the superlayer's space: the deepest visible layer whose bounds hold it.
    Layer *hitTest(const QPointF &point);
    bool containsPoint(const QPointF &point) const;

    // Maps this layer's plane into its superlayer's; presented values when asked.
    QTransform transformToSuperlayer(bool presented = false) const;
    // The shown values while an animation runs, the model values otherwise.
    double presentedOpacity() const;
    double presentedShadowOpacity() const;
    QRectF presentedBounds() const;

signals:
    // Emitted by the root when something in the tree changed.
    void needsRedraw();

protected:
    // Lays the sublayers out by their autoresizing masks after a size change.
    virtual void resizeSublayers(const QSizeF &oldSize);

private:
    void detachFromSuperlayer();
    void resizeWithOldSuperlayerSize(const QSizeF &oldSize);
    QTransform toRoot() const;
    QVariant presented(const char *key, const QVariant &model) const;
    // Starts an implicit animation of the key when the open transaction asks for one.
    void animate(const char *key, const QVariant &from, const QVariant &to);
    void changed();

    QRectF m_bounds;
    QPointF m_position;
    QPointF m_anchorPoint{0.5, 0.5};
    double m_anchorPointZ = 0;
    double m_zPosition = 0;
    QMatrix4x4 m_transform;
    QMatrix4x4 m_sublayerTransform;
    double m_opacity = 1;
    bool m_hidden = false;
    bool m_masksToBounds = false;
    QColor m_backgroundColor{Qt::transparent};
    QColor m_borderColor{Qt::black};
    double m_borderWidth = 0;
    double m_cornerRadius = 0;
    QColor m_shadowColor{Qt::black};
    double m_shadowOpacity = 0;
    double m_shadowRadius = 3;
    QPointF m_shadowOffset{0, -3};
    QImage m_contents;
    Gravity m_gravity = Gravity::Resize;
    QRectF m_contentsRect{0, 0, 1, 1};
    QPointer<Layer> m_mask;
    int m_autoresizing = 0;
    QPointer<Layer> m_superlayer;
    QList<QPointer<Layer>> m_sublayers;
    QHash<QByteArray, QPointer<QVariantAnimation>> m_animations;
};

} // namespace platform
