#include "Probes.h"

#include "RQS-Kit/Controls/QSLabel.h"

namespace kitdrive {

namespace {

const Probes::Registration fittedFontSize("QSLabel", "fittedFontSize", [](QWidget *widget) {
    return QVariant(static_cast<QSLabel *>(widget)->fittedFont().pointSizeF());
});

const Probes::Registration preferredHeight("QSLabel", "preferredHeight", [](QWidget *widget) {
    return QVariant(static_cast<QSLabel *>(widget)->preferredHeight());
});

} // namespace

} // namespace kitdrive
