#include "RQS-Kit/Foundation/QSCategoryItemDelegate.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int SeparatorHeight = 7;

bool isSeparator(const QModelIndex &index) { return index.data(Qt::AccessibleDescriptionRole).toString() == QLatin1String("separator"); }

int indentation(const QModelIndex &index) { return index.data(QSCategoryItemDelegate::IndentationRole).toInt() * QSCategoryItemDelegate::IndentPerLevel; }

} // namespace

void QSCategoryItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The combo box's own delegate, replaced here, was the one that drew its separators.
    if (isSeparator(index)) {
        const int middle = option.rect.center().y();
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.left(), middle, option.rect.right(), middle);
        painter->restore();
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.rect.adjust(indentation(index), 0, 0, 0);
    const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
    const QString category = index.data(CategoryRole).toString();
    if (category.isEmpty() || !item.text.startsWith(category)) {
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        return;
    }
    const QString name = item.text.mid(category.size());
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
    const bool selected = item.state & QStyle::State_Selected;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(QColor(Qt::lightGray));
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, category);
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(area.adjusted(item.fontMetrics.horizontalAdvance(category), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
    painter->restore();
}

QSize QSCategoryItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (isSeparator(index))
        return {option.rect.width(), SeparatorHeight};
    return QStyledItemDelegate::sizeHint(option, index) + QSize(indentation(index), 0);
}
