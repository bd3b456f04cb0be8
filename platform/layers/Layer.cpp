#include "platform/layers/Layer.h"

#include "platform/layers/Transaction.h"

#include <QVariantAnimation>

#include <algorithm>

namespace platform {

namespace {

QVariant interpolateMatrix(const QMatrix4x4 &from, const QMatrix4x4 &to, qreal progress)
{
    return QVariant::fromValue(from * float(1 - progress) + to * float(progress));
}

const bool matrixInterpolatorRegistered = [] {
    qRegisterAnimationInterpolator<QMatrix4x4>(interpolateMatrix);
    return true;
}();

QPointF anchorInBounds(const QRectF &bounds, const QPointF &anchor)
{
    return bounds.topLeft() + QPointF(anchor.x() * bounds.width(), anchor.y() * bounds.height());
}

} // namespace

Layer::Layer(QObject *parent)
    : QObject(parent)
{
}

Layer::~Layer()
{
    detachFromSuperlayer();
    for (const QPointer<Layer> &sublayer : std::as_const(m_sublayers)) {
        if (sublayer)
            sublayer->m_superlayer = nullptr;
    }
}

void Layer::setBounds(const QRectF &bounds)
{
    if (bounds == m_bounds)
        return;
    const QSizeF oldSize = m_bounds.size();
    animate("bounds", presentedBounds(), bounds);
    m_bounds = bounds;
    if (oldSize != bounds.size())
        resizeSublayers(oldSize);
    changed();
}

void Layer::setPosition(const QPointF &position)
{
    if (position == m_position)
        return;
    animate("position", presented("position", m_position), position);
    m_position = position;
    changed();
}

void Layer::setAnchorPoint(const QPointF &anchorPoint)
{
    m_anchorPoint = anchorPoint;
    changed();
}

void Layer::setAnchorPointZ(double z)
{
    m_anchorPointZ = z;
    changed();
}

void Layer::setZPosition(double z)
{
    m_zPosition = z;
    changed();
}

QRectF Layer::frame() const
{
    const QPointF origin = m_position - anchorInBounds(QRectF(QPointF(), m_bounds.size()), m_anchorPoint);
    return QRectF(origin, m_bounds.size());
}

void Layer::setFrame(const QRectF &frame)
{
    setBounds(QRectF(m_bounds.topLeft(), frame.size()));
    setPosition(frame.topLeft() + anchorInBounds(QRectF(QPointF(), frame.size()), m_anchorPoint));
}

void Layer::setTransform(const QMatrix4x4 &transform)
{
    if (transform == m_transform)
        return;
    animate("transform", presented("transform", QVariant::fromValue(m_transform)), QVariant::fromValue(transform));
    m_transform = transform;
    changed();
}

void Layer::setSublayerTransform(const QMatrix4x4 &transform)
{
    m_sublayerTransform = transform;
    changed();
}

void Layer::setOpacity(double opacity)
{
    if (opacity == m_opacity)
        return;
    animate("opacity", presentedOpacity(), opacity);
    m_opacity = opacity;
    changed();
}

void Layer::setHidden(bool hidden)
{
    m_hidden = hidden;
    changed();
}

void Layer::setMasksToBounds(bool masks)
{
    m_masksToBounds = masks;
    changed();
}

void Layer::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    changed();
}

void Layer::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    changed();
}

void Layer::setBorderWidth(double width)
{
    m_borderWidth = width;
    changed();
}

void Layer::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    changed();
}

void Layer::setShadowColor(const QColor &color)
{
    m_shadowColor = color;
    changed();
}

void Layer::setShadowOpacity(double opacity)
{
    if (opacity == m_shadowOpacity)
        return;
    animate("shadowOpacity", presentedShadowOpacity(), opacity);
    m_shadowOpacity = opacity;
    changed();
}

void Layer::setShadowRadius(double radius)
{
    m_shadowRadius = radius;
    changed();
}

void Layer::setShadowOffset(const QPointF &offset)
{
    m_shadowOffset = offset;
    changed();
}

void Layer::setContents(const QImage &contents)
{
    m_contents = contents;
    changed();
}

void Layer::setContentsGravity(Gravity gravity)
{
    m_gravity = gravity;
    changed();
}

void Layer::setContentsRect(const QRectF &rect)
{
    m_contentsRect = rect;
    changed();
}

void Layer::setMask(Layer *mask)
{
    m_mask = mask;
    changed();
}

void Layer::setAutoresizingMask(int mask) { m_autoresizing = mask; }

QList<Layer *> Layer::sublayers() const
{
    QList<Layer *> layers;
    for (const QPointer<Layer> &sublayer : m_sublayers) {
        if (sublayer)
            layers.append(sublayer);
    }
    return layers;
}

void Layer::addSublayer(Layer *layer) { insertSublayer(layer, int(m_sublayers.size())); }

void Layer::insertSublayer(Layer *layer, int index)
{
    if (!layer || layer == this)
        return;
    layer->detachFromSuperlayer();
    if (!layer->parent())
        layer->setParent(this);
    m_sublayers.insert(std::clamp(index, 0, int(m_sublayers.size())), layer);
    layer->m_superlayer = this;
    changed();
}

void Layer::insertSublayerBelow(Layer *layer, Layer *sibling)
{
    const int index = int(m_sublayers.indexOf(sibling));
    insertSublayer(layer, index < 0 ? 0 : index);
}

void Layer::insertSublayerAbove(Layer *layer, Layer *sibling)
{
    const int index = int(m_sublayers.indexOf(sibling));
    insertSublayer(layer, index < 0 ? int(m_sublayers.size()) : index + 1);
}

void Layer::removeFromSuperlayer() { detachFromSuperlayer(); }

void Layer::detachFromSuperlayer()
{
    if (!m_superlayer)
        return;
    Layer *superlayer = m_superlayer;
    superlayer->m_sublayers.removeAll(this);
    m_superlayer = nullptr;
    superlayer->changed();
}

void Layer::setNeedsDisplay() { changed(); }

void Layer::drawInContext(GraphicsContext &) {}

bool Layer::actionForKey(const QString &) const { return true; }

QPointF Layer::convertPointToLayer(const QPointF &point, const Layer *layer) const
{
    const QPointF inRoot = toRoot().map(point);
    return layer ? layer->toRoot().inverted().map(inRoot) : inRoot;
}

QPointF Layer::convertPointFromLayer(const QPointF &point, const Layer *layer) const
{
    const QPointF inRoot = layer ? layer->toRoot().map(point) : point;
    return toRoot().inverted().map(inRoot);
}

Layer *Layer::hitTest(const QPointF &point)
{
    bool invertible = false;
    const QPointF local = transformToSuperlayer().inverted(&invertible).map(point);
    if (m_hidden || !invertible || !containsPoint(local))
        return nullptr;
    QList<Layer *> layers = sublayers();
    std::stable_sort(layers.begin(), layers.end(), [](Layer *a, Layer *b) { return a->zPosition() < b->zPosition(); });
    for (auto it = layers.crbegin(); it != layers.crend(); ++it) {
        if (Layer *hit = (*it)->hitTest(local))
            return hit;
    }
    return this;
}

bool Layer::containsPoint(const QPointF &point) const
{
    return point.x() >= m_bounds.left() && point.x() <= m_bounds.right() && point.y() >= m_bounds.top()
        && point.y() <= m_bounds.bottom();
}

QTransform Layer::transformToSuperlayer(bool shown) const
{
    const QRectF bounds = shown ? presentedBounds() : m_bounds;
    const QPointF position = shown ? presented("position", m_position).toPointF() : m_position;
    const QMatrix4x4 transform =
        shown ? presented("transform", QVariant::fromValue(m_transform)).value<QMatrix4x4>() : m_transform;
    QMatrix4x4 matrix;
    if (m_superlayer) {
        const QRectF superBounds = shown ? m_superlayer->presentedBounds() : m_superlayer->m_bounds;
        const QPointF centre = anchorInBounds(superBounds, m_superlayer->m_anchorPoint);
        matrix.translate(float(centre.x()), float(centre.y()));
        matrix *= m_superlayer->m_sublayerTransform;
        matrix.translate(float(-centre.x()), float(-centre.y()));
    }
    const QPointF anchor = anchorInBounds(bounds, m_anchorPoint);
    matrix.translate(float(position.x()), float(position.y()));
    matrix *= transform;
    matrix.translate(float(-anchor.x()), float(-anchor.y()), float(-m_anchorPointZ));
    return matrix.toTransform();
}

double Layer::presentedOpacity() const { return presented("opacity", m_opacity).toDouble(); }

double Layer::presentedShadowOpacity() const { return presented("shadowOpacity", m_shadowOpacity).toDouble(); }

QRectF Layer::presentedBounds() const { return presented("bounds", m_bounds).toRectF(); }

void Layer::resizeSublayers(const QSizeF &oldSize)
{
    for (Layer *sublayer : sublayers())
        sublayer->resizeWithOldSuperlayerSize(oldSize);
}

void Layer::resizeWithOldSuperlayerSize(const QSizeF &oldSize)
{
    if (!m_superlayer || m_autoresizing == 0)
        return;
    // Each axis shares the change between its flexible parts, as views do.
    auto share = [](double delta, double low, double size, bool lowFlex, bool sizeFlex, bool highFlex) {
        const int parts = int(lowFlex) + int(sizeFlex) + int(highFlex);
        const double step = parts == 0 ? 0 : delta / parts;
        return std::pair{low + (lowFlex ? step : 0), size + (sizeFlex ? step : 0)};
    };
    const QSizeF newSize = m_superlayer->m_bounds.size();
    const QRectF f = frame();
    const auto [x, width] = share(newSize.width() - oldSize.width(), f.x(), f.width(), m_autoresizing & MinXMargin,
                                  m_autoresizing & WidthSizable, m_autoresizing & MaxXMargin);
    const auto [y, height] = share(newSize.height() - oldSize.height(), f.y(), f.height(),
                                   m_autoresizing & MinYMargin, m_autoresizing & HeightSizable,
                                   m_autoresizing & MaxYMargin);
    setFrame(QRectF(x, y, width, height));
}

QTransform Layer::toRoot() const
{
    QTransform transform;
    for (const Layer *layer = this; layer->m_superlayer; layer = layer->m_superlayer)
        transform = transform * layer->transformToSuperlayer();
    return transform;
}

QVariant Layer::presented(const char *key, const QVariant &model) const
{
    const QPointer<QVariantAnimation> animation = m_animations.value(key);
    return animation && animation->state() == QAbstractAnimation::Running ? animation->currentValue() : model;
}

void Layer::animate(const char *key, const QVariant &from, const QVariant &to)
{
    if (QVariantAnimation *running = m_animations.take(key))
        running->setCurrentTime(running->totalDuration());
    if (!Transaction::animates() || !actionForKey(QString::fromLatin1(key)))
        return;
    auto *animation = new QVariantAnimation(this);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(int(Transaction::animationDuration() * 1000));
    animation->setEasingCurve(QEasingCurve::InOutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this, &Layer::changed);
    Transaction::track(animation);
    m_animations.insert(key, animation);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void Layer::changed()
{
    Layer *root = this;
    while (root->m_superlayer)
        root = root->m_superlayer;
    emit root->needsRedraw();
}

} // namespace platform
