#include "RQS-Kit/Controls/QSFontTextCell.h"

#include "RQS-Kit/Foundation/AttributedStringExtension.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/graphics/TextLayout.h"

#include <QPainter>

#include <algorithm>

QSFontTextCell::QSFontTextCell(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void QSFontTextCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    // The background and selection as the style draws them, without its text.
    item.text.clear();
    QStyledItemDelegate::paint(painter, item, index);
    if (text.isEmpty())
        return;

    QTextCharFormat format;
    format.setFont(item.font);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    format.setForeground(foreground.canConvert<QBrush>() ? foreground.value<QBrush>() : item.palette.text());
    const platform::AttributedString string{text, {{0, int(text.size()), format}}};
    const QSizeF natural = platform::TextLayout(string, {item.font}).size();

    // Item frames are y-down; the context is y-up over the painter's device.
    const double deviceHeight = painter->device()->height();
    const QRectF frame(option.rect);
    const double y = (deviceHeight - frame.bottom()) + (frame.height() - natural.height()) * 0.5;
    const QRectF box(frame.x() + 10, y, std::min(frame.width() - 18, natural.width()), natural.height());
    if (box.width() <= 0)
        return;
    platform::PainterGraphicsContext context(painter, deviceHeight);
    platform::GraphicsContextScope scope(&context);
    context.drawText(rqs::truncatedStringWithWidth(string, int(box.width())), box, {item.font});
}
