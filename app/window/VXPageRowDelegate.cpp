#include "app/window/VXPageRowDelegate.h"

#include "app/window/VXPagesController.h"
#include "app/window/VXPagesTableView.h"
#include "app/window/VXTableRowView.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"

#include <QAbstractItemView>
#include <QPainter>

#include <cmath>

VXPageRowDelegate::VXPageRowDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QSize VXPageRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *view = qobject_cast<const QAbstractItemView *>(parent());
    const int width = view ? view->viewport()->width() : option.rect.width();
    if (index.row() == 0)
        return QSize(width, AddRowHeight);
    const double ratio = index.data(VXPagesController::RatioRole).toDouble();
    return QSize(width, ratio > 0 ? int(std::lround(width / ratio)) : width);
}

void VXPageRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (index.row() == 0)
        return;
    const QRect page = VXTableRowView::pageFrameInRow(option.rect.size());
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->save();
    painter->translate(option.rect.topLeft());
    {
        platform::PainterGraphicsContext context(painter, option.rect.height());
        platform::GraphicsContextScope scope(&context);
        VXTableRowView::drawPages({QRectF(page)});
        const QImage preview = index.data(Qt::DecorationRole).value<QImage>();
        if (!preview.isNull())
            context.drawImage(preview, QRectF(page));
        else
            VXTableRowView::drawPlaceholderOutline(QRectF(page));
        if (selected)
            VXTableRowView::drawSelection({QRectF(page)});
    }
    painter->restore();
}

void VXPageRowDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    const auto *list = qobject_cast<const VXPagesTableView *>(parent());
    if (list && editor == list->addPageButton())
        return;
    QStyledItemDelegate::destroyEditor(editor, index);
}
