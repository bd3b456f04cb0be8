#include "app/window/VXPagesTableView.h"

#include "app/window/VXPageRowDelegate.h"
#include "app/window/VXPagesController.h"

#include <QDrag>
#include <QMimeData>

#include <algorithm>

VXPagesTableView::VXPagesTableView(QWidget *parent)
    : QListView(parent)
{
    setItemDelegate(new VXPageRowDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setResizeMode(QListView::Adjust);
    // Thousands of rows are laid out a batch at a time, so that the window opens at once.
    setLayoutMode(QListView::Batched);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Rows follow the width, so a scroll bar that came and went would relayout them for ever.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QWidget *VXPagesTableView::addPageButton() const
{
    return model() ? model()->index(0, 0).data(VXPagesController::AddButtonRole).value<QWidget *>() : nullptr;
}

void VXPagesTableView::reset()
{
    QListView::reset();
    placeAddPageButton();
}

void VXPagesTableView::placeAddPageButton()
{
    if (QWidget *button = addPageButton())
        setIndexWidget(model()->index(0, 0), button);
}

QList<int> VXPagesTableView::selectedRows() const
{
    QList<int> rows;
    if (selectionModel()) {
        for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
            if (index.row() > 0)
                rows.append(index.row());
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// A preview that arrives leaves every row's size as it was: its row is drawn again, and the
// list is not laid out anew, which would make a long list jump while it scrolls.
void VXPagesTableView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    if (roles.contains(VXPagesController::AddButtonRole))
        placeAddPageButton();
    if (roles != QList<int>{Qt::DecorationRole}) {
        QListView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
        viewport()->update(visualRect(model()->index(row, 0)));
}

void VXPagesTableView::startDrag(Qt::DropActions supportedActions)
{
    auto *pages = qobject_cast<VXPagesController *>(model());
    QModelIndexList indexes;
    for (int row : selectedRows())
        indexes.append(model()->index(row, 0));
    QMimeData *data = pages && !indexes.isEmpty() ? pages->mimeData(indexes) : nullptr;
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    const Qt::DropAction done = drag->exec(supportedActions, defaultDropAction());
    // Moved into another document's list: the pages live there now. A move out to another
    // program leaves them here.
    const auto *target = drag->target() ? qobject_cast<VXPagesTableView *>(drag->target()->parent()) : nullptr;
    if (done == Qt::MoveAction && target && target != this)
        pages->removeRowsMovedOut(data);
}
