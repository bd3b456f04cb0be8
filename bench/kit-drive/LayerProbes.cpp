#include "Probes.h"
#include "Settings.h"

#include "RQS-Kit/Controls/QS3DLayer.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "RQS-Kit/Controls/QSStackView.h"

#include <QPointer>
#include <QTimer>
#include <QStringList>

namespace kitdrive {

namespace {

QImage card(const QSize &size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return picture;
}

// "--set cards=25" piles that many plain cards, the first on top, once the view has its size.
const Settings::Registration cards("QSStackView", "cards", [](QWidget *widget, const QString &value) {
    QPointer<QSStackView> stack = static_cast<QSStackView *>(widget);
    const int count = value.toInt();
    QTimer::singleShot(0, [stack, count] {
        for (int i = count - 1; stack && i >= 0; --i)
            stack->addGridItem(QSGridItem::gridItem(card(QSize(160, 90)), QString(), i, 0), false);
    });
    return true;
});

// Lifts from the bottom card to the top one.
const Probes::Registration cardLifts("QSStackView", "cardLifts", [](QWidget *widget) {
    QStringList lifts;
    for (const platform::Layer *layer : static_cast<QSStackView *>(widget)->containerLayer()->sublayers())
        lifts << QString::number(layer->transform()(1, 3));
    return QVariant(lifts.join(QLatin1Char(',')));
});

// "--set gridTiles=N" fills the view with a grid of N square tiles in one section.
const Settings::Registration gridTiles("platform::View", "gridTiles", [](QWidget *widget, const QString &value) {
    auto *grid = new QSGridViewController(widget);
    grid->setGridParentView(widget);
    if (!grid->scrollView())
        return false;
    grid->scrollView()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int section = grid->addSection(QSGridItem::Selectable);
    for (int i = 0; i < value.toInt(); ++i)
        grid->addImage(card(QSize(64, 64)), QString(), i, i, section);
    return true;
});

// "(x,y,width,height)" per tile of the grid, laid out for the view's present size.
const Probes::Registration tileFrames("platform::View", "tileFrames", [](QWidget *widget) {
    auto *grid = widget->findChild<QSGridViewController *>();
    if (!grid || !grid->scrollView())
        return QVariant();
    grid->scrollView()->resize(widget->size());
    grid->refreshLayout(0);
    QStringList frames;
    for (const QSGridItem *tile : grid->gridItemsInSection(0)) {
        const QRectF f = tile->frame();
        frames << QStringLiteral("(%1,%2,%3,%4)").arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height());
    }
    return QVariant(frames.join(QStringLiteral(", ")));
});

} // namespace

} // namespace kitdrive
