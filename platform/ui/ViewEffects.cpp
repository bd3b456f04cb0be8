#include "platform/ui/ViewEffects.h"

#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace platform {

namespace {

bool paintsOpaquely(const QWidget *widget)
{
    return widget->testAttribute(Qt::WA_OpaquePaintEvent)
           || (widget->autoFillBackground() && widget->palette().brush(widget->backgroundRole()).isOpaque());
}

// The parts of the view that subviews fill opaquely, in the view's coordinates.
QRegion opaqueSubviews(const QWidget *view, QPoint offset = {})
{
    QRegion covered;
    for (const QWidget *subview : view->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!subview->isVisible() || subview->isWindow())
            continue;
        const QPoint at = offset + subview->pos();
        QRegion part = paintsOpaquely(subview) ? QRegion(subview->rect()).translated(at) : opaqueSubviews(subview, at);
        if (!subview->mask().isEmpty())
            part &= subview->mask().translated(at);
        covered += part;
    }
    return covered;
}

// Qt counts the opaque subviews of a view that has an effect as covering what lies beneath, and
// leaves it unpainted; an effect that lets the view show through partly (a fade, a mask) would
// show the backing store's leftovers there, black on a window without a compositor. This paints
// the background the nearest filled ancestor would have given those parts.
void paintBeneath(QPainter *painter, const QWidget *view, QPoint offset)
{
    const QRegion covered = opaqueSubviews(view);
    if (covered.isEmpty())
        return;
    const QWidget *ground = view->parentWidget();
    while (ground && !ground->isWindow() && !paintsOpaquely(ground))
        ground = ground->parentWidget();
    if (!ground || ground->testAttribute(Qt::WA_TranslucentBackground) || ground->testAttribute(Qt::WA_NoSystemBackground))
        return;
    const QBrush brush = ground->palette().brush(ground->backgroundRole());
    for (const QRect &part : covered.translated(offset))
        painter->fillRect(part, brush);
}

// Draws the view through the alpha of its mask layer, rendered at the view's size.
class LayerMaskEffect : public QGraphicsEffect
{
public:
    LayerMaskEffect(Layer *mask, QWidget *view)
        : QGraphicsEffect(view)
        , m_view(view)
        , m_mask(mask)
    {
        connect(mask, &Layer::needsRedraw, this, &QGraphicsEffect::update);
    }

    Layer *mask() const { return m_mask; }

protected:
    void draw(QPainter *painter) override
    {
        QPoint offset;
        const QPixmap source = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
        if (!m_mask || source.isNull()) {
            drawSource(painter);
            return;
        }
        QImage shown = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage alpha = LayerRenderer::picture(*m_mask);
        {
            QPainter masking(&shown);
            masking.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            masking.drawImage(QRectF(QPointF(0, 0), shown.deviceIndependentSize()), alpha);
        }
        paintBeneath(painter, m_view, offset);
        painter->drawImage(offset, shown);
    }

private:
    QWidget *m_view;
    QPointer<Layer> m_mask;
};

// The view's alpha over its own drawing and its subviews'.
class AlphaEffect : public QGraphicsOpacityEffect
{
public:
    explicit AlphaEffect(QWidget *view)
        : QGraphicsOpacityEffect(view)
        , m_view(view)
    {
    }

protected:
    void draw(QPainter *painter) override
    {
        // The painter is in the view's coordinates until the base class draws.
        if (opacity() < 1)
            paintBeneath(painter, m_view, QPoint());
        QGraphicsOpacityEffect::draw(painter);
    }

private:
    QWidget *m_view;
};

// The focus policy a view had before it faded out, kept while it cannot be seen.
const char *const focusPolicyWhileShown = "platform.focusPolicyWhileShown";

// A view that cannot be seen is no place for the keyboard: Tab passes it and it loses the focus;
// it gets its policy back as it shows again.
void followSight(QWidget *view, double alpha)
{
    const QVariant kept = view->property(focusPolicyWhileShown);
    if (alpha > 0) {
        if (kept.isValid()) {
            view->setFocusPolicy(Qt::FocusPolicy(kept.toInt()));
            view->setProperty(focusPolicyWhileShown, QVariant());
        }
        return;
    }
    if (kept.isValid() || view->focusPolicy() == Qt::NoFocus)
        return;
    view->setProperty(focusPolicyWhileShown, int(view->focusPolicy()));
    view->setFocusPolicy(Qt::NoFocus);
    if (view->hasFocus())
        view->clearFocus();
}

} // namespace

double viewAlpha(const QWidget *view)
{
    const auto *effect = qobject_cast<const QGraphicsOpacityEffect *>(view->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

void setViewAlpha(QWidget *view, double alpha)
{
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(view->graphicsEffect());
    if (!effect) {
        effect = new AlphaEffect(view);
        view->setGraphicsEffect(effect);
    }
    effect->setOpacity(std::clamp(alpha, 0.0, 1.0));
    followSight(view, effect->opacity());
}

void fadeViewAlpha(QWidget *view, double alpha, double seconds)
{
    const QString name = QStringLiteral("platform.alphaFade");
    delete view->findChild<QVariantAnimation *>(name, Qt::FindDirectChildrenOnly);
    if (seconds <= 0) {
        setViewAlpha(view, alpha);
        return;
    }
    // A child of the view, so that it ends with it.
    auto *fade = new QVariantAnimation(view);
    fade->setObjectName(name);
    fade->setStartValue(viewAlpha(view));
    fade->setEndValue(std::clamp(alpha, 0.0, 1.0));
    fade->setDuration(int(seconds * 1000));
    QObject::connect(fade, &QVariantAnimation::valueChanged, view,
                     [view](const QVariant &value) { setViewAlpha(view, value.toDouble()); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

std::optional<Shadow> viewShadow(const QWidget *view)
{
    const auto *effect = qobject_cast<const QGraphicsDropShadowEffect *>(view->graphicsEffect());
    if (!effect)
        return std::nullopt;
    return Shadow{effect->color(), QSizeF(effect->xOffset(), -effect->yOffset()), effect->blurRadius()};
}

void setViewShadow(QWidget *view, const std::optional<Shadow> &shadow)
{
    if (!shadow) {
        if (qobject_cast<QGraphicsDropShadowEffect *>(view->graphicsEffect()))
            view->setGraphicsEffect(nullptr);
        return;
    }
    auto *effect = new QGraphicsDropShadowEffect(view);
    effect->setColor(shadow->color);
    effect->setOffset(shadow->offset.width(), -shadow->offset.height());
    effect->setBlurRadius(shadow->blurRadius);
    view->setGraphicsEffect(effect);
}

Layer *viewMask(const QWidget *view)
{
    const auto *effect = dynamic_cast<const LayerMaskEffect *>(view->graphicsEffect());
    return effect ? effect->mask() : nullptr;
}

void setViewMask(QWidget *view, Layer *mask)
{
    if (!mask) {
        if (dynamic_cast<LayerMaskEffect *>(view->graphicsEffect()))
            view->setGraphicsEffect(nullptr);
        return;
    }
    view->setGraphicsEffect(new LayerMaskEffect(mask, view));
}

} // namespace platform
