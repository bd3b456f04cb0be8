#pragma once

#include <QStyledItemDelegate>

// Draws a row of the page list as a page list row looks (VXTableRowView): the page's preview on
// a shadowed white page, ringed when selected; a page whose preview is still being drawn shows
// white. A row is as wide as the list and as high as its page's proportions ask; row 0 is the
// add-page button's.
class VXPageRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int AddRowHeight = 64;

    explicit VXPageRowDelegate(QObject *parent = nullptr);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The add-page button is the list's own, not an editor: a reset of the list hides it and
    // leaves it to the list.
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
};
