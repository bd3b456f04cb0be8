#include "Probes.h"
#include "Settings.h"
#include "Transcript.h"

#include "RQS-Kit/Controls/QSCropView.h"
#include "RQS-Kit/Controls/QSResizeView.h"
#include "RQS-Kit/Controls/QSRotationView.h"

namespace kitdrive {

namespace {

QString number(double value) { return QString::number(value, 'g', 10); }

// Prints every report of the geometry editors as "delegate MESSAGE ARGUMENTS".
class EditorRecorder : public QObject, public QSResizeViewDelegate, public QSRotationViewDelegate
{
public:
    void resizeViewDidResize(QSResizeView *, quint64 sides, const QSizeF &change, int state) override
    {
        say(QStringLiteral("delegate resizeView %1 (%2,%3) %4").arg(sides).arg(number(change.width()), number(change.height())).arg(state));
    }
    void rotationViewDidRotate(QSRotationView *, double degrees, bool inProgress) override
    {
        say(QStringLiteral("delegate rotationView %1 %2").arg(number(degrees)).arg(int(inProgress)));
    }
};

EditorRecorder &recorder()
{
    static EditorRecorder one;
    return one;
}

const Settings::Registration resizeDelegate("QSResizeView", "delegate", [](QWidget *widget, const QString &) {
    static_cast<QSResizeView *>(widget)->setDelegate(&recorder());
    return true;
});

const Settings::Registration rotationDelegate("QSRotationView", "delegate", [](QWidget *widget, const QString &) {
    static_cast<QSRotationView *>(widget)->setDelegate(&recorder());
    return true;
});

const Probes::Registration resizeCursorAngle("QSResizeView", "cursorAngle", [](QWidget *widget) {
    return QVariant(static_cast<QSResizeView *>(widget)->lastCursorAngle());
});

const Probes::Registration rotationCursorAngle("QSRotationView", "cursorAngle", [](QWidget *widget) {
    return QVariant(static_cast<QSRotationView *>(widget)->lastCursorAngle());
});

const Probes::Registration cropInView("QSCropView", "cropRectInView", [](QWidget *widget) {
    return QVariant(static_cast<QSCropView *>(widget)->cropRectInView());
});

} // namespace

} // namespace kitdrive
