#pragma once

#include <QStyledItemDelegate>

// Draws an item's text in the item's own font, 10 points in from the cell's left edge, centred
// vertically, and no wider than the cell less 18 points: a last line that does not fit ends in
// "…". The colour is the item's foreground, else the view's text colour.
class QSFontTextCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit QSFontTextCell(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
