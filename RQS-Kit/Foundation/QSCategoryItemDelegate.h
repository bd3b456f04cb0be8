#pragma once

#include <QStyledItemDelegate>

// Draws pop-up rows of categories: a row indented by its level, and the category its title begins
// with in light grey.
class QSCategoryItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The category text at the start of the row's title.
    static constexpr int CategoryRole = Qt::UserRole + 100;
    // Levels of indentation, 0 when absent.
    static constexpr int IndentationRole = Qt::UserRole + 101;
    static constexpr int IndentPerLevel = 12;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
