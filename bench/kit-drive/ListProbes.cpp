#include "Probes.h"
#include "Settings.h"

#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewUndo.h"

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

// The titles from index 0 upwards.
const Probes::Registration entries("QSListView", "entries", [](QWidget *widget) {
    QStringList titles;
    for (const QSListEntryView *row : static_cast<QSListView *>(widget)->entries())
        titles << row->title();
    return QVariant(titles.join(QStringLiteral(", ")));
});

const Probes::Registration undoActionName("QSListView", "undoActionName", [](QWidget *widget) {
    return QVariant(platform::undoManagerForView(widget)->undoActionName());
});

// "A,B,C": rows with a drag handle and a remove button, from index 0 upwards. The list then moves
// its rows without animation, so that the frames read are where the rows end.
const Settings::Registration rows("QSListView", "rows", [](QWidget *widget, const QString &titles) {
    platform::FrameAnimation::setDefaultDuration(0);
    auto *list = static_cast<QSListView *>(widget);
    for (const QString &title : titles.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        auto *row = new QSBasicListEntryView(QSListEntryView::Draggable | QSListEntryView::Removable);
        row->setTitle(title);
        list->addListEntry(row);
    }
    return true;
});

} // namespace

} // namespace kitdrive
