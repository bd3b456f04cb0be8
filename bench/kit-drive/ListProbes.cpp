#include "Probes.h"

#include "RQS-Kit/Controls/QSListEntryView.h"
#include "RQS-Kit/Controls/QSListView.h"

#include <QStringList>

namespace kitdrive {

namespace {

QString number(double n) { return QString::number(n, 'g', 10); }

// "title(x,y,w,h)" per row from index 0 upwards, y-up in the list.
const Probes::Registration rowFrames("QSListView", "rowFrames", [](QWidget *widget) {
    QStringList frames;
    for (const QSListEntryView *row : static_cast<QSListView *>(widget)->entries()) {
        const QRectF f = row->frame();
        frames << QStringLiteral("%1(%2,%3,%4,%5)").arg(row->title(), number(f.x()), number(f.y()), number(f.width()), number(f.height()));
    }
    return QVariant(frames.join(QStringLiteral(", ")));
});

} // namespace

} // namespace kitdrive
