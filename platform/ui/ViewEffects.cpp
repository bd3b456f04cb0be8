#include "platform/ui/ViewEffects.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsOpacityEffect>
#include <QVariantAnimation>
#include <QWidget>

namespace platform {

double viewAlpha(const QWidget *view)
{
    const auto *effect = qobject_cast<const QGraphicsOpacityEffect *>(view->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

void setViewAlpha(QWidget *view, double alpha)
{
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(view->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(view);
        view->setGraphicsEffect(effect);
    }
    effect->setOpacity(std::clamp(alpha, 0.0, 1.0));
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

} // namespace platform
