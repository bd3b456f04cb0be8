#include "Probes.h"
#include "Settings.h"

#include "RQS-Kit/Controls/QSImageView.h"
#include "platform/foundation/Log.h"

namespace kitdrive {

namespace {

const Probes::Registration drawnRect("QSImageView", "drawnRect", [](QWidget *widget) {
    return QVariant(static_cast<QSImageView *>(widget)->drawnRect());
});

// A picture file outside the bundle, which imageName cannot reach.
const Settings::Registration imageFile("QSImageView", "imageFile", [](QWidget *widget, const QString &path) {
    const QImage picture(path);
    if (picture.isNull()) {
        platform::logError(QStringLiteral("Could not read the picture %1").arg(path));
        return false;
    }
    static_cast<QSImageView *>(widget)->setImage(picture);
    return true;
});

} // namespace

} // namespace kitdrive
