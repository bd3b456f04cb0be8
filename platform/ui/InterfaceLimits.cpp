#include "platform/ui/InterfaceLimits.h"

#include "platform/foundation/Log.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLayout>
#include <QSpacerItem>
#include <QWidget>

#include <algorithm>

namespace platform::InterfaceLimits {

namespace {

int extent(int value) { return std::clamp(value, 0, MaxExtent); }

int coordinate(int value) { return std::clamp(value, -MaxExtent, MaxExtent); }

int spacing(int value) { return std::clamp(value, -1, MaxSpacing); }

void warn(const QObject *object, const QString &what, const QString &file)
{
    logWarning(QStringLiteral("The %1 of \"%2\" in %3 lay beyond what a window can show; it is kept in")
                   .arg(what, object->objectName(), file));
}

// Qt keeps a rectangle's far edge, x + width - 1, which wraps past 2^31 - 1 where a file puts x
// near it; the side comes back modulo 2^32, as the file gave it.
int side(int from, int to) { return int(quint32(to) - quint32(from) + 1U); }

void keepWidgetIn(QWidget *widget, const QString &file)
{
    const QRect geometry = widget->geometry();
    const QRect kept(coordinate(geometry.x()), coordinate(geometry.y()), extent(side(geometry.left(), geometry.right())),
                     extent(side(geometry.top(), geometry.bottom())));
    const QSize least = widget->minimumSize();
    const QSize keptLeast(extent(least.width()), extent(least.height()));
    if (keptLeast != least) {
        widget->setMinimumSize(keptLeast);
        warn(widget, QStringLiteral("least size"), file);
    }
    if (kept != geometry) {
        widget->setGeometry(kept);
        warn(widget, QStringLiteral("geometry"), file);
    }
}

void keepLayoutIn(QLayout *layout, const QString &file)
{
    const QMargins margins = layout->contentsMargins();
    const auto margin = [](int value) { return std::clamp(value, 0, MaxSpacing); };
    const QMargins keptMargins(margin(margins.left()), margin(margins.top()), margin(margins.right()), margin(margins.bottom()));
    bool changed = keptMargins != margins;
    if (changed)
        layout->setContentsMargins(keptMargins);
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        changed |= spacing(grid->horizontalSpacing()) != grid->horizontalSpacing() || spacing(grid->verticalSpacing()) != grid->verticalSpacing();
        grid->setHorizontalSpacing(spacing(grid->horizontalSpacing()));
        grid->setVerticalSpacing(spacing(grid->verticalSpacing()));
    } else if (auto *form = qobject_cast<QFormLayout *>(layout)) {
        changed |= spacing(form->horizontalSpacing()) != form->horizontalSpacing() || spacing(form->verticalSpacing()) != form->verticalSpacing();
        form->setHorizontalSpacing(spacing(form->horizontalSpacing()));
        form->setVerticalSpacing(spacing(form->verticalSpacing()));
    } else if (spacing(layout->spacing()) != layout->spacing()) {
        changed = true;
        layout->setSpacing(spacing(layout->spacing()));
    }
    for (int index = 0; index < layout->count(); ++index) {
        QSpacerItem *spacer = layout->itemAt(index)->spacerItem();
        if (!spacer)
            continue;
        const QSize hint = spacer->sizeHint();
        const QSize kept(extent(hint.width()), extent(hint.height()));
        if (kept != hint) {
            changed = true;
            const QSizePolicy policy = spacer->sizePolicy();
            spacer->changeSize(kept.width(), kept.height(), policy.horizontalPolicy(), policy.verticalPolicy());
        }
    }
    if (changed) {
        layout->invalidate();
        warn(layout, QStringLiteral("margins or spacing"), file);
    }
}

} // namespace

void apply(QWidget *root, const QString &file)
{
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *widget : std::as_const(widgets))
        keepWidgetIn(widget, file);
    QList<QLayout *> layouts = root->findChildren<QLayout *>();
    for (QLayout *layout : std::as_const(layouts))
        keepLayoutIn(layout, file);
}

} // namespace platform::InterfaceLimits
