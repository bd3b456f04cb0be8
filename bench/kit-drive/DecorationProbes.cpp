#include "Probes.h"

#include "RQS-Kit/Controls/QSPointingView.h"
#include "RQS-Kit/Controls/QSTabView.h"
#include "RQS-Kit/Controls/QSToolBarView.h"

#include <QStringList>

namespace kitdrive {

namespace {

// "(x,width)" per segment, as the tool bar's checks read them.
const Probes::Registration barSegments("QSToolBarView", "barSegments", [](QWidget *widget) {
    QStringList segments;
    for (const QRectF &segment : static_cast<QSToolBarView *>(widget)->barSegments())
        segments << QStringLiteral("(%1,%2)").arg(segment.x()).arg(segment.width());
    return QVariant(segments.join(QStringLiteral(", ")));
});

const Probes::Registration tabRect("QSTabView", "tabRect", [](QWidget *widget) {
    return QVariant(static_cast<QSTabView *>(widget)->tabRect());
});

const Probes::Registration arrowPosition("QSPointingView", "arrowPosition", [](QWidget *widget) {
    return QVariant(static_cast<QSPointingView *>(widget)->arrowPosition());
});

} // namespace

} // namespace kitdrive
