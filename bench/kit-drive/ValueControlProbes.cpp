#include "Probes.h"

#include "RQS-Kit/Controls/QSGradientPicker.h"
#include "RQS-Kit/Controls/QSSlider.h"

#include <QStringList>

namespace kitdrive {

namespace {

// "location:#aarrggbb" per stop, in stop order.
const Probes::Registration gradient("QSGradientPicker", "gradient", [](QWidget *widget) {
    const QSGradientStops &stops = static_cast<QSGradientPicker *>(widget)->stops();
    QStringList text;
    for (int i = 0; i < stops.count(); ++i)
        text << QStringLiteral("%1:%2").arg(QString::number(stops.location(i), 'g', 10), stops.color(i).name(QColor::HexArgb));
    return QVariant(text.join(QStringLiteral(", ")));
});

const Probes::Registration knobValue("QSSlider", "knobValue", [](QWidget *widget) {
    return QVariant(static_cast<QSSlider *>(widget)->knobValue());
});

} // namespace

} // namespace kitdrive
