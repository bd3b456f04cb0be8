#include "RQS-Kit/Foundation/ViewExtension.h"

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

} // namespace rqs
