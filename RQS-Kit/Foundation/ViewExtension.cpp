#include "RQS-Kit/Foundation/ViewExtension.h"

#include "platform/layers/Layer.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

#include "RQS-Kit/Foundation/QSShadowCatalog.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace rqs {

namespace {

void setTextColor(QWidget *view, const QBrush &color)
{
    QPalette::ColorRole role;
    if (qobject_cast<QLabel *>(view))
        role = QPalette::WindowText;
    else if (qobject_cast<QLineEdit *>(view))
        role = QPalette::Text;
    else
        return;
    QPalette palette = view->palette();
    palette.setBrush(role, color);
    view->setPalette(palette);
}

} // namespace

void setShadowName(QWidget *view, const QString &name)
{
    if (!view)
        return;
    const std::optional<platform::Shadow> shadow = QSShadowCatalog::sharedShadowWithName(name);
    if (!shadow) {
        // An unknown name takes the shadow away and leaves the text colour as it is.
        view->setGraphicsEffect(nullptr);
        return;
    }
    auto *effect = new QGraphicsDropShadowEffect;
    effect->setColor(shadow->color);
    // The shadow's offset is y-up, the widget's y-down.
    effect->setOffset(shadow->offset.width(), -shadow->offset.height());
    effect->setBlurRadius(shadow->blurRadius);
    view->setGraphicsEffect(effect);
    setTextColor(view, QSShadowCatalog::sharedTextColorForShadowWithName(name));
}

double contentsScale(const QWidget *view) { return view ? view->devicePixelRatioF() : 1.0; }

double ratio(const QWidget *view)
{
    if (!view)
        return 1.0;
    const int width = view->width();
    if (view->hasHeightForWidth() && width > 0) {
        const int height = view->heightForWidth(width);
        if (height > 0)
            return double(width) / height;
    }
    return view->height() == 0 ? 1.0 : double(width) / view->height();
}

double globalLayerRotation(const platform::View *view)
{
    const auto turnInTree = [](const platform::Layer &layer) {
        const QPointF p0 = layer.convertPointToLayer(QPointF(0, 0), nullptr);
        const QPointF p1 = layer.convertPointToLayer(QPointF(100, 0), nullptr);
        const double d = std::max(std::hypot(p1.x() - p0.x(), p1.y() - p0.y()), 1.0);
        const double angle = std::acos(std::clamp((p1.x() - p0.x()) / d, -1.0, 1.0));
        return (p1.y() - p0.y() < 0 ? -angle : angle) / 3.141592653589793 * 180;
    };
    double degrees = 0;
    // A view without a layer is drawn by its nearest layered ancestor's; a layer tree drawn inside
    // a turned one turns with it.
    for (const QWidget *widget = view; widget;) {
        const auto *layered = qobject_cast<const platform::View *>(widget);
        if (!layered || !layered->layer()) {
            widget = widget->isWindow() ? nullptr : widget->parentWidget();
            continue;
        }
        const platform::Layer *root = layered->layer();
        degrees += turnInTree(*root);
        while (root->superlayer())
            root = root->superlayer();
        const auto *host = qobject_cast<const QWidget *>(root->parent());
        if (!host || (host != layered && !host->isAncestorOf(layered)) || host->isWindow())
            break;
        widget = host->parentWidget();
    }
    return std::remainder(degrees, 360.0);
}

QSViewAnimator viewAnimator(QWidget *view, bool animated) { return QSViewAnimator(view, animated); }

} // namespace rqs
